// Continuous card reading (plain and two-way) and the two card settings.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/config/CardReading.h"

namespace app {
namespace {

using text::Msg;

}  // namespace

void TfrmModule::connectCardReading() {
    connect(main_.btnReadCard, &QPushButton::clicked, this, &TfrmModule::btnReadCardClick);
    connect(main_.btnEncode, &QPushButton::clicked, this, &TfrmModule::btnEncodeClick);
    connect(main_.chkInvalid, &QCheckBox::clicked, this, &TfrmModule::chkInvalidClick);
    connect(em_.btnCardType, &QPushButton::clicked, this, &TfrmModule::btnCardTypeClick);
    connect(command_.btnCardRead, &QPushButton::clicked, this, &TfrmModule::btnCardReadClick);
}

void TfrmModule::btnReadCardClick() { readCardsContinuously(CardLoop::Plain); }

void TfrmModule::btnEncodeClick() { readCardsContinuously(CardLoop::TwoWay); }

void TfrmModule::chkInvalidClick() { chkEEPROMClick(); }

// While a loop runs, only its own button (to stop it), Link and the settings-free controls
// stay usable.
void TfrmModule::lockForCardLoop(CardLoop loop, bool locked) {
    QPushButton* other = loop == CardLoop::Plain ? main_.btnEncode : main_.btnReadCard;
    for (QWidget* control : std::initializer_list<QWidget*>{
             other, main_.btnScan, command_.btnFactory, main_.btnID, main_.btnBaudRate,
             command_.btnMode, main_.pcReader, main_.gbOther})
        control->setEnabled(!locked);
}

void TfrmModule::readCardsContinuously(CardLoop loop) {
    // The stop comes first: a Link tried during the loop clears the linked flag, and the
    // loop must still be stoppable by its own button.
    if (continuousRead_) {
        continuousRead_ = false;  // the running loop ends at its next look at the flag
        return;
    }
    if (!linked_) {
        Beep(kToneLowHz, kToneMs);
        return;
    }
    continuousRead_ = true;
    QPushButton* button = loop == CardLoop::Plain ? main_.btnReadCard : main_.btnEncode;
    const QString caption = button->text();
    button->setText(Msg(Msg::CancelReadCard));
    lockForCardLoop(loop, true);
    if (loop == CardLoop::Plain) main_.pnMsg->clear();

    if (!link_.OpenPort(portNumber_, lineSettings_)) {
        SetCommLamp(kLampRed);
        if (loop == CardLoop::Plain)
            main_.pnMsg->setText(Msg(Msg::OpenCom) + QString(" : %1 ").arg(portNumber_) +
                                 Msg(Msg::Error));
        Beep(kToneLowHz, kToneMs);
        continuousRead_ = false;
    } else {
        pollCards(loop);
    }

    lockForCardLoop(loop, false);
    button->setText(caption);
    if (loop == CardLoop::TwoWay) ShowMessage(Msg::CardId);
}

void TfrmModule::pollCards(CardLoop loop) {
    SetBusy(true);
    setEnabled(true);  // the same button must be able to stop the loop
    const std::string poll = commandPrefix() + (loop == CardLoop::Plain ? "F" : "I");
    while (continuousRead_) {
        for (int i = 0; i < 5; ++i) {
            PumpMessages();
            SleepWithoutPumping(10);
        }
        if (!continuousRead_) break;
        if (link_.Transact(poll) != 1) break;
        const auto outcome =
            loop == CardLoop::Plain
                ? commands::DecodePlainPoll(link_.ReplyText(), link_.ReplyLength())
                : commands::DecodeTwoWayPoll(link_.ReplyText(), link_.ReplyLength());
        showPollOutcome(outcome);
        if (outcome.answer) answerTwoWayCard();
    }
    SetBusy(false);
    if (continuousRead_) {
        SetCommLamp(kLampRed);
        ShowMessage(Msg::ReaderNotFind);
        continuousRead_ = false;
        Beep(kToneLowHz, kToneMs);
    } else {
        SetCommLamp(kLampYellow);
        Beep(kToneHighHz, kToneMs);
    }
    main_.shCard->setColor(kLampWhite);
    link_.ClosePort();
}

void TfrmModule::showPollOutcome(const commands::PollOutcome& outcome) {
    if (outcome.show == commands::PollOutcome::Show::CardId)
        ShowMessage(Msg::CardId, QString::fromStdString(outcome.text));
    else if (outcome.show == commands::PollOutcome::Show::Keys)
        main_.pnMsg->setText(QString::fromStdString(outcome.text));
    if (outcome.data) {
        main_.shCard->setColor(kLampYellow);
        if (!tmrCard->isActive()) tmrCard->start();
    }
}

// After each two-way card the reader waits for two "J" and the verdict; their replies do not
// matter.
void TfrmModule::answerTwoWayCard() {
    SleepWithoutPumping(10);
    link_.Transact(commandPrefix() + "J");
    SleepWithoutPumping(10);
    link_.Transact(commandPrefix() + "J");
    SleepWithoutPumping(50);
    link_.Transact(commandPrefix() + (main_.chkInvalid->isChecked() ? "H2" : "H1"));
}

void TfrmModule::btnCardTypeClick() {
    const int cardType = em_.cmbCardType->currentIndex();
    RunCommand({Msg::SetCardType, Msg::SetCardTypeOk, Msg::SetCardTypeError},
               [&] { return commands::SetCardType(link_, commandPrefix(), cardType); });
}

void TfrmModule::btnCardReadClick() {
    const int resetMode = command_.cmbResetMode->currentIndex();
    RunCommand({Msg::SetCardReadMode, Msg::SetCardReadModeOk, Msg::SetCardReadModeError, 2,
                AttemptPause::Plain50ms},
               [&] { return commands::SetCardReadMode(link_, commandPrefix(), resetMode); });
}

}  // namespace app
