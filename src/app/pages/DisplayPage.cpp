#include "app/pages/DisplayPage.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "app/widgets/IconCanvas.h"

namespace app {
namespace {

// The picture of the three clear buttons: a red cross.
QIcon ClearPicture() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return QIcon(picture);
}

QPushButton* MakeClearButton(QWidget* parent, const char* name) {
    QPushButton* button = MakeButton(parent, name);
    button->setIcon(ClearPicture());
    button->setFixedWidth(32);
    return button;
}

void BuildSystemGroup(QWidget* page, DisplayPage& display) {
    display.gbDisplaySystem = MakeGroupBox(page, "gbDisplaySystem");
    QGroupBox* group = display.gbDisplaySystem;
    QGridLayout* grid = CompactGrid(group);

    // The display's own languages, not the window's: never translated.
    display.cmbLanguage = MakeComboBox(group, "cmbLanguage",
                                       {"English", "Traditional Chinese", "Simplified Chinese"});
    display.btnLanguage = MakeButton(group, "btnLanguage");
    grid->addWidget(display.cmbLanguage, 0, 0, 1, 2);
    grid->addWidget(display.btnLanguage, 0, 2);

    display.lblPassword = MakeLabel(group, "lblPassword");
    display.edPassword = MakeEdit(group, "edPassword", "5831", actions::kPasswordBytes);
    display.lblPassword->setBuddy(display.edPassword);
    display.btnPassword = MakeButton(group, "btnPassword");
    grid->addWidget(display.lblPassword, 1, 0);
    grid->addWidget(display.edPassword, 1, 1);
    grid->addWidget(display.btnPassword, 1, 2);

    display.cmbScreen = MakeComboBox(group, "cmbScreen", {"Date/Time", "Time"});
    display.btnScreen = MakeButton(group, "btnScreen");
    grid->addWidget(display.cmbScreen, 2, 0, 1, 2);
    grid->addWidget(display.btnScreen, 2, 2);

    display.cmbHour = MakeComboBox(group, "cmbHour", {"12H", "24H"});
    display.btnDateTime = MakeButton(group, "btnDateTime");
    grid->addWidget(display.cmbHour, 3, 0, 1, 2);
    grid->addWidget(display.btnDateTime, 3, 2);

    grid->setColumnStretch(1, 1);
}

void BuildTitleGroup(QWidget* page, DisplayPage& display) {
    display.gbDisplayTitle = MakeGroupBox(page, "gbDisplayTitle");
    QGroupBox* group = display.gbDisplayTitle;
    QGridLayout* grid = CompactGrid(group);

    display.cmbTitle =
        MakeComboBox(group, "cmbTitle", {"No Title", "Text Title", "Text & Icon Title"});
    display.btnSetTitleMode = MakeButton(group, "btnSetTitleMode");
    grid->addWidget(display.cmbTitle, 0, 0);
    grid->addWidget(display.btnSetTitleMode, 0, 1, 1, 2);

    display.edTitle1 = MakeEdit(group, "edTitle1", "KORVA Technology", actions::kTitleBytes);
    display.btnSetTitle1 = MakeButton(group, "btnSetTitle1");
    display.btnClrTitle1 = MakeClearButton(group, "btnClrTitle1");
    grid->addWidget(display.edTitle1, 1, 0);
    grid->addWidget(display.btnSetTitle1, 1, 1);
    grid->addWidget(display.btnClrTitle1, 1, 2);

    display.edTitle2 = MakeEdit(group, "edTitle2", "Office", actions::kTitleBytes);
    display.btnSetTitle2 = MakeButton(group, "btnSetTitle2");
    display.btnClrTitle2 = MakeClearButton(group, "btnClrTitle2");
    grid->addWidget(display.edTitle2, 2, 0);
    grid->addWidget(display.btnSetTitle2, 2, 1);
    grid->addWidget(display.btnClrTitle2, 2, 2);

    // The icon preview sits in a plain single-line frame that fits it exactly.
    display.pnIcon = new QFrame(group);
    Name(display.pnIcon, "pnIcon");
    display.pnIcon->setFrameStyle(QFrame::Box | QFrame::Plain);
    display.pnIcon->setLineWidth(1);
    auto* frame = new QHBoxLayout(display.pnIcon);
    frame->setContentsMargins(1, 1, 1, 1);
    display.imgTitle = new IconCanvas(display.pnIcon);
    Name(display.imgTitle, "imgTitle");
    frame->addWidget(display.imgTitle);
    display.pnIcon->setFixedSize(IconCanvas::kWidth + 2, IconCanvas::kHeight + 2);
    display.btnTitleIcon = MakeButton(group, "btnTitleIcon");
    grid->addWidget(display.pnIcon, 3, 0, 1, 3, Qt::AlignLeft);
    grid->addWidget(display.btnTitleIcon, 4, 1, 1, 2);

    grid->setColumnStretch(0, 1);
}

void BuildMessageGroup(QWidget* page, DisplayPage& display) {
    display.gbSmallMessage = MakeGroupBox(page, "gbSmallMessage");
    QGroupBox* group = display.gbSmallMessage;
    QGridLayout* grid = CompactGrid(group);

    display.edSmallMessage =
        MakeEdit(group, "edSmallMessage", "Hello!", actions::kSmallMessageBytes);
    display.btnSmallMessage = MakeButton(group, "btnSmallMessage");
    grid->addWidget(display.edSmallMessage, 0, 0);
    grid->addWidget(display.btnSmallMessage, 0, 1);

    display.edScreenMessage =
        MakeEdit(group, "edScreenMessage", "Welcome", actions::kScreenMessageBytes);
    display.btnScreenMessage = MakeButton(group, "btnScreenMessage");
    display.btnClrMessage = MakeClearButton(group, "btnClrMessage");
    grid->addWidget(display.edScreenMessage, 1, 0);
    grid->addWidget(display.btnScreenMessage, 1, 1);
    grid->addWidget(display.btnClrMessage, 1, 2);

    grid->setColumnStretch(0, 1);
}

}  // namespace

DisplayPage BuildDisplayPage(QWidget* page) {
    DisplayPage display;
    BuildSystemGroup(page, display);
    BuildTitleGroup(page, display);
    BuildMessageGroup(page, display);

    // System parameters above the messages on the left, the title line on the right.
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(4);
    grid->addWidget(display.gbDisplaySystem, 0, 0);
    grid->addWidget(display.gbSmallMessage, 1, 0);
    grid->addWidget(display.gbDisplayTitle, 0, 1, 2, 1, Qt::AlignTop);
    grid->setRowStretch(2, 1);
    return display;
}

}  // namespace app
