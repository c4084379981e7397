#include "app/history/FrameHistoryWindow.h"

#include <QAccessibleWidget>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "app/Controls.h"
#include "app/history/FrameHistoryModel.h"
#include "platform/CodePage.h"
#include "platform/PortDiagnosis.h"
#include "text/Catalogue.h"

namespace app {
namespace {

using text::Msg;

constexpr int kColumnWidths[FrameHistoryModel::kColumnCount] = {110, 160, 60,  130, 110,
                                                                230, 250, 320, 90};

// A window of its own beside the main window: screen readers meet it as a window named by its
// title, not as a pane without a name.
QAccessibleInterface* AccessibleHistoryWindow(const QString& className, QObject* object) {
    if (className != QLatin1String(FrameHistoryWindow::staticMetaObject.className()) || !object ||
        !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

FrameHistoryWindow::FrameHistoryWindow(tblink::FrameHistory& history)
    : QWidget(nullptr, Qt::Window), history_(history) {
    static const bool accessible = (QAccessible::installFactory(AccessibleHistoryWindow), true);
    Q_UNUSED(accessible);
    setObjectName("frmFrameHistory");
    // The program ends with its main window, whether this one is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    model_ = std::make_unique<FrameHistoryModel>(history_);

    lvFrames = new QTableView(this);
    lvFrames->setObjectName("lvFrames");
    lvFrames->setModel(model_.get());
    lvFrames->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFrames->setWordWrap(false);
    lvFrames->verticalHeader()->hide();
    // Ten thousand rows: a fixed row height keeps scrolling and inserting cheap.
    lvFrames->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < FrameHistoryModel::kColumnCount; ++column)
        lvFrames->horizontalHeader()->resizeSection(column, kColumnWidths[column]);

    btnClearFrames = new QPushButton(this);
    btnClearFrames->setObjectName("btnClearFrames");
    btnSaveFrames = new QPushButton(this);
    btnSaveFrames->setObjectName("btnSaveFrames");
    lblFramesStatus = new QLabel(this);
    lblFramesStatus->setObjectName("lblFramesStatus");
    lblFramesStatus->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblFramesStatus, 1);
    buttons->addWidget(btnClearFrames);
    buttons->addWidget(btnSaveFrames);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvFrames, 1);
    layout->addLayout(buttons);
    resize(1100, 420);

    connect(btnClearFrames, &QPushButton::clicked, this, &FrameHistoryWindow::btnClearFramesClick);
    connect(btnSaveFrames, &QPushButton::clicked, this, &FrameHistoryWindow::btnSaveFramesClick);
    // The shortcut that opened it from the main window closes it again.
    auto* toggle = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(toggle, &QShortcut::activated, this, &QWidget::hide);

    // Follow new rows only when the newest was in view before they came.
    connect(model_.get(), &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this] { follow_ = atBottom(); });
    connect(model_.get(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (follow_ && isVisible()) lvFrames->scrollToBottom();
    });
    applyLanguage(text::kEnglish);
}

FrameHistoryWindow::~FrameHistoryWindow() = default;

bool FrameHistoryWindow::atBottom() const {
    const QScrollBar* bar = lvFrames->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void FrameHistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    lvFrames->scrollToBottom();
}

void FrameHistoryWindow::applyLanguage(int language) {
    language_ = language;
    const text::LanguageFont font = text::FontOf(language);
    setFont(QFont(font.family, font.pointSize));
    lvFrames->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setWindowTitle(text::Text(Msg::FrameHistoryTitle, language));
    SetCaption(btnClearFrames, text::Text(Msg::ClearFrames, language));
    SetCaption(btnSaveFrames, text::Text(Msg::SaveFrames, language) + "...");
    lvFrames->setAccessibleName(text::Text(Msg::FrameHistoryTitle, language));
    model_->setLanguage(language);
}

void FrameHistoryWindow::btnClearFramesClick() {
    history_.Clear();
    lblFramesStatus->clear();
    follow_ = true;
}

void FrameHistoryWindow::btnSaveFramesClick() {
    auto* dialog =
        new QFileDialog(this, text::Text(Msg::SaveFrames, language_), QDir::currentPath(),
                        text::Text(Msg::SaveFramesFilter, language_));
    dialog->setObjectName("dlgSaveFrames");
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix("tsv");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &FrameHistoryWindow::saveTo);
    dialog->open();
}

bool FrameHistoryWindow::saveTo(const QString& path) {
    const int language = language_;
    const tblink::TextDecoder toUtf8 = [language](const std::string& bytes) {
        return platform::DecodeText(bytes, language).toStdString();
    };
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        std::string text = tblink::HistoryHeaderLine() + "\n";
        for (std::size_t i = 0; i < history_.Size(); ++i)
            text += tblink::HistoryLine(history_.At(i), toUtf8) + "\n";
        written = file.write(text.data(), static_cast<qint64>(text.size())) ==
                      static_cast<qint64>(text.size()) &&
                  file.commit();
    }
    const std::vector<std::string> arguments = {std::to_string(history_.Size()),
                                                path.toStdString()};
    const Msg outcome = written ? Msg::FramesSaved : Msg::FramesNotSaved;
    const std::string shown = platform::FillPlaceholders(
        text::Text(outcome, language).toStdString(),
        written ? arguments : std::vector<std::string>{path.toStdString()});
    lblFramesStatus->setText(QString::fromStdString(shown));
    return written;
}

}  // namespace app
