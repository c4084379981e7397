// TfrmModule: the one window of Tag Bench, which owns all state and every event handler.
//
// Data flows one way: a control's event -> a handler here (glue: it reads its controls) ->
// a reader action's request (actions/: its inputs checked, its commands/ call) -> RunAction, the
// window's side of the one command procedure (busy window, linked-flag check, port open,
// outcome) -> the commands/ function (its attempts, pauses and exchanges, on a Session) ->
// link/ReaderLink ->
// the serial channel. Results come back as values and only the handlers write them into
// controls. Discovery (link/Discovery) and the settings read-out (commands/config/ReadOut) run
// the same way; the waits go through the window's pacer (WindowPacer).
//
// Files: TfrmModule.cpp (creation, show, close, the default button, busy indication, timers,
// echoes), CommandProcedure.cpp, Language.cpp (applying a language, captions), Settings.cpp,
// ReaderTypePages.cpp, MainArea.cpp and pages/ (the layout, one file a page), handlers/ (the
// handlers of each page in a file of their own, with the table of the page's buttons; the
// frame history's and why a port would not open in HistoryHandlers.cpp), history/ (the View
// menu's frame history window and its model).
#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/Procedure.h"
#include "actions/Requests.h"
#include "app/WindowPacer.h"
#include "commands/Session.h"
#include "commands/display/TitleIcon.h"
#include "link/ReaderLink.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"
#include "platform/ToneGenerator.h"
#include "text/Catalogue.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace commands {
struct PollOutcome;
struct ReadOutValues;
namespace display {
enum class TitleLine;
}  // namespace display
}  // namespace commands

namespace tblink {
struct FoundReader;
}  // namespace tblink

namespace app {

struct MainArea;
class FrameHistoryWindow;
struct CommandPage;
struct EmPage;
struct KeypadPage;
struct MifarePage;
struct MifareKeyPage;
struct DisplayPage;
struct FingerprintPage;

// What the window talks to outside itself; tests hand in a temporary store, a port map naming
// simulated readers and a tone recorder.
struct ModuleServices {
    std::unique_ptr<platform::SettingsStore> store;
    platform::PortMap ports;
    std::unique_ptr<platform::ToneGenerator> tones;
    std::unique_ptr<platform::SerialChannel> channel;
    // Where every frame-history entry is appended as it happens (TAGBENCH_FRAME_LOG); empty:
    // nowhere.
    std::string frameLogPath;

    static ModuleServices FromSystem();
};

// The file-open dialog odFile: the file the user chose, starting in `directory` with `filter`
// (in Qt's form); empty when the user cancelled.
using FileChooser =
    std::function<QString(QWidget* parent, const QString& directory, const QString& filter)>;
// The PC's local date and time.
using LocalClock = std::function<QDateTime()>;

class TfrmModule;
// A button of a function page and its click handler. Every page's buttons are wired from its
// table; the refusal test walks the same tables.
struct ButtonBinding {
    const char* name;
    void (TfrmModule::*click)();
    // The reader action it runs, from the table of actions; none for discovery and the card
    // loops, which have procedures of their own.
    const actions::ActionInfo* action() const;
    bool needsLink() const;  // refused while no reader is linked
};

class TfrmModule : public QMainWindow, private tblink::EchoSink, private tblink::HistoryObserver {
    Q_OBJECT
public:
    explicit TfrmModule(ModuleServices services, QWidget* parent = nullptr);
    ~TfrmModule() override;

    // Window state, read by tests and by the handlers.
    bool linked() const { return linked_; }
    bool continuousRead() const { return continuousRead_; }
    int portNumber() const { return portNumber_; }
    const std::string& lineSettings() const { return lineSettings_; }
    int lineSettingsIndex() const { return lineSettingsIndex_; }
    int language() const { return language_; }
    const QString& languageName() const { return languageName_; }
    const std::string& startCharacter() const { return startCharacter_; }
    const std::string& readerId() const { return readerId_; }
    // Start character and reader ID: the front of every command text.
    std::string commandPrefix() const { return startCharacter_ + readerId_; }

    // The tones of success and failure, and the timers' periods.
    static constexpr int kToneHighHz = 1000;
    static constexpr int kToneLowHz = 300;
    static constexpr int kToneMs = 300;
    static constexpr int kTickMs = tblink::kTickMs;  // the progress tick of long actions
    static constexpr int kBusyFlashMs = 200;
    static constexpr int kCardLampMs = 1000;

