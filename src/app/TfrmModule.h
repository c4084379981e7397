// TfrmModule: the one window of Tag Bench, which owns all state and every event handler.
//
// Data flows one way: a control's event -> a handler here -> RunCommand (the command procedure:
// busy window, linked-flag check, port open, attempts, outcome) -> reader command logic in
// commands/ -> a transaction of link/ReaderLink -> the serial channel. Results come back as
// values and only the handlers write them into controls.
//
// Files: TfrmModule.cpp (creation, show, close, busy indication, timers, echoes),
// CommandProcedure.cpp, Language.cpp (applying a language, captions), Settings.cpp,
// ReaderTypePages.cpp, MainArea.cpp and pages/ (the layout), handlers/ (one file a page).
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/MainArea.h"
#include "app/pages/CommandPage.h"
#include "app/pages/DisplayPage.h"
#include "app/pages/EmPage.h"
#include "app/pages/FingerprintPage.h"
#include "app/pages/KeypadPage.h"
#include "app/pages/MifareKeyPage.h"
#include "app/pages/MifarePage.h"
#include "commands/config/CardReading.h"
#include "link/ReaderLink.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"
#include "platform/ToneGenerator.h"
#include "text/Catalogue.h"

class QAction;
class QLabel;
class QTimer;

namespace app {

// What the window talks to outside itself; tests hand in a temporary store, a port map naming
// simulated readers and a tone recorder.
struct ModuleServices {
    std::unique_ptr<platform::SettingsStore> store;
    platform::PortMap ports;
    std::unique_ptr<platform::ToneGenerator> tones;
    std::unique_ptr<platform::SerialChannel> channel;

    static ModuleServices FromSystem();
};

// The wait before each attempt of a command.
enum class AttemptPause {
    Pumped100ms,  // 100 ms with the window kept alive, then a message pump
    Plain50ms,    // 50 ms, no pumping
};

// The catalogue entries and attempt shape of one reader command.
struct CommandSteps {
    text::Msg start;
    text::Msg ok;
    text::Msg error;
    int attempts = 2;
    AttemptPause pause = AttemptPause::Pumped100ms;
};

class TfrmModule : public QMainWindow, private tblink::EchoSink {
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
    static constexpr int kBusyFlashMs = 200;
    static constexpr int kCardLampMs = 1000;

    // The command procedure: hourglass and disabled window; refusal (red lamp, low tone) when
    // not linked; start message; port open; up to steps.attempts attempts, each after the
    // pause, stopping at the first that succeeds; port closed; lamp, message and tone of the
    // outcome; window enabled and cursor restored on every path. True on success.
    bool RunCommand(const CommandSteps& steps, const std::function<bool()>& attempt);

public slots:
    void FormShow();
    void pcReaderChange();
    void mnuEnglishClick();
    void mnuSimplifiedClick();
    void mnuTraditionalClick();
    void mnuExitClick();
    void tmrBusyTimer();
    void tmrCardTimer();
    void sbIDChange();
    void btnScanClick();
    void btnLinkClick();
    void btnIDClick();
    void btnBaudRateClick();
    void btnModeClick();
    void btnGetModeClick();
    void btnReadCardClick();
    void btnEncodeClick();
    void chkInvalidClick();
    void btnCardTypeClick();
    void btnCardReadClick();

    // ---- tsCommand page (handlers/CommandHandlers.cpp) ----

    // ---- tsEM page (handlers/EmHandlers.cpp) ----

    // ---- tsKeypad page (handlers/KeypadHandlers.cpp) ----
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

    // ---- tsMifare page (handlers/MifareHandlers.cpp) ----
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

    // ---- tsMifareKey page (handlers/MifareKeyHandlers.cpp) ----
    void sbM1CardSectorChange();
    // The mouse-up of any of the access-condition options, named by its object name; runs
    // after the option has become checked in its group. Keyboard changes do not come here.
    void AccessOptionMouseUp(const QString& option);

    // ---- tsDisplay page (handlers/DisplayHandlers.cpp) ----

    // ---- tsFingerprint page (handlers/FingerprintHandlers.cpp) ----
    // The panels follow their scroll bars at every change, the program's own included.
    void sbFacilityChange();
    void sbFingerNoChange();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void buildWindow();
    void buildMenu();
    void buildStatusBar();
    void connectMainArea();
    void connectCommandPage();
    void connectEmPage();
    void connectKeypadPage();
    void connectMifarePage();
    void connectMifareKeyPage();
    void connectDisplayPage();
    void connectFingerprintPage();
    void fillPortBox();

    // Discovery and read-out (handlers/DiscoveryHandlers.cpp).
    void startDiscovery(text::Msg startText);
    bool probeReader(const std::string& probe);
    void runDiscovery(text::Msg startText, const std::function<bool()>& find);
    bool probeAfterPauses(int port, const std::string& settings, const std::string& probe);
    bool quickTry(const std::string& probe);
    bool walkPorts(const std::string& probe);
    void reportReaderNotFound();
    void ReadSettings();
    bool readOutCommand(const char* command);
    bool readPageSettings();

    // Card reading (handlers/CardHandlers.cpp).
    enum class CardLoop { Plain, TwoWay };
    void connectCardReading();
    void readCardsContinuously(CardLoop loop);
    void lockForCardLoop(CardLoop loop, bool locked);
    void pollCards(CardLoop loop);
    void showPollOutcome(const commands::PollOutcome& outcome);
    void answerTwoWayCard();

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
    // Waits with the window kept alive (timers and painting go on).
    void PumpWait(int milliseconds);
    // The short pauses that leave the window still: the reader's own timing needs them.
    void SleepWithoutPumping(int milliseconds);
    void PumpMessages();

    tblink::ReaderLink& link() { return link_; }
    // Command texts leave the program in the code page of the current language.
    std::string Encode(const QString& text) const;

    MainArea main_;
    CommandPage command_;
    EmPage em_;
    KeypadPage keypad_;
    MifarePage mifare_;
    MifareKeyPage mifareKey_;
    DisplayPage display_;
    FingerprintPage fingerprint_;

    QAction* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuLanguage = nullptr;
    QAction* mnuEnglish = nullptr;
    QAction* mnuSimplified = nullptr;
    QAction* mnuTraditional = nullptr;
    QLabel* sbCommSent = nullptr;
    QLabel* sbCommReceived = nullptr;
    QTimer* tmrBusy = nullptr;
    QTimer* tmrCard = nullptr;

    void showSentEcho(const std::string& echo) override;
    void showReceivedEcho(const std::string& echo) override;

    ModuleServices services_;
    tblink::ReaderLink link_;

    // Window state.
    int portNumber_ = 0;
    std::string lineSettings_;
    int lineSettingsIndex_ = 0;
    QString languageName_;
    int language_ = text::kEnglish;
    bool linked_ = false;
    bool continuousRead_ = false;
    std::string startCharacter_;
    std::string readerId_;
    int storedReaderType_ = 0;
    int busyPhase_ = 0;
    // Depth of running commands: while one runs, the window may not be closed.
    int commandDepth_ = 0;
};

}  // namespace app
