// Handlers of the function page tsDisplay: system parameters, titles, icon and messages.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "app/TfrmModule.h"
#include "app/pages/DisplayPage.h"
#include "app/widgets/IconCanvas.h"
#include "app/widgets/PictureFilter.h"
#include "app/widgets/ReaderTextValidator.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/SystemParameters.h"
#include "pictures/PictureIcon.h"

namespace app {

using text::Msg;
namespace display = commands::display;

namespace {

QString ChooseWithDialog(QWidget* parent, const QString& directory, const QString& filter) {
    QFileDialog dialog(parent, QString(), directory, filter);
    dialog.setObjectName("odFile");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The hourglass belongs to the window's work, not to choosing a file.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    QApplication::restoreOverrideCursor();
    return chosen ? dialog.selectedFiles().constFirst() : QString();
}

display::ClockValue ClockOf(const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

}  // namespace

std::vector<ButtonBinding> TfrmModule::displayPageButtons() {
    return {
        {"btnLanguage", &TfrmModule::btnLanguageClick},
        {"btnPassword", &TfrmModule::btnPasswordClick},
        {"btnScreen", &TfrmModule::btnScreenClick},
        {"btnDateTime", &TfrmModule::btnDateTimeClick},
        {"btnSetTitleMode", &TfrmModule::btnSetTitleModeClick},
        {"btnTitleIcon", &TfrmModule::btnTitleIconClick},
        {"btnSetTitle1", &TfrmModule::btnSetTitle1Click},
        {"btnClrTitle1", &TfrmModule::btnClrTitle1Click},
        {"btnSetTitle2", &TfrmModule::btnSetTitle2Click},
        {"btnClrTitle2", &TfrmModule::btnClrTitle2Click},
        {"btnSmallMessage", &TfrmModule::btnSmallMessageClick},
        {"btnScreenMessage", &TfrmModule::btnScreenMessageClick},
        {"btnClrMessage", &TfrmModule::btnClrMessageClick},
    };
}

void TfrmModule::connectDisplayPage() {
    // What the display receives is counted in bytes of the window's current language.
    const auto language = [this] { return this->language(); };
    ForReader(display_->edPassword, actions::kPasswordBytes, language);
    ForReader(display_->edTitle1, actions::kTitleBytes, language);
    ForReader(display_->edTitle2, actions::kTitleBytes, language);
    ForReader(display_->edSmallMessage, actions::kSmallMessageBytes, language);
    ForReader(display_->edScreenMessage, actions::kScreenMessageBytes, language);
    odFile = ChooseWithDialog;
    localClock_ = [] { return QDateTime::currentDateTime(); };
}

void TfrmModule::btnLanguageClick() {
    RunAction(actions::DisplayLanguage(
        static_cast<display::DisplayLanguage>(display_->cmbLanguage->currentIndex())));
}

void TfrmModule::btnPasswordClick() {
    RunAction(actions::DisplayPassword(typed(display_->edPassword)));
}

void TfrmModule::btnScreenClick() {
    RunAction(actions::DisplayScreenMode(
        static_cast<display::ScreenMode>(display_->cmbScreen->currentIndex())));
}

void TfrmModule::btnDateTimeClick() {
    // Before the hourglass and the linked check, so the time sent is the time of the click.
    const display::ClockValue clock = ClockOf(localClock_());
    const auto format = static_cast<display::HourFormat>(display_->cmbHour->currentIndex());
    RunAction(actions::DisplayClock(clock, format));
}

void TfrmModule::btnSmallMessageClick() {
    RunAction(actions::SmallMessage(typed(display_->edSmallMessage)));
}

void TfrmModule::btnScreenMessageClick() {
    RunAction(actions::ScreenMessage(typed(display_->edScreenMessage)));
}

void TfrmModule::btnClrMessageClick() { RunAction(actions::ClearScreenMessage()); }

void TfrmModule::btnSetTitleModeClick() {
    RunAction(
        actions::TitleMode(static_cast<display::TitleMode>(display_->cmbTitle->currentIndex())));
}

void TfrmModule::btnSetTitle1Click() { setTitle(display::TitleLine::First, display_->edTitle1); }

void TfrmModule::btnSetTitle2Click() { setTitle(display::TitleLine::Second, display_->edTitle2); }

void TfrmModule::btnClrTitle1Click() { clearTitle(display::TitleLine::First); }

void TfrmModule::btnClrTitle2Click() { clearTitle(display::TitleLine::Second); }

void TfrmModule::setTitle(display::TitleLine line, const QLineEdit* title) {
    actions::Request request = actions::Title(line, typed(title));
    request.wrap([this](const commands::Session& s, const actions::Request::Run& send) {
        // The list shows the mode the title is sent with, even if sending fails.
        display_->cmbTitle->setCurrentIndex(static_cast<int>(display::TitleMode::TextTitle));
        return send(s);
    });
    if (RunAction(request).ok()) titleLinesSent_ |= 1u << static_cast<unsigned>(line);
}

void TfrmModule::clearTitle(display::TitleLine line) { RunAction(actions::ClearTitle(line)); }

void TfrmModule::btnTitleIconClick() {
    QString path;
    actions::Request request = actions::TitleIcon([&] { return ReadTitleIcon(path); });
    // Only a linked reader gets the dialog; cancelling it ends the click without a trace.
    request.proceed = [&] {
        path = odFile(this, QDir::currentPath(), TitlePictureFilter(language_));
        return !path.isEmpty();
    };
    request.wrap([this](const commands::Session& s, const actions::Request::Run& send) {
        display_->cmbTitle->setCurrentIndex(static_cast<int>(display::TitleMode::TextAndIconTitle));
        return send(s);
    });
    RunAction(request);
}

std::optional<display::IconBitmap> TfrmModule::ReadTitleIcon(const QString& path) {
    const auto read = pictures::ReadTitlePicture(path);
    if (const auto* problem = std::get_if<pictures::IconProblem>(&read)) {
        const text::Msg why = *problem == pictures::IconProblem::NotAPicture ? Msg::NotAPictureFile
                                                                             : Msg::CannotOpenFile;
        sbCommReceived->setText(Msg(why) + " " + QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    const auto& icon = std::get<display::IconBitmap>(read);
    display_->imgTitle->drawIcon([&](int x, int y) { return icon.dark(x, y); });
    return icon;
}

}  // namespace app
