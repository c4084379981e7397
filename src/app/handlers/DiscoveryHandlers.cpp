// Finding the reader (Scan, Link) and reading out its settings.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

#include "app/TfrmModule.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/config/ReadOut.h"
#include "commands/config/ReplyChecks.h"
#include "link/LineSettingsList.h"
#include "link/PortList.h"
#include "link/ReplyFields.h"

namespace app {
namespace {

using text::Msg;

constexpr int kQuickTryAttempts = 3;
constexpr int kWalkAttempts = 2;
constexpr int kVersionAttempts = 2;

// Reader-type pages, in the order of the reader-type row.
enum ReaderType { PX10, PX40, PX30M, PX40M, PX50, PX50M, PX60, PX60M };

bool ShowsCardType(int type) {
    return type == PX10 || type == PX40 || type == PX50 || type == PX60;
}
bool HasKeypadReadOut(int type) { return type == PX40 || type == PX40M; }
bool HasCardIdLocation(int type) { return type == PX30M || type == PX40M; }

QString PortSuffix(int port) { return QString(" : #%1").arg(port); }

}  // namespace

bool TfrmModule::probeReader(const std::string& probe) {
    return link_.Transact(probe) == 1 && link_.ReplyLength() == commands::kSerialReplyLength;
}

void TfrmModule::startDiscovery(text::Msg startText) {
    SetBusy(true);
    ShowMessage(startText, " ....");
    main_.pnSerial->setText(Msg(Msg::SerialNumber) + " : ________");
    main_.pnVersion->setText(Msg(Msg::Version) + " : __.__-__");
    PumpMessages();
    linked_ = false;
}

void TfrmModule::reportReaderNotFound() {
    main_.cmbBaudRate->setCurrentIndex(tblink::kDefaultLineSettingsIndex);
    ShowMessage(Msg::ReaderNotFind);
    SetBusy(false);
    SetCommLamp(kLampRed);
    Beep(kToneLowHz, kToneMs);
}

bool TfrmModule::probeAfterPauses(int port, const std::string& settings, const std::string& probe) {
    if (!link_.OpenPort(port, settings)) return false;
    ShowMessage(Msg::ScanCom, PortSuffix(port));
    PumpMessages();
    bool found = false;
    for (int attempt = 0; attempt < kQuickTryAttempts && !found; ++attempt) {
        PumpWait(100);
        PumpMessages();
        found = probeReader(probe);
    }
    link_.ClosePort();
    return found;
}

bool TfrmModule::quickTry(const std::string& probe) {
    if (portNumber_ <= 0) return false;
    main_.cmbPort->setEditText(QString("COM%1").arg(portNumber_));
    main_.cmbBaudRate->setCurrentIndex(lineSettingsIndex_);
    return probeAfterPauses(portNumber_, lineSettings_, probe);
}

bool TfrmModule::walkPorts(const std::string& probe) {
    for (int item = 0; item < main_.cmbPort->count(); ++item) {
        main_.cmbPort->setCurrentIndex(item);
        PumpMessages();
        // A map entry that names no COM number cannot be opened by number: skip it.
        const auto port = tblink::PortNumberFromBoxText(main_.cmbPort->currentText().toStdString());
        if (!port) continue;
        for (int j = 0; j < tblink::kScannedLineSettingsCount; ++j) {
            if (main_.chkLock->isChecked()) j = lineSettingsIndex_;
            main_.cmbBaudRate->setCurrentIndex(j);
            const std::string settings = tblink::kLineSettingsTexts[j];
            if (!link_.OpenPort(*port, settings)) break;
            ShowMessage(Msg::ScanCom, PortSuffix(*port));
            bool found = false;
            for (int attempt = 0; attempt < kWalkAttempts && !found; ++attempt) {
                SleepWithoutPumping(50);
                found = probeReader(probe);
            }
            if (found) {
                portNumber_ = *port;
                lineSettings_ = settings;
                lineSettingsIndex_ = j;
                SaveSettings();
            }
            link_.ClosePort();
            if (found) return true;
            if (main_.chkLock->isChecked()) break;
        }
    }
    return false;
}

void TfrmModule::runDiscovery(text::Msg startText, const std::function<bool()>& find) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++commandDepth_;
    startDiscovery(startText);
    try {
        if (find() && link_.ReplyLength() == commands::kSerialReplyLength)
            ReadSettings();
        else
            reportReaderNotFound();
    } catch (...) {
        link_.ClosePort();
        reportReaderNotFound();
    }
    --commandDepth_;
    QApplication::restoreOverrideCursor();
}

void TfrmModule::btnScanClick() {
    const std::string probe = startCharacter_ + "00B";
    runDiscovery(Msg::ScanReader, [&] { return quickTry(probe) || walkPorts(probe); });
}

