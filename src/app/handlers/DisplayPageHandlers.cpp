// Handlers of the function page tsDisplay: system parameters, titles, icon and messages.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

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
        {"btnLanguage", &TfrmModule::btnLanguageClick, true},
        {"btnPassword", &TfrmModule::btnPasswordClick, true},
        {"btnScreen", &TfrmModule::btnScreenClick, true},
        {"btnDateTime", &TfrmModule::btnDateTimeClick, true},
        {"btnSetTitleMode", &TfrmModule::btnSetTitleModeClick, true},
        {"btnTitleIcon", &TfrmModule::btnTitleIconClick, true},
        {"btnSetTitle1", &TfrmModule::btnSetTitle1Click, true},
        {"btnClrTitle1", &TfrmModule::btnClrTitle1Click, true},
        {"btnSetTitle2", &TfrmModule::btnSetTitle2Click, true},
        {"btnClrTitle2", &TfrmModule::btnClrTitle2Click, true},
        {"btnSmallMessage", &TfrmModule::btnSmallMessageClick, true},
        {"btnScreenMessage", &TfrmModule::btnScreenMessageClick, true},
        {"btnClrMessage", &TfrmModule::btnClrMessageClick, true},
    };
}

void TfrmModule::connectDisplayPage() {
    // What the display receives is counted in bytes of the window's current language.
    const auto language = [this] { return this->language(); };
    ForReader(display_->edPassword, DisplayPage::kPasswordBytes, language);
    ForReader(display_->edTitle1, DisplayPage::kTitleBytes, language);
    ForReader(display_->edTitle2, DisplayPage::kTitleBytes, language);
    ForReader(display_->edSmallMessage, DisplayPage::kSmallMessageBytes, language);
    ForReader(display_->edScreenMessage, DisplayPage::kScreenMessageBytes, language);
    odFile = ChooseWithDialog;
    localClock_ = [] { return QDateTime::currentDateTime(); };
}

void TfrmModule::btnLanguageClick() {
    const auto language =
        static_cast<display::DisplayLanguage>(display_->cmbLanguage->currentIndex());
    RunCommand(
        {Msg::SetLanguage, Msg::SetLanguageOk, Msg::SetLanguageError},
        [&](const commands::Session& s) { return display::SetDisplayLanguage(s, language); });
}

void TfrmModule::btnPasswordClick() {
    const std::string password = Encode(display_->edPassword->text());
    RunCommand(
        {Msg::SetPassword, Msg::SetPasswordOk, Msg::SetPasswordError},
        [&](const commands::Session& s) { return display::SetDisplayPassword(s, password); });
}

void TfrmModule::btnScreenClick() {
    const auto mode = static_cast<display::ScreenMode>(display_->cmbScreen->currentIndex());
    RunCommand({Msg::SetScreenMode, Msg::SetScreenModeOk, Msg::SetScreenModeError},
               [&](const commands::Session& s) { return display::SetScreenMode(s, mode); });
}

void TfrmModule::btnDateTimeClick() {
    // Before the hourglass and the linked check, so the time sent is the time of the click.
    const display::ClockValue clock = ClockOf(localClock_());
    const auto format = static_cast<display::HourFormat>(display_->cmbHour->currentIndex());
    RunCommand({Msg::SetTimeMode, Msg::SetTimeModeOk, Msg::SetTimeModeError},
               [&](const commands::Session& s) { return display::SetClock(s, clock, format); });
}

void TfrmModule::btnSmallMessageClick() {
    const std::string text = Encode(display_->edSmallMessage->text());
    const auto page = display::CodePageOfLanguage(language_);
    RunCommand({Msg::SetSmallMessage, Msg::SetSmallMessageOk, Msg::SetSmallMessageError},
               [&](const commands::Session& s) { return display::SetSmallMessage(s, text, page); });
}

void TfrmModule::btnScreenMessageClick() {
    const std::string text = Encode(display_->edScreenMessage->text());
    const auto page = display::CodePageOfLanguage(language_);
    RunCommand(
        {Msg::SetScreenMessage, Msg::SetScreenMessageOk, Msg::SetScreenMessageError},
        [&](const commands::Session& s) { return display::SetScreenMessage(s, text, page); });
}

void TfrmModule::btnClrMessageClick() {
    RunCommand({Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError},
               [](const commands::Session& s) { return display::ClearScreenMessage(s); });
}

void TfrmModule::btnSetTitleModeClick() {
    const auto mode = static_cast<display::TitleMode>(display_->cmbTitle->currentIndex());
    RunCommand({Msg::SetTitleMode, Msg::SetTitleModeOk, Msg::SetTitleModeError},
               [&](const commands::Session& s) { return display::SetTitleMode(s, mode); });
}

void TfrmModule::btnSetTitle1Click() {
    setTitle(display::TitleLine::First, display_->edTitle1->text());
}

void TfrmModule::btnSetTitle2Click() {
    setTitle(display::TitleLine::Second, display_->edTitle2->text());
}

void TfrmModule::btnClrTitle1Click() { clearTitle(display::TitleLine::First); }

void TfrmModule::btnClrTitle2Click() { clearTitle(display::TitleLine::Second); }

void TfrmModule::setTitle(display::TitleLine line, const QString& title) {
    const std::string text = Encode(title);
    const auto page = display::CodePageOfLanguage(language_);
    RunCommand(
        {Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError}, [&](const commands::Session& s) {
            // The list shows the mode the title is sent with, even if sending fails.
            display_->cmbTitle->setCurrentIndex(static_cast<int>(display::TitleMode::TextTitle));
            return display::SetTitle(s, line, text, page);
        });
}

void TfrmModule::clearTitle(display::TitleLine line) {
    RunCommand({Msg::SetTitle, Msg::SetTitleOk, Msg::SetTitleError},
               [&](const commands::Session& s) { return display::ClearTitle(s, line); });
}

void TfrmModule::btnTitleIconClick() {
    QString path;
    CommandSteps steps{Msg::SetIcon, Msg::SetIconOk, Msg::SetIconError};
    // Only a linked reader gets the dialog; cancelling it ends the click without a trace.
    steps.proceed = [&] {
        path = odFile(this, QDir::currentPath(), TitlePictureFilter(language_));
        return !path.isEmpty();
    };
    RunCommand(steps, [&](const commands::Session& s) {
        display_->cmbTitle->setCurrentIndex(static_cast<int>(display::TitleMode::TextAndIconTitle));
        return display::SetTitleIcon(s, [&] { return ReadTitleIcon(path); }) ==
               display::IconOutcome::Sent;
    });
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
