// The real window on the offscreen platform, with a settings store in a temporary directory,
// a tone recorder, and COM numbers mapped to simulated readers' pseudo-terminals.
#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"
#include "platform/AnyChannel.h"

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

class WindowFixture {
public:
    WindowFixture()
        : store_(dir_.filePath("etc/KORVA/TagBench.conf"),
                 dir_.filePath("home/KORVA/TagBench.conf")) {}

    platform::SettingsStore& store() { return store_; }
    const QString& section() const { return section_; }

    // `ports`: "COM3=/dev/pts/4,..." as TAGBENCH_PORTS gives it.
    app::TfrmModule& open(const QString& ports = QString()) {
        app::ModuleServices services;
        services.store = std::make_unique<platform::SettingsStore>(store_);
        services.ports = platform::PortMap::build(store_, {}, ports);
        services.tones = std::make_unique<RecordingTones>(&tones);
        services.channel = platform::MakeSerialChannel();
        window_ = std::make_unique<app::TfrmModule>(std::move(services));
        window_->show();
        window_->FormShow();
        return *window_;
    }
    // Closing as the user does (title bar, File > Exit); true when the window closed.
    bool closeByUser() { return window_->close(); }

    template <typename T = QWidget>
    T* control(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (!found) qWarning("no control %s", name);
        return found;
    }
    QString text(const char* name) const { return control<QLabel>(name)->text(); }
    QColor commLamp() const { return control<app::Lamp>("shComm")->color(); }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QAction* action(const char* name) const { return window_->findChild<QAction*>(name); }
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
    QTemporaryDir dir_;
    platform::SettingsStore store_;
    QString section_ = QString::fromLatin1(platform::SettingsStore::kProgramSection);
    std::unique_ptr<app::TfrmModule> window_;
};