    // A reader action through the one command procedure: hourglass and disabled window;
    // refusal (red lamp, low tone) when not linked; start message; port open; the action (which
    // makes its own attempts); port closed; lamp, message and tone of the outcome; window
    // enabled and cursor restored on every path.
    actions::Outcome RunAction(const actions::Request& request);

    // Every button of the function pages and the main area that runs a reader command.
    static std::vector<ButtonBinding> CommandButtons();

    // What the display page asks of the desktop; tests put in their own.
    void SetFileChooser(FileChooser chooser) { odFile = std::move(chooser); }
    void SetLocalClock(LocalClock clock) { localClock_ = std::move(clock); }
    // Where Save template... and Load template... take their file from: its path, or an empty
    // text when the user cancelled. The file dialogs unless replaced (tests give their own).
    using TemplatePathChooser = std::function<QString(bool saving)>;
    void setTemplatePathChooser(TemplatePathChooser chooser);
    // The link's frame history, and its window (made hidden on first use).
    const tblink::FrameHistory& frameHistory() const { return link_.History(); }
    FrameHistoryWindow& frameHistoryWindow();

public slots:
    // Applies the language to the whole window, then the reader-type pages; runs as the window
    // is shown and from the language menu.
    void FormShow();
    void pcReaderChange();
    void mnuEnglishClick();
    void mnuSimplifiedClick();
    void mnuTraditionalClick();
    void mnuExitClick();
    void mnuSaveProfileClick();
    void mnuApplyProfileClick();
    // Shows the frame history window, or brings it to the front.
    void mnuFrameHistoryClick();
    // The program's version and license, in the window's language.
    void mnuAboutClick();
    void tmrBusyTimer();
    void tmrCardTimer();

    // ---- main area (handlers/MainAreaHandlers.cpp, handlers/DiscoveryHandlers.cpp) ----
    void sbIDChange();
    void btnScanClick();
    void btnLinkClick();
    void btnIDClick();
    void btnBaudRateClick();
    // Start a continuous reading, or ask the running one to end.
    void btnReadCardClick();
    void btnEncodeClick();
    void chkInvalidClick();

    // ---- tsCommand page (handlers/CommandPageHandlers.cpp) ----
    void btnModeClick();
    void btnGetModeClick();
    void btnCardReadClick();
    // The command tests work without a link: the port, line settings (and for the first, the
    // reader ID) then come from the controls.
    void btnTestClick();
    void btnTest2Click();
    void btnRebootClick();
    void btnFactoryClick();

    // ---- tsEM page (handlers/EmPageHandlers.cpp) ----
    void btnCardTypeClick();

    // ---- tsKeypad page (handlers/KeypadPageHandlers.cpp) ----
    // The panels beside the scroll bars show the two digits the set commands send.
    void sbKeyNumberChange();
    void sbKeyStatusNumberChange();
    void sbKeyDelayTimeChange();
    void btnKeyParityClick();
    void btnGetKeyParityClick();
    void btnKeyNumberClick();
    void btnGetKeyNumberClick();
    void btnKeyStatusClick();
    void btnGetKeyStatusClick();

    // ---- tsMifare page (handlers/MifarePageHandlers.cpp) ----
    // Each panel shows its scroll bar's position; sbM1SectorChange also fits the block range
    // to the sector (16 blocks from sector 32 on).
    void sbM1IDSectorChange();
    void sbM1IDBlockChange();
    void sbM1IDByteChange();
    void sbM1E2SectorChange();
    void sbM1SectorChange();
    void sbM1BlockChange();
    // "EEPROM" checked: the read uses the reader's stored key, so the typed key is greyed.
    void chkEEPROMClick();
    void btnM1IDSectorClick();
    void btnM1KeyClick();
    // The block's data into edM1Read; a write puts the reader's echo there.
    void btnM1ReadClick();
    void btnM1WriteClick();

    // ---- tsMifareKey page (handlers/MifareKeyPageHandlers.cpp) ----
    void sbM1CardSectorChange();
    // The mouse-up of any of the access-condition options, named by its object name; runs
    // after the option has become checked in its group. Keyboard changes do not come here.
    void AccessOptionMouseUp(const QString& option);
    // The access-bits text from the options shown, replacing what was typed.
    void UpdateAccessBits();
    // The red notice beside an access-bits text that would harm the sector; nothing refused.
    void edM1CardKeyAccessChange();
    void btnM1CardKeyClick();

