// The real window on the offscreen platform, with a settings store in a temporary directory,
// a tone recorder, and COM numbers mapped to simulated readers' pseudo-terminals. Every window
// test opens its own window through this fixture, so no test depends on another's leftovers.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

#include "app/Fonts.h"
#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"
#include "platform/AnyChannel.h"

Q_DECLARE_METATYPE(commands::ReaderType)

struct Tone {
    int hz;
    int ms;
    bool operator==(const Tone& other) const { return hz == other.hz && ms == other.ms; }
};

class RecordingTones : public platform::ToneGenerator {
public:
    explicit RecordingTones(std::vector<Tone>* log) : log_(log) {}
    void Beep(int hz, int ms) override { log_->push_back({hz, ms}); }

private:
    std::vector<Tone>* log_;
};

// Types as a keyboard or an input method does, one key event a character; QTest::keyClicks
// takes Latin-1 only.
inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
    }
}

// What a control shows as its caption: a button's or label's text, a group's title.
inline QString CaptionOf(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    return {};
}

class WindowFixture {
public:
    WindowFixture()
        : store_(dir_.filePath("etc/KORVA/TagBench.conf"),
                 dir_.filePath("home/KORVA/TagBench.conf")) {}

    platform::SettingsStore& store() { return store_; }
    const QString& section() const { return section_; }

    // `ports`: "COM3=/dev/pts/4,..." as TAGBENCH_PORTS gives it.
    app::TfrmModule& open(const QString& ports = QString()) {
        // The fonts the program itself asks for, so the Chinese menus are as tall as on a desktop.
        static const bool substituted = (app::RegisterFontSubstitutes(), true);
        Q_UNUSED(substituted);
        window_ = std::make_unique<app::TfrmModule>(services(ports));
        window_->show();
        return *window_;
    }
    // The window as built, before it is first shown and a language applied.
    app::TfrmModule& build() {
        window_ = std::make_unique<app::TfrmModule>(services(QString()));
        return *window_;
    }
    app::TfrmModule& window() const { return *window_; }
    // Closing as the user does (title bar, File > Exit); true when the window closed.
    bool closeByUser() { return window_->close(); }

    template <typename T = QWidget>
    T* control(const QString& name) const {
        T* found = window_->findChild<T*>(name);
        if (!found) qWarning("no control %s", qPrintable(name));
        return found;
    }
    template <typename T = QWidget>
    T* control(const char* name) const {
        return control<T>(QString::fromLatin1(name));
    }
    QString text(const char* name) const { return control<QLabel>(name)->text(); }
    QColor commLamp() const { return control<app::Lamp>("shComm")->color(); }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QAction* action(const char* name) const { return window_->findChild<QAction*>(name); }
    // The language menu item `menu` ("mnuSimplified"...), chosen.
    void switchLanguage(const char* menu) { action(menu)->trigger(); }

    // A click on the type's page of the reader-type row.
    void selectReaderType(commands::ReaderType type) {
        auto* row = control<app::ReaderTypeRow>("pcReader");
        QTest::mouseClick(row->button(commands::IndexOf(type)), Qt::LeftButton);
    }
    // Brings a function page forward whatever the reader type offers, and makes the window
    // active (arrow keys move between options only in the active window).
    void showPage(const char* name) {
        auto* pages = control<QTabWidget>("pcOther");
        QWidget* page = control(name);
        pages->setTabVisible(pages->indexOf(page), true);
        pages->setCurrentWidget(page);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    QStringList visiblePages() const {
        auto* pages = control<QTabWidget>("pcOther");
        QStringList shown;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i)) shown << pages->widget(i)->objectName();
        return shown;
    }
    QString frontPage() const {
        return control<QTabWidget>("pcOther")->currentWidget()->objectName();
    }

    std::vector<Tone> tones;

private:
    app::ModuleServices services(const QString& ports) {
        app::ModuleServices services;
        services.store = std::make_unique<platform::SettingsStore>(store_);
        services.ports = platform::PortMap::build(store_, {}, ports);
        services.tones = std::make_unique<RecordingTones>(&tones);
        services.channel = platform::MakeSerialChannel();
        return services;
    }

    QTemporaryDir dir_;
    platform::SettingsStore store_;
    QString section_ = QString::fromLatin1(platform::SettingsStore::kProgramSection);
    std::unique_ptr<app::TfrmModule> window_;
};

// A fresh window and store for every row (a window keeps the chosen language in its store),
// except between rows of the functions named, which only look or all switch to one language:
// those share the window built for their first row.
class RowWindow {
public:
    explicit RowWindow(QStringList sharingFunctions) : sharing_(std::move(sharingFunctions)) {}

    void init() {
        const QString function = QString::fromLatin1(QTest::currentTestFunction());
        if (fixture_ && function == sharedBy_) return;
        fixture_.reset();  // one store at a time
        fixture_ = std::make_unique<WindowFixture>();
        fixture_->open();
        sharedBy_ = sharing_.contains(function) ? function : QString();
    }
    void cleanup() {
        if (sharedBy_.isEmpty()) fixture_.reset();
    }
    void cleanupTestCase() { fixture_.reset(); }

    WindowFixture* operator->() const { return fixture_.get(); }

private:
    QStringList sharing_;
    QString sharedBy_;
    std::unique_ptr<WindowFixture> fixture_;
};
