#include "app/MainArea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/ReaderTypes.h"
#include "link/LineSettingsList.h"

namespace app {
namespace {

// The reader-type row's pages and captions, from the reader-type table.
QStringList ReaderTypePageNames() {
    QStringList names;
    for (const auto& type : commands::ReaderTypes()) names << QString::fromLatin1(type.pageName);
    return names;
}

QStringList ReaderTypeCaptions() {
    QStringList captions;
    for (const auto& type : commands::ReaderTypes()) captions << QString::fromLatin1(type.caption);
    return captions;
}
// The message panel: its text with the two lamps at its right end, in one sky-blue frame.
QWidget* BuildMessageRow(QWidget* parent, MainArea& area) {
    QLabel* frame = MakePanel(parent, "pnMsgFrame", QString());
    frame->setMinimumHeight(44);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 2, 8, 2);
    row->setSpacing(8);
    area.pnMsg = MakeLabel(frame, "pnMsg", QString());
    area.pnMsg->setWordWrap(true);
    area.shCard = new Lamp(Lamp::Shape::RoundedRect, kLampWhite, frame);
    Name(area.shCard, "shCard");
    area.shCard->setFixedSize(30, 20);
    area.shComm = new Lamp(Lamp::Shape::Circle, kLampRed, frame);
    Name(area.shComm, "shComm");
    area.shComm->setFixedSize(22, 22);
    row->addWidget(area.pnMsg, 1);
    row->addWidget(area.shCard);
    row->addWidget(area.shComm);
    return frame;
}

QGridLayout* BuildReaderControls(QWidget* parent, MainArea& area) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    area.lblCom = MakeLabel(parent, "lblCom");
    area.cmbPort = MakeComboBox(parent, "cmbPort", {});
    area.cmbPort->setEditable(true);
    area.lblCom->setBuddy(area.cmbPort);
    area.btnScan = MakeButton(parent, "btnScan");
    area.btnLink = MakeButton(parent, "btnLink");
    grid->addWidget(area.lblCom, 0, 0);
    grid->addWidget(area.cmbPort, 0, 1, 1, 2);
    grid->addWidget(area.btnScan, 0, 3);
    grid->addWidget(area.btnLink, 0, 4);

    area.lblID = MakeLabel(parent, "lblID");
    area.pnID = MakeValuePanel(parent, "pnID", "01");
    area.pnID->setFixedWidth(36);
    area.sbID = MakeScrollBar(parent, "sbID", actions::kMinReaderId, actions::kMaxReaderId, 10, 1);
    area.lblID->setBuddy(area.sbID);
    area.btnID = MakeButton(parent, "btnID");
    grid->addWidget(area.lblID, 1, 0);
    grid->addWidget(area.pnID, 1, 1);
    grid->addWidget(area.sbID, 1, 2);
    grid->addWidget(area.btnID, 1, 3, 1, 2);

    QStringList lineSettings;
    for (const char* text : tblink::kLineSettingsTexts) lineSettings << text;
    area.cmbBaudRate = MakeComboBox(parent, "cmbBaudRate", lineSettings);
    area.chkLock = MakeCheckBox(parent, "chkLock");
    area.chkLock->setChecked(true);
    area.btnBaudRate = MakeButton(parent, "btnBaudRate");
    grid->addWidget(area.cmbBaudRate, 2, 0, 1, 2);
    grid->addWidget(area.chkLock, 2, 2);
    grid->addWidget(area.btnBaudRate, 2, 3, 1, 2);

    area.btnReadCard = MakeButton(parent, "btnReadCard");
    area.btnEncode = MakeButton(parent, "btnEncode");
    area.chkInvalid = MakeCheckBox(parent, "chkInvalid");
    grid->addWidget(area.btnReadCard, 3, 0, 1, 2);
    grid->addWidget(area.btnEncode, 3, 2, 1, 2);
    grid->addWidget(area.chkInvalid, 3, 4);
    grid->setColumnStretch(2, 1);
    return grid;
}

void BuildFunctionPages(QWidget* parent, MainArea& area) {
    area.gbOther = MakeGroupBox(parent, "gbOther");
    auto* column = new QVBoxLayout(area.gbOther);
    column->setContentsMargins(4, 4, 4, 4);
    area.pcOther = new QTabWidget(area.gbOther);
    Name(area.pcOther, "pcOther");
    area.pcOther->setDocumentMode(true);
    column->addWidget(area.pcOther);
    // The card technologies' pages keep their names in every language.
    const auto addPage = [&](QWidget*& page, const char* name, const char* fixedCaption) {
        page = new QWidget(area.pcOther);
        Name(page, name);
        area.pcOther->addTab(
            page, fixedCaption ? QString::fromLatin1(fixedCaption) : EnglishCaption(name));
    };
    addPage(area.tsMifare, "tsMifare", "MIFARE");
    addPage(area.tsMifareKey, "tsMifareKey", "MIFARE card key");
    addPage(area.tsEM, "tsEM", "EM/TEMIC");
    addPage(area.tsKeypad, "tsKeypad", nullptr);
    addPage(area.tsDisplay, "tsDisplay", nullptr);
    addPage(area.tsFingerprint, "tsFingerprint", nullptr);
    addPage(area.tsCommand, "tsCommand", nullptr);
}

}  // namespace

MainArea BuildMainArea(QWidget* parent) {
    MainArea area;
    area.gbType = MakeGroupBox(parent, "gbType", QString());
    auto* outer = new QVBoxLayout(parent);
    outer->setContentsMargins(4, 2, 4, 2);
    outer->addWidget(area.gbType);

    auto* column = new QVBoxLayout(area.gbType);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(6);
    area.pcReader = new ReaderTypeRow(ReaderTypePageNames(), ReaderTypeCaptions(), area.gbType);
    Name(area.pcReader, "pcReader");
    column->addWidget(area.pcReader);

    auto* top = new QHBoxLayout;
    auto* panels = new QVBoxLayout;
    panels->addWidget(BuildMessageRow(area.gbType, area));
    area.pnSerial = MakePanel(area.gbType, "pnSerial", "S/N : ________");
    area.pnVersion = MakePanel(area.gbType, "pnVersion", "VER : __.__-__");
    panels->addWidget(area.pnSerial);
    panels->addWidget(area.pnVersion);
    top->addLayout(panels, 5);
    top->addLayout(BuildReaderControls(area.gbType, area), 6);
    column->addLayout(top);

    BuildFunctionPages(area.gbType, area);
    column->addWidget(area.gbOther, 1);
    return area;
}

}  // namespace app