    // ---- tsDisplay page (handlers/DisplayPageHandlers.cpp) ----
    void btnLanguageClick();
    void btnPasswordClick();
    void btnScreenClick();
    // The clock is read once, at the click: a second attempt sends the same time.
    void btnDateTimeClick();
    void btnSmallMessageClick();
    void btnScreenMessageClick();
    // Clearing the screen message reports with the title messages.
    void btnClrMessageClick();
    void btnSetTitleModeClick();
    // Setting a title also puts the list, and the display, on "Text Title".
    void btnSetTitle1Click();
    void btnSetTitle2Click();
    void btnClrTitle1Click();
    void btnClrTitle2Click();
    // Asks for an icon file or a picture, previews it and sends it with the text-and-icon
    // mode; a cancelled dialog changes nothing.
    void btnTitleIconClick();

    // ---- tsFingerprint page (handlers/FingerprintPageHandlers.cpp) ----
    // The panels follow their scroll bars at every change, the program's own included.
    void sbFacilityChange();
    void sbFingerNoChange();
    void btnFingerFacilityClick();
    void btnAddFingerClick();
    void btnDelFingerClick();
    void btnGetFingerIDClick();
    void btnSetFingerIDClick();
    void btnFingerScanClick();
    void btnGetTemplateClick();
    void btnPutTemplateClick();
    // The finger number and the template to and from a file; no reader is involved.
    void btnSaveTemplateClick();
    void btnLoadTemplateClick();
    // Stand-alone door settings; the first successful "R01" shows the others.
    void btnStandFingerClick();
    void btnDoorFingerClick();
    void btnAlarmFingerClick();
    void btnSetCardFingerClick();
    void btnDuressFingerClick();
    void btnClrCardFingerClick();
    void btnStandFingerDefaultClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Runs FormShow whenever the window is shown, before it is painted.
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void buildWindow();
    void buildMenu();
    void buildStatusBar();
    // Client area 771 x 630 below a menu bar whose height follows the language's font.
    void fixClientSize();
    void connectMainArea();
    void connectCommandPage();
    void connectKeypadPage();
    void connectMifarePage();
    void connectMifareKeyPage();
    void connectDisplayPage();
    void connectFingerprintPage();
    void fillPortBox();
    // A network port URL typed into the port box becomes a port of the map: its COM number
    // (the next free one, kept in the store) replaces the text, the URL is the item's tooltip.
    void adoptTypedPort();

    // Hourglass, disabled window (or the flashing busy indication) and the running-command
    // count for as long as it lives, whatever way the scope is left.
    class ActionHost;
    class BusyWindow {
    public:
        BusyWindow(TfrmModule& window, bool flashing);
        ~BusyWindow();
        BusyWindow(const BusyWindow&) = delete;
        BusyWindow& operator=(const BusyWindow&) = delete;

    private:
        TfrmModule& window_;
        bool flashing_;
    };
    void connectButtons(const std::vector<ButtonBinding>& buttons);
    // Each page's buttons, in its handlers' file.
    static std::vector<ButtonBinding> mainAreaButtons();
    static std::vector<ButtonBinding> commandPageButtons();
    static std::vector<ButtonBinding> emPageButtons();
    static std::vector<ButtonBinding> keypadPageButtons();
    static std::vector<ButtonBinding> mifarePageButtons();
    static std::vector<ButtonBinding> mifareKeyPageButtons();
    static std::vector<ButtonBinding> displayPageButtons();
    static std::vector<ButtonBinding> fingerprintPageButtons();

    // One user action as the frame history and the port diagnostics see it: its rows are
    // grouped under its start message, and the port problems shown are this action's only.
    class ActionScope {
    public:
        ActionScope(TfrmModule& window, text::Msg start);
        ~ActionScope();
        ActionScope(const ActionScope&) = delete;
        ActionScope& operator=(const ActionScope&) = delete;

    private:
        TfrmModule& window_;
        std::shared_ptr<const tblink::HistoryGroup> resumed_;
    };
    // A port that did not open or a line that was lost: pnMsg's tooltip and the echo panel say
    // why (handlers/HistoryHandlers.cpp).
    void entryAdded(const tblink::HistoryEntry& entry, bool droppedOldest) override;
    void historyCleared() override {}

    // Discovery and read-out (handlers/DiscoveryHandlers.cpp).
    void runDiscovery(text::Msg startText,
                      const std::function<std::optional<tblink::FoundReader>()>& find);
    void reportReaderNotFound();
    void ReadSettings(const tblink::FoundReader& found);
    void showReadOut(const commands::ReadOutValues& values);
    // The linked reader read out again for a profile; none when it did not answer.
    std::optional<commands::ReadOutValues> readProfileReader();

