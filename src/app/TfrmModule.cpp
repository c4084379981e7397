#include "app/TfrmModule.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <iostream>
#include <utility>

#include "app/MainArea.h"
#include "app/Program.h"
#include "app/history/FrameHistoryWindow.h"
#include "app/pages/CommandPage.h"
#include "app/pages/DisplayPage.h"
#include "app/pages/EmPage.h"
#include "app/pages/FingerprintPage.h"
#include "app/pages/KeypadPage.h"
#include "app/pages/MifareKeyPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTextValidator.h"
#include "app/widgets/ReaderTypeRow.h"
#include "link/LineSettingsList.h"
#include "link/PortList.h"
#include "platform/AnyChannel.h"
#include "platform/CodePage.h"
#include "tagbench/Version.h"

namespace app {
namespace {

constexpr int kClientWidth = 771;
constexpr int kClientHeight = 630;
constexpr int kSentPanelWidth = 300;
constexpr int kReceivedPanelWidth = 500;

}  // namespace

ModuleServices ModuleServices::FromSystem() {
    ModuleServices services;
    services.store =
        std::make_unique<platform::SettingsStore>(platform::SettingsStore::fromEnvironment());
    services.ports = platform::PortMap::fromSystem();
    // The window has no place for it before it shows: an item left out is said on stderr.
    for (const std::string& item : services.ports.malformedEntries())
        std::cerr << "tagbench: "
                  << text::Text(text::Msg::PortsItemMalformed, text::kEnglish)
                         .arg(QString::fromStdString(item))
                         .toStdString()
                  << std::endl;
    services.tones = platform::MakeAudioToneGenerator();
    services.channel = platform::MakeSerialChannel();
    services.frameLogPath = qEnvironmentVariable("TAGBENCH_FRAME_LOG").toStdString();
    return services;
}

TfrmModule::TfrmModule(ModuleServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      link_(std::move(services_.channel),
            [this](int port) { return services_.ports.devicePath(port).value_or(std::string()); }),
      pacer_([this] { Beep(kToneHighHz, kTickMs); }, [this] { return !continuousRead_; }) {
    setObjectName("frmModule");
    setWindowIcon(ProgramIcon());
    link_.SetEchoSink(this);
    link_.SetMessagePump([this] { PumpMessages(); });
    buildWindow();
    FormCreate();
    link_.History().AddObserver(this);
    if (!services_.frameLogPath.empty()) {
        // Command texts went out in the code page of the language of the moment.
        frameLog_ = std::make_unique<tblink::FrameLogFile>(
            services_.frameLogPath, [this](const std::string& bytes) {
                return platform::DecodeText(bytes, language_).toStdString();
            });
        link_.History().AddObserver(frameLog_.get());
    }
}

TfrmModule::~TfrmModule() {
    // Hidden while the whole window still stands: the focus leaves its edit box now, and the
    // box's validator may still ask the window for its language.
    hide();
    frmFrameHistory_.reset();
    if (frameLog_) link_.History().RemoveObserver(frameLog_.get());
    link_.History().RemoveObserver(this);
}

void TfrmModule::buildWindow() {
    // Fixed size, minimise but no maximise; the client area is below the menu bar.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto* client = new QWidget(this);
    client->setObjectName("clientArea");
    setCentralWidget(client);
    main_ = std::make_unique<MainArea>(BuildMainArea(client));
    command_ = std::make_unique<CommandPage>(BuildCommandPage(main_->tsCommand));
    em_ = std::make_unique<EmPage>(BuildEmPage(main_->tsEM));
    keypad_ = std::make_unique<KeypadPage>(BuildKeypadPage(main_->tsKeypad));
    mifare_ = std::make_unique<MifarePage>(BuildMifarePage(main_->tsMifare));
    mifareKey_ = std::make_unique<MifareKeyPage>(BuildMifareKeyPage(main_->tsMifareKey));
    display_ = std::make_unique<DisplayPage>(BuildDisplayPage(main_->tsDisplay));
    fingerprint_ = std::make_unique<FingerprintPage>(BuildFingerprintPage(main_->tsFingerprint));
    buildMenu();
    buildStatusBar();

    tmrBusy = new QTimer(this);
    tmrBusy->setObjectName("tmrBusy");
    tmrBusy->setInterval(kBusyFlashMs);
    connect(tmrBusy, &QTimer::timeout, this, &TfrmModule::tmrBusyTimer);
    tmrCard = new QTimer(this);
    tmrCard->setObjectName("tmrCard");
    tmrCard->setInterval(kCardLampMs);
    connect(tmrCard, &QTimer::timeout, this, &TfrmModule::tmrCardTimer);

    qApp->installEventFilter(this);
    connectMainArea();
    connectCommandPage();
    connectKeypadPage();
    connectMifarePage();
    connectMifareKeyPage();
    connectDisplayPage();
    connectFingerprintPage();
    // Every box with a byte limit says in the status bar why it took no more.
    for (auto* validator : findChildren<ReaderTextValidator*>()) {
        connect(validator, &ReaderTextValidator::limitReached, this, [this](int maxBytes) {
            sbCommReceived->setText(Msg(text::Msg::ReaderTextLimited).arg(maxBytes));
        });
    }

    fixClientSize();
}

void TfrmModule::fixClientSize() {
    // The menu bar grows with the Chinese fonts; the client area below it must not shrink.
    int menuHeight = menuBar()->heightForWidth(kClientWidth);
    if (menuHeight < 0) menuHeight = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, kClientHeight + menuHeight);
}

void TfrmModule::showEvent(QShowEvent* event) {
    // This runs before the window system is handed the window, so no frame ever shows the
    // layout's captions or a size that the language then changes. A restore from the task bar
    // is spontaneous and keeps what the user sees.
    if (!event->spontaneous()) {
        FormShow();
        if (!placed_) {
            placed_ = true;
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                move(screen->availableGeometry().center() - rect().center());
        }
    }
    QMainWindow::showEvent(event);
}

void TfrmModule::buildMenu() {
    // Built in English, like the controls; FormShow puts them in the window's language.
    const auto English = [](text::Msg msg) { return text::Text(msg, text::kEnglish); };
    QMenu* file = menuBar()->addMenu(English(text::Msg::MenuFile));
    file->setObjectName("mnuFile");
    mnuFile = file->menuAction();
    mnuFile->setObjectName("mnuFile");
    mnuSaveProfile = file->addAction(English(text::Msg::MenuSaveProfile));
    mnuSaveProfile->setObjectName("mnuSaveProfile");
    connect(mnuSaveProfile, &QAction::triggered, this, &TfrmModule::mnuSaveProfileClick);
    mnuApplyProfile = file->addAction(English(text::Msg::MenuApplyProfile));
    mnuApplyProfile->setObjectName("mnuApplyProfile");
    connect(mnuApplyProfile, &QAction::triggered, this, &TfrmModule::mnuApplyProfileClick);
    file->addSeparator();
    mnuExit = file->addAction(English(text::Msg::MenuExit));
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, &TfrmModule::mnuExitClick);

