// Handlers of the main area: reader ID, line settings, and continuous card reading.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "actions/Requests.h"
#include "app/Controls.h"
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/pages/CommandPage.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "link/LineSettingsList.h"

namespace app {

using text::Msg;

std::vector<ButtonBinding> TfrmModule::mainAreaButtons() {
    return {
        {"btnScan", &TfrmModule::btnScanClick},
        {"btnLink", &TfrmModule::btnLinkClick},
        {"btnID", &TfrmModule::btnIDClick},
        {"btnBaudRate", &TfrmModule::btnBaudRateClick},
        {"btnReadCard", &TfrmModule::btnReadCardClick},
        {"btnEncode", &TfrmModule::btnEncodeClick},
    };
}

void TfrmModule::sbIDChange() { ShowPosition(main_->pnID, main_->sbID, "%02d"); }

void TfrmModule::btnIDClick() {
    // The reader answers at its new ID only after the next Scan or Link reads it back.
    RunAction(actions::SetId(main_->sbID->value()));
}

void TfrmModule::btnBaudRateClick() {
    const int index = main_->cmbBaudRate->currentIndex();
    if (!tblink::IsLineSettingsIndex(index)) return;
    if (RunAction(actions::SetLine(index)).ok()) {
        lineSettingsIndex_ = index;
        lineSettings_ = tblink::kLineSettingsTexts[index];
    }
}

void TfrmModule::btnReadCardClick() { readCardsContinuously(false); }

void TfrmModule::btnEncodeClick() { readCardsContinuously(true); }

// Its click runs the EEPROM check box's handler, which looks only at its own box.
void TfrmModule::chkInvalidClick() { chkEEPROMClick(); }

// While a loop runs, only its own button (to stop it), Link and the settings-free controls
// stay usable.
void TfrmModule::lockForCardLoop(bool twoWay, bool locked) {
    QPushButton* other = twoWay ? main_->btnReadCard : main_->btnEncode;
    for (QWidget* control : std::initializer_list<QWidget*>{
             other, main_->btnScan, command_->btnFactory, main_->btnID, main_->btnBaudRate,
             command_->btnMode, main_->pcReader, main_->gbOther})
        control->setEnabled(!locked);
}

void TfrmModule::readCardsContinuously(bool twoWay) {
    // The stop comes first: a Link tried during the loop clears the linked flag, and the
    // loop must still be stoppable by its own button.
    if (continuousRead_) {
        continuousRead_ = false;  // the running loop ends after its current poll
        return;
    }
    if (!linked_) {
        Beep(kToneLowHz, kToneMs);
        return;
    }
    continuousRead_ = true;
    const ActionScope scope(*this, twoWay ? Msg::ReadCardTwoWay : Msg::ReadCard);
    QPushButton* button = twoWay ? main_->btnEncode : main_->btnReadCard;
    cardLoopButton_ = button;
    SetCaption(button, Msg(Msg::CancelReadCard));
    lockForCardLoop(twoWay, true);
    if (!twoWay) main_->pnMsg->clear();

    if (!link_.OpenPort(portNumber_, lineSettings_)) {
        SetCommLamp(kLampRed);
        if (!twoWay)
            main_->pnMsg->setText(Msg(Msg::OpenCom) + QString(" : %1 ").arg(portNumber_) +
                                  Msg(Msg::Error));
        Beep(kToneLowHz, kToneMs);
        continuousRead_ = false;
    } else {
        SetBusy(true);
        setEnabled(true);  // the same button must be able to stop the loop
        const auto end = commands::ReadCards(
            commands::Session{link_, pacer_, commandPrefix()},
            twoWay ? commands::CardLoop::TwoWay : commands::CardLoop::Plain,
            [this](const commands::PollOutcome& outcome) { showPollOutcome(outcome); },
            [this] { return main_->chkInvalid->isChecked(); });
        SetBusy(false);
        if (end == commands::CardLoopEnd::PollFailed) {
            SetCommLamp(kLampRed);
            ShowMessage(Msg::ReaderNotFind);
            continuousRead_ = false;
            Beep(kToneLowHz, kToneMs);
        } else {
            SetCommLamp(kLampYellow);
            Beep(kToneHighHz, kToneMs);
        }
        main_->shCard->setColor(kLampWhite);
        link_.ClosePort();
    }

    lockForCardLoop(twoWay, false);
    // Its own caption in the language of now: the menu may have switched it during the loop.
    cardLoopButton_ = nullptr;
    SetCaption(button, CaptionIn(twoWay ? "btnEncode" : "btnReadCard", language_));
    if (twoWay) ShowMessage(Msg::CardId);
}

void TfrmModule::showPollOutcome(const commands::PollOutcome& outcome) {
    if (outcome.show == commands::PollOutcome::Show::CardId)
        ShowMessage(Msg::CardId, QString::fromStdString(outcome.text));
    else if (outcome.show == commands::PollOutcome::Show::Keys)
        main_->pnMsg->setText(QString::fromStdString(outcome.text));
    if (outcome.data) {
        main_->shCard->setColor(kLampYellow);
        if (!tmrCard->isActive()) tmrCard->start();
    }
}

}  // namespace app