void TfrmModule::btnLinkClick() {
    runDiscovery(Msg::LinkReader, [&] {
        const auto typed =
            tblink::PortNumberFromBoxText(main_.cmbPort->currentText().toStdString());
        const int port = typed.value_or(1);
        int index = main_.cmbBaudRate->currentIndex();
        if (!tblink::IsLineSettingsIndex(index)) index = tblink::kDefaultLineSettingsIndex;
        const std::string settings = tblink::kLineSettingsTexts[index];
        const std::string probe = startCharacter_ + main_.pnID->text().toStdString() + "B";
        if (!probeAfterPauses(port, settings, probe)) return false;
        // Kept in the window; the store has them when the window closes.
        portNumber_ = port;
        lineSettingsIndex_ = index;
        lineSettings_ = settings;
        return true;
    });
}

void TfrmModule::ReadSettings() {
    if (tblink::IsLineSettingsIndex(lineSettingsIndex_))
        main_.cmbBaudRate->setCurrentIndex(lineSettingsIndex_);
    const std::string reply = link_.ReplyText();
    main_.pnSerial->setText(Msg(Msg::SerialNumber) + " : " +
                            QString::fromStdString(tblink::ReplyField(reply, 6, 8)));
    PumpMessages();

    bool mark = false;
    const auto id = commands::DecimalField(reply, 3, 2);
    // A reply without a two-digit ID cannot address the reader: nothing more is sent.
    if (id) {
        readerId_ = tblink::ReplyField(reply, 3, 2);
        main_.pnID->setText(QString::fromStdString(readerId_));
        main_.sbID->setValue(*id);
        if (link_.OpenPort(portNumber_, lineSettings_)) {
            bool version = false;
            for (int attempt = 0; attempt < kVersionAttempts && !version; ++attempt) {
                PumpWait(100);
                PumpMessages();
                version = link_.Transact(commandPrefix() + "V") == 1;
            }
            if (version) {
                const std::string text =
                    commands::VersionText(link_.ReplyText(), link_.ReplyLength());
                main_.pnVersion->setText(Msg(Msg::Version) + " : " + QString::fromStdString(text));
                PumpMessages();
                mark = readPageSettings();
                linked_ = true;
                SetBusy(false);
                SetCommLamp(kLampYellow);
            }
            link_.ClosePort();
        }
    }

    const QString port = PortSuffix(portNumber_) + ")";
    if (mark) {
        ShowMessage(Msg::ReaderFindOk, port);
        Beep(kToneHighHz, kToneMs);
    } else {
        ShowMessage(Msg::ReaderDataError, port);
        SetBusy(false);
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
    }
}

bool TfrmModule::readOutCommand(const char* command) {
    SleepWithoutPumping(50);
    const bool ok = link_.Transact(commandPrefix() + command) == 1;
    PumpMessages();
    return ok;
}

bool TfrmModule::readPageSettings() {
    const int type = main_.pcReader->currentIndex();
    if (type < 0) return true;  // no reader type: nothing to read
    if (type == PX40) keypad_.gbKeyStatus->setVisible(false);
    if (type == PX40M || type == PX50 || type == PX50M) keypad_.gbKeyStatus->setVisible(true);

    if (!readOutCommand("A")) return false;
    const auto output =
        commands::DecodeOutputReply(link_.ReplyText(), link_.ReplyLength(), type == PX10);
    if (!output) return false;
    command_.cmbMode->setCurrentIndex(output->interface.mode);
    command_.cmbWiegand->setCurrentIndex(output->interface.wiegand);
    command_.cmbRS485->setCurrentIndex(output->interface.rs485);
    if (ShowsCardType(type)) em_.cmbCardType->setCurrentIndex(output->cardType);

    if (HasKeypadReadOut(type)) {
        if (readOutCommand("L")) {
            const auto number = commands::DecodeKeyNumber(link_.ReplyText());
            if (!number) return false;
            keypad_.sbKeyNumber->setValue(*number);
        }
        if (readOutCommand("M")) {
            const auto parity = commands::DecodeKeyParity(link_.ReplyText());
            if (!parity) return false;
            keypad_.cmbKeyParity->setCurrentIndex(*parity);
        } else {
            keypad_.cmbKeyParity->setCurrentIndex(1);  // "With Parity"
        }
    }
    if (type == PX40M) {
        commands::KeyStatus status;  // 0 and 3 s when the reader does not say
        if (readOutCommand("N")) {
            const auto read = commands::DecodeKeyStatus(link_.ReplyText());
            if (!read) return false;
            status = *read;
        }
        keypad_.sbKeyStatusNumber->setValue(status.keyNumber);
        keypad_.sbKeyDelayTime->setValue(status.delaySeconds);
    }
    if (HasCardIdLocation(type)) {
        commands::CardIdLocation location;  // sector 0, block 0, byte 0, Key A, "LED"
        if (readOutCommand("a")) {
            const auto read = commands::DecodeCardIdLocation(link_.ReplyText());
            if (!read) return false;
            location = *read;
        }
        mifare_.sbM1IDSector->setValue(location.sector);
        mifare_.sbM1IDBlock->setValue(location.block);
        mifare_.sbM1IDByte->setValue(location.byte);
        (location.keyB ? mifare_.rbM1IDKeyB : mifare_.rbM1IDKeyA)->setChecked(true);
        mifare_.cmbM1IDKeyErr->setCurrentIndex(location.keyError);
    }
    return true;
}

}  // namespace app