    // Between File and Language, where desktop programs keep View; Help comes last.
    QMenu* view = menuBar()->addMenu(English(text::Msg::MenuView));
    view->setObjectName("mnuView");
    mnuView = view->menuAction();
    mnuView->setObjectName("mnuView");
    mnuFrameHistory = view->addAction(English(text::Msg::MenuFrameHistory));
    mnuFrameHistory->setObjectName("mnuFrameHistory");
    mnuFrameHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(mnuFrameHistory, &QAction::triggered, this, &TfrmModule::mnuFrameHistoryClick);

    QMenu* language = menuBar()->addMenu(English(text::Msg::MenuLanguage));
    language->setObjectName("mnuLanguage");
    mnuLanguage = language->menuAction();
    mnuLanguage->setObjectName("mnuLanguage");
    const auto addLanguage = [&](QAction*& item, const char* name, void (TfrmModule::*click)()) {
        item = language->addAction(QString());
        item->setObjectName(name);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, click);
    };
    addLanguage(mnuEnglish, "mnuEnglish", &TfrmModule::mnuEnglishClick);
    addLanguage(mnuSimplified, "mnuSimplified", &TfrmModule::mnuSimplifiedClick);
    addLanguage(mnuTraditional, "mnuTraditional", &TfrmModule::mnuTraditionalClick);

    QMenu* help = menuBar()->addMenu(English(text::Msg::MenuHelp));
    help->setObjectName("mnuHelp");
    mnuHelp = help->menuAction();
    mnuHelp->setObjectName("mnuHelp");
    mnuAbout = help->addAction(English(text::Msg::MenuAbout));
    mnuAbout->setObjectName("mnuAbout");
    mnuAbout->setMenuRole(QAction::AboutRole);
    connect(mnuAbout, &QAction::triggered, this, &TfrmModule::mnuAboutClick);
}

