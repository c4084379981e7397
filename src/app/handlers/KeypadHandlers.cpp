// Handlers of the function page: signal connections and event handlers.
#include <QLabel>
#include <QScrollBar>

#include "app/TfrmModule.h"

namespace app {
namespace {

void ShowTwoDigits(QLabel* panel, const QScrollBar* bar) {
    panel->setText(QString::asprintf("%02d", bar->value()));
}

}  // namespace

void TfrmModule::connectKeypadPage() {
    // valueChanged also fires when a reply sets the position, so the panel always follows.
    connect(keypad_.sbKeyNumber, &QScrollBar::valueChanged, this, &TfrmModule::sbKeyNumberChange);
    connect(keypad_.sbKeyStatusNumber, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyStatusNumberChange);
    connect(keypad_.sbKeyDelayTime, &QScrollBar::valueChanged, this,
            &TfrmModule::sbKeyDelayTimeChange);
}

void TfrmModule::sbKeyNumberChange() { ShowTwoDigits(keypad_.pnKeyNumber, keypad_.sbKeyNumber); }

void TfrmModule::sbKeyStatusNumberChange() {
    ShowTwoDigits(keypad_.pnKeyStatusNumber, keypad_.sbKeyStatusNumber);
}

void TfrmModule::sbKeyDelayTimeChange() {
    ShowTwoDigits(keypad_.pnKeyDelayTime, keypad_.sbKeyDelayTime);
}

}  // namespace app