    // Card reading (handlers/MainAreaHandlers.cpp).
    void readCardsContinuously(bool twoWay);
    void lockForCardLoop(bool twoWay, bool locked);
    void showPollOutcome(const commands::PollOutcome& outcome);

    // Display page (handlers/DisplayPageHandlers.cpp).
    void setTitle(commands::display::TitleLine line, const QLineEdit* title);
    void clearTitle(commands::display::TitleLine line);
    // The window's share of the icon upload: reads the chosen file and previews it on
    // imgTitle; when it cannot be read, says why in the status bar and leaves the preview.
    std::optional<commands::display::IconBitmap> ReadTitleIcon(const QString& path);
    // Fingerprint page (handlers/FingerprintPageHandlers.cpp).
    int fingerNumber() const;  // the finger number scroll bar's position
    // edF1, edF2, edF3 as typed: reader bytes in the form of platform::BytesAsText.
    std::array<actions::TypedText, 3> templateBoxes() const;
    // The lamp, message and tone of an action that ran without a reader.
    void showOutcome(bool ok, text::Msg msg, const QString& suffix = QString());

    // System utility (handlers/CommandPageHandlers.cpp).
    void takeLineFromControls();
    void runCommandTest(bool addressed);
    void resetToDelivery(bool whole);

    // Settings store (Settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void SaveLanguage();
    void switchLanguage(int language);
    void applyCaptions();

    void SetBusy(bool on);
    void Beep(int frequencyHz, int durationMs);
    void ShowMessage(text::Msg msg, const QString& suffix = QString());
    QString Msg(text::Msg msg) const { return text::Text(msg, language_); }
    void SetCommLamp(const QColor& color);
    void PumpMessages();
    // Command texts leave the program in the code page of the current language.
    // What an edit box holds, to go to the reader in the window's code page.
    actions::TypedText typed(const QLineEdit* edit) const;
    std::string Encode(const QString& text) const;

    std::unique_ptr<MainArea> main_;
    std::unique_ptr<CommandPage> command_;
    std::unique_ptr<EmPage> em_;
    std::unique_ptr<KeypadPage> keypad_;
    std::unique_ptr<MifarePage> mifare_;
    std::unique_ptr<MifareKeyPage> mifareKey_;
    std::unique_ptr<DisplayPage> display_;
    std::unique_ptr<FingerprintPage> fingerprint_;

    QAction* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuSaveProfile = nullptr;
    QAction* mnuApplyProfile = nullptr;
    QAction* mnuLanguage = nullptr;
    QAction* mnuEnglish = nullptr;
    QAction* mnuSimplified = nullptr;
    QAction* mnuTraditional = nullptr;
    QAction* mnuView = nullptr;
    QAction* mnuFrameHistory = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QLabel* sbCommSent = nullptr;
    QLabel* sbCommReceived = nullptr;
    QTimer* tmrBusy = nullptr;
    QTimer* tmrCard = nullptr;

    void showSentEcho(const std::string& echo) override;
    void showReceivedEcho(const std::string& echo) override;

    ModuleServices services_;
    tblink::ReaderLink link_;
    WindowPacer pacer_;
    FileChooser odFile;
    LocalClock localClock_;
    std::unique_ptr<FrameHistoryWindow> frmFrameHistory_;
    std::unique_ptr<tblink::FrameLogFile> frameLog_;
    // Why ports would not open during the current action, one line each.
    std::vector<QString> portProblems_;

    // Window state.
    int portNumber_ = 0;
    std::string lineSettings_;
    int lineSettingsIndex_ = 0;
    QString languageName_;
    int language_ = text::kEnglish;
    bool linked_ = false;
    // The actions that went well since the last link: their controls hold what a profile keeps
    // of the settings the reader cannot report.
    std::vector<actions::ActionId> sentSinceLink_;
    unsigned titleLinesSent_ = 0;  // bit per display::TitleLine
    std::vector<std::pair<std::string, std::string>> typedSettings() const;
    bool continuousRead_ = false;
    QPushButton* cardLoopButton_ = nullptr;  // the running card loop's stop button
    std::string startCharacter_;
    std::string readerId_;
    int storedReaderType_ = 0;
    int busyPhase_ = 0;
    // Depth of running commands: while one runs, the window may not be closed.
    int commandDepth_ = 0;
    bool placed_ = false;             // centred on the screen at the first show
    bool enterTakenByPopup_ = false;  // the Enter being delivered picked an item of an open list
    TemplatePathChooser templatePath_;
};

}  // namespace app