void TfrmModule::buildStatusBar() {
    statusBar()->setObjectName("sbComm");
    statusBar()->setSizeGripEnabled(false);
    sbCommSent = new QLabel(statusBar());
    sbCommSent->setObjectName("sbCommSent");
    sbCommSent->setAccessibleDescription("sbComm panel 0");
    sbCommSent->setFixedWidth(kSentPanelWidth);
    sbCommReceived = new QLabel(statusBar());
    sbCommReceived->setObjectName("sbCommReceived");
    sbCommReceived->setAccessibleDescription("sbComm panel 1");
    sbCommReceived->setFixedWidth(kReceivedPanelWidth);
    for (QLabel* panel : {sbCommSent, sbCommReceived}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        statusBar()->addWidget(panel);
    }
}

void TfrmModule::connectMainArea() {
    connect(main_->pcReader, &ReaderTypeRow::currentChanged, this, &TfrmModule::pcReaderChange);
    connect(main_->sbID, &QScrollBar::valueChanged, this, &TfrmModule::sbIDChange);
    // chkInvalid is read by the two-way card loop; its click only runs chkEEPROM's.
    connect(main_->chkInvalid, &QCheckBox::clicked, this, &TfrmModule::chkInvalidClick);
    connectButtons(CommandButtons());
}

