// Finding the reader (Scan, Link) and reading out its settings.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/pages/CommandPage.h"
#include "app/pages/EmPage.h"
#include "app/pages/KeypadPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"
#include "commands/config/ReadOut.h"
#include "link/Discovery.h"
#include "link/LineSettingsList.h"
#include "link/PortList.h"
#include "link/ReplyFields.h"

namespace app {
namespace {

using text::Msg;

QString PortSuffix(int port) { return QString(" : #%1").arg(port); }

void SetIfRead(QComboBox* list, const std::optional<int>& item) {
    if (item) list->setCurrentIndex(*item);
}

void SetIfRead(QScrollBar* bar, const std::optional<int>& position) {
    if (position) bar->setValue(*position);
}

}  // namespace

void TfrmModule::reportReaderNotFound() {
    main_->cmbBaudRate->setCurrentIndex(tblink::kDefaultLineSettingsIndex);
    ShowMessage(Msg::ReaderNotFind);
    SetBusy(false);
    SetCommLamp(kLampRed);
    Beep(kToneLowHz, kToneMs);
}

void TfrmModule::runDiscovery(text::Msg startText,
                              const std::function<std::optional<tblink::FoundReader>()>& find) {
    // The disabled window and its message are painted in the pause before the first probe,
    // which waits anyway, rather than ahead of the port's open.
    struct PaintHold {
        WindowPacer& pacer;
        PaintHold(WindowPacer& held, QWidget& window) : pacer(held) { pacer.HoldPaint(window); }
        ~PaintHold() { pacer.ReleasePaint(); }
    } hold(pacer_, *this);
    BusyWindow busy(*this, true);
    const ActionScope scope(*this, startText);
    ShowMessage(startText, " ....");
    main_->pnSerial->setText(Msg(Msg::SerialNumber) + " : ________");
    main_->pnVersion->setText(Msg(Msg::Version) + " : __.__-__");
    PumpMessages();
    linked_ = false;
    try {
        const auto found = find();
        if (found)
            ReadSettings(*found);
        else
            reportReaderNotFound();
    } catch (...) {
        link_.ClosePort();
        reportReaderNotFound();
    }
}

void TfrmModule::btnScanClick() {
    adoptTypedPort();
    runDiscovery(Msg::ScanReader, [this] {
        tblink::ScanRequest request;
        request.probe = tblink::ScanProbe(startCharacter_.front());
        request.storedPort = portNumber_;
        request.storedLineSettingsIndex = lineSettingsIndex_;
        request.storedLineSettings = lineSettings_;
        request.lock = main_->chkLock->isChecked();
        for (int item = 0; item < main_->cmbPort->count(); ++item)
            request.portItems.push_back(main_->cmbPort->itemText(item).toStdString());
        if (portNumber_ > 0) {
            main_->cmbPort->setEditText(QString("COM%1").arg(portNumber_));
            main_->cmbBaudRate->setCurrentIndex(lineSettingsIndex_);
        }
        return tblink::Scan(link_, pacer_, request, [this](const tblink::DiscoveryStep& step) {
            using Kind = tblink::DiscoveryStep::Kind;
            switch (step.kind) {
                case Kind::PortItem:
                    main_->cmbPort->setCurrentIndex(step.item);
                    break;
                case Kind::LineSettings:
                    main_->cmbBaudRate->setCurrentIndex(step.lineSettingsIndex);
                    break;
                case Kind::PortOpened:
                    ShowMessage(Msg::ScanCom, PortSuffix(step.port));
                    break;
                case Kind::FoundInWalk:
                    // A find is kept at once, even if the read-out then fails.
                    portNumber_ = step.port;
                    lineSettingsIndex_ = step.lineSettingsIndex;
                    lineSettings_ = tblink::kLineSettingsTexts[step.lineSettingsIndex];
                    SaveSettings();
                    break;
            }
        });
    });
}

void TfrmModule::btnLinkClick() {
    adoptTypedPort();
    runDiscovery(Msg::LinkReader, [this]() -> std::optional<tblink::FoundReader> {
        const auto typed =
            tblink::PortNumberFromBoxText(main_->cmbPort->currentText().toStdString());
        const int port = typed.value_or(1);
        int index = main_->cmbBaudRate->currentIndex();
        if (!tblink::IsLineSettingsIndex(index)) index = tblink::kDefaultLineSettingsIndex;
        const std::string probe =
            tblink::LinkProbe(startCharacter_.front(), main_->pnID->text().toStdString());
        auto found =
            tblink::ProbePort(link_, pacer_, port, index, tblink::kLineSettingsTexts[index], probe,
                              [this](const tblink::DiscoveryStep& step) {
                                  ShowMessage(Msg::ScanCom, PortSuffix(step.port));
                              });
        if (found) {
            // Kept in the window; the store has them when the window closes.
            portNumber_ = found->port;
            lineSettingsIndex_ = found->lineSettingsIndex;
            lineSettings_ = found->lineSettings;
        }
        return found;
    });
}

void TfrmModule::ReadSettings(const tblink::FoundReader& found) {
    if (tblink::IsLineSettingsIndex(lineSettingsIndex_))
        main_->cmbBaudRate->setCurrentIndex(lineSettingsIndex_);
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    std::optional<commands::ReadOutPlan> plan;
    if (type) plan = commands::Info(*type).readOut;
    const auto readOut = commands::ReadOutAfterFind(
        link_, pacer_, found, startCharacter_.front(), plan,
        [this](const commands::FoundReadOut& reply) {
            main_->pnSerial->setText(Msg(Msg::SerialNumber) + " : " +
                                     QString::fromStdString(reply.serial));
            PumpMessages();
            if (!reply.id) return;
            readerId_ = *reply.id;
            main_->sbID->setValue(std::stoi(readerId_));
            main_->pnID->setText(QString::fromStdString(readerId_));
        },
        [&](const std::string& version) {
            main_->pnVersion->setText(Msg(Msg::Version) + " : " + QString::fromStdString(version));
            if (plan && plan->keyStatusGroup != commands::KeyStatusGroup::Leave)
                keypad_->gbKeyStatus->setVisible(plan->keyStatusGroup ==
                                                 commands::KeyStatusGroup::Show);
        });
    // No reader type selected: "V" answering still links the reader, but no page was read.
    const bool complete = type && readOut.values.version && readOut.values.complete;
    if (readOut.values.version) {
        showReadOut(readOut.values);
        linked_ = true;
        sentSinceLink_.clear();
        titleLinesSent_ = 0;
        SetBusy(false);
        SetCommLamp(kLampYellow);
    }

    const QString port = PortSuffix(portNumber_) + ")";
    if (complete) {
        ShowMessage(Msg::ReaderFindOk, port);
        Beep(kToneHighHz, kToneMs);
    } else {
        ShowMessage(Msg::ReaderDataError, port);
        SetBusy(false);
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
    }
}

// Every value the read-out got to goes into its control; the rest keep theirs.
void TfrmModule::showReadOut(const commands::ReadOutValues& values) {
    SetIfRead(command_->cmbMode, values.mode);
    SetIfRead(command_->cmbWiegand, values.wiegand);
    SetIfRead(command_->cmbRS485, values.rs485);
    SetIfRead(em_->cmbCardType, values.cardType);
    SetIfRead(keypad_->sbKeyNumber, values.keyNumber);
    SetIfRead(keypad_->cmbKeyParity, values.keyParity);
    SetIfRead(keypad_->sbKeyStatusNumber, values.keyStatusNumber);
    SetIfRead(keypad_->sbKeyDelayTime, values.keyDelaySeconds);
    SetIfRead(mifare_->sbM1IDSector, values.idSector);
    SetIfRead(mifare_->sbM1IDBlock, values.idBlock);
    SetIfRead(mifare_->sbM1IDByte, values.idByte);
    if (values.idKeyB)
        (*values.idKeyB ? mifare_->rbM1IDKeyB : mifare_->rbM1IDKeyA)->setChecked(true);
    SetIfRead(mifare_->cmbM1IDKeyErr, values.idKeyError);
}

}  // namespace app