namespace {

bool IsEnter(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

bool TfrmModule::eventFilter(QObject* watched, QEvent* event) {
    // An open list takes Enter while the key is offered as a shortcut, and closes; the key
    // press itself then reaches the window as if no control had wanted it. The offer goes to
    // the window system's window first, while the list is still open: only there can it be told.
    if (event->type() == QEvent::ShortcutOverride && watched->isWindowType() &&
        IsEnter(static_cast<QKeyEvent*>(event)))
        enterTakenByPopup_ = QApplication::activePopupWidget() != nullptr;
    return QMainWindow::eventFilter(watched, event);
}

void TfrmModule::keyPressEvent(QKeyEvent* event) {
    // The window's default button: an Enter that no control took runs the scan.
    if (IsEnter(event)) {
        const bool taken = std::exchange(enterTakenByPopup_, false);
        if (!taken && main_->btnScan->isVisible() && main_->btnScan->isEnabled())
            main_->btnScan->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TfrmModule::connectButtons(const std::vector<ButtonBinding>& buttons) {
    for (const ButtonBinding& button : buttons) {
        auto* control = findChild<QPushButton*>(QString::fromLatin1(button.name));
        Q_ASSERT_X(control, "connectButtons", button.name);
        connect(control, &QPushButton::clicked, this, button.click);
    }
}

const actions::ActionInfo* ButtonBinding::action() const {
    for (const actions::ActionInfo& info : actions::Table())
        for (const char* button : info.buttons)
            if (std::string_view(button) == name) return &info;
    return nullptr;
}

bool ButtonBinding::needsLink() const { return action() && action()->needsLink; }

std::vector<ButtonBinding> TfrmModule::CommandButtons() {
    std::vector<ButtonBinding> all;
    for (const auto& table : {mainAreaButtons(), commandPageButtons(), emPageButtons(),
                              keypadPageButtons(), mifarePageButtons(), mifareKeyPageButtons(),
                              displayPageButtons(), fingerprintPageButtons()})
        all.insert(all.end(), table.begin(), table.end());
    return all;
}

void TfrmModule::FormCreate() {
    portNumber_ = 0;
    lineSettings_ = tblink::kLineSettingsTexts[tblink::kDefaultLineSettingsIndex];
    lineSettingsIndex_ = tblink::kDefaultLineSettingsIndex;
    languageName_ = text::LanguageName(text::kEnglish);
    language_ = text::kEnglish;
    storedReaderType_ = 0;
    LoadSettings();
    continuousRead_ = false;
    linked_ = false;
    fillPortBox();

    main_->cmbBaudRate->setCurrentIndex(lineSettingsIndex_);
    startCharacter_ = "A";
    main_->pcReader->setCurrentIndex(storedReaderType_);
}

void TfrmModule::fillPortBox() {
    const tblink::PortBoxFill fill = tblink::FillPortBox(services_.ports.names(), portNumber_);
    QComboBox* box = main_->cmbPort;
    box->clear();
    for (const std::string& item : fill.items) {
        box->addItem(QString::fromStdString(item));
        const auto number = tblink::PortNumberFromBoxText(item);
        const auto device = number ? services_.ports.devicePath(*number) : std::nullopt;
        if (device)
            box->setItemData(box->count() - 1, QString::fromStdString(*device), Qt::ToolTipRole);
    }
    box->setCurrentIndex(0);
    box->setEditText(QString::fromStdString(fill.text));
}

void TfrmModule::adoptTypedPort() {
    QComboBox* box = main_->cmbPort;
    const std::optional<int> number =
        services_.ports.addNetworkPort(*services_.store, box->currentText());
    if (!number) return;
    fillPortBox();
    const QString name = QStringLiteral("COM%1").arg(*number);
    box->setCurrentIndex(box->findText(name));
    box->setEditText(name);
}

void TfrmModule::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
        if (frmFrameHistory_) frmFrameHistory_->close();
    } else {
        event->ignore();
    }
}

bool TfrmModule::FormClose() {
    // A running card loop or command owns the port; closing now would cut it off.
    if (continuousRead_ || commandDepth_ > 0) return false;
    SaveSettings();
    return true;
}

void TfrmModule::mnuExitClick() { close(); }

void TfrmModule::mnuAboutClick() {
    // Window-modal and shown with open(), so the window's own loops keep running behind it.
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, Msg(text::Msg::AboutTitle),
                        Msg(text::Msg::AboutText).arg(tagbench::kVersion), QMessageBox::Ok, this);
    box->setObjectName("frmAbout");
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TfrmModule::SetBusy(bool on) {
    if (on) {
        tmrBusy->start();
        setEnabled(false);
    } else {
        setEnabled(true);
        tmrBusy->stop();
    }
}

void TfrmModule::tmrBusyTimer() {
    if (busyPhase_ == 1) {
        busyPhase_ = 0;
        SetCommLamp(kLampYellow);
    } else {
        busyPhase_ = 1;
        SetCommLamp(kLampRed);
    }
}

void TfrmModule::tmrCardTimer() {
    main_->shCard->setColor(kLampWhite);
    tmrCard->stop();
}

void TfrmModule::SetCommLamp(const QColor& color) { main_->shComm->setColor(color); }

void TfrmModule::Beep(int frequencyHz, int durationMs) {
    services_.tones->Beep(frequencyHz, durationMs);
}

void TfrmModule::ShowMessage(text::Msg msg, const QString& suffix) {
    main_->pnMsg->setText(Msg(msg) + suffix);
}

std::string TfrmModule::Encode(const QString& text) const {
    return platform::EncodeText(text, language_);
}

actions::TypedText TfrmModule::typed(const QLineEdit* edit) const {
    return {edit->text(), language_};
}

void TfrmModule::showSentEcho(const std::string& echo) {
    sbCommSent->setText(platform::DecodeText(echo, language_));
}

void TfrmModule::showReceivedEcho(const std::string& echo) {
    sbCommReceived->setText(platform::DecodeText(echo, language_));
    sbCommReceived->setToolTip(QString());  // a lost line says why here afterwards
}

}  // namespace app
