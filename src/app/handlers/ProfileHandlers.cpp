// File > Save reader profile... and Apply reader profile...: the linked reader read out, the
// profile written; or a profile's changes listed, applied each through its own action, read
// back and listed as changed, unchanged or failed. actions/Profile.h holds every rule.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "actions/Profile.h"
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/pages/CommandPage.h"
#include "app/pages/DisplayPage.h"
#include "app/pages/FingerprintPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTypeRow.h"
#include "commands/config/Identity.h"
#include "link/LineSettingsList.h"

namespace app {
namespace {

namespace pf = actions::profile;
using text::Msg;

// A dialog of the window: the hourglass is the window's work, not the user's choice.
int ExecWithArrow(QDialog& dialog) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = dialog.exec();
    QApplication::restoreOverrideCursor();
    return result;
}

QString ChooseProfile(QWidget* parent, const QString& filter, bool save) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setObjectName(save ? "sdProfile" : "odProfile");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const bool chosen = ExecWithArrow(dialog) == QDialog::Accepted;
    return chosen && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst()
                                                       : QString();
}

// A list of settings in a dialog; `cancel` offers a way out (the change list) or not.
bool ShowTable(QWidget* parent, const char* name, const QString& title, const QString& head,
               const QStringList& columns, const std::vector<QStringList>& rows, bool cancel) {
    QDialog dialog(parent);
    dialog.setObjectName(name);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(head, &dialog));
    auto* table =
        new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(columns.size()), &dialog);
    table->setObjectName("tblSettings");
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < columns.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[static_cast<std::size_t>(r)].value(c)));
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(
        cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return ExecWithArrow(dialog) == QDialog::Accepted;
}

QString Shown(const std::string& value, int language) {
    return value.empty() ? text::Text(Msg::NotReported, language) : QString::fromStdString(value);
}

}  // namespace

// Each setting the reader cannot report, as its controls hold it, for the actions that went
// well since the link; the profile drops those its type lacks.
std::vector<std::pair<std::string, std::string>> TfrmModule::typedSettings() const {
    using A = actions::ActionId;
    const auto index = [](const QComboBox* box) { return std::to_string(box->currentIndex()); };
    const auto words = [](const QString& text) { return text.toStdString(); };
    // A seconds box as sent: its blanks as spaces.
    const auto seconds = [](const QLineEdit* edit) {
        return edit->displayText().replace(QLatin1Char('_'), QLatin1Char(' ')).toStdString();
    };
    std::vector<std::pair<std::string, std::string>> typed;
    for (const A id : sentSinceLink_) {
        switch (id) {
            case A::SetReadMode:
                typed.push_back({"set-read-mode", index(command_->cmbResetMode)});
                break;
            case A::DisplayLanguage:
                typed.push_back({"display-language", index(display_->cmbLanguage)});
                break;
            case A::DisplayScreenMode:
                typed.push_back({"display-screen-mode", index(display_->cmbScreen)});
                break;
            case A::DisplayPassword:
                typed.push_back({"display-password", words(display_->edPassword->text())});
                break;
            case A::TitleMode:
                typed.push_back({"title-mode", index(display_->cmbTitle)});
                break;
            case A::Title:
                if (titleLinesSent_ & 1u)
                    typed.push_back({"title.1", words(display_->edTitle1->text())});
                if (titleLinesSent_ & 2u)
                    typed.push_back({"title.2", words(display_->edTitle2->text())});
                break;
            case A::StoreKey:
                typed.push_back({"store-key." + std::to_string(mifare_->sbM1E2Sector->value()),
                                 std::string(mifare_->rbM1KeyA->isChecked() ? "A" : "B") + ", " +
                                     words(mifare_->edM1Key->text())});
                break;
            case A::FacilityCode:
                typed.push_back(
                    {"facility-code", std::to_string(fingerprint_->sbFacility->value())});
                break;
            case A::ScanMode:
                typed.push_back({"scan-mode", index(fingerprint_->cmbFingerScan)});
                break;
            case A::DoorTime:
                typed.push_back({"door-time", seconds(fingerprint_->edDoorFinger)});
                break;
            case A::AlarmTime:
                typed.push_back({"alarm-time", seconds(fingerprint_->edAlarmFinger)});
                break;
            default:
                break;
        }
    }
    // The last of each name is what the controls hold now.
    std::vector<std::pair<std::string, std::string>> last;
    for (auto it = typed.rbegin(); it != typed.rend(); ++it)
        if (std::none_of(last.begin(), last.end(),
                         [&](const auto& kept) { return kept.first == it->first; }))
            last.insert(last.begin(), *it);
    return last;
}

std::optional<commands::ReadOutValues> TfrmModule::readProfileReader() {
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    if (!type) return std::nullopt;
    BusyWindow busy(*this, false);
    if (!link_.OpenPort(portNumber_, lineSettings_)) return std::nullopt;
    const commands::Session session{link_, pacer_, commandPrefix()};
    const auto values = commands::ReadOut(session, commands::Info(*type).readOut);
    link_.ClosePort();
    if (!values.version || !values.complete) return std::nullopt;
    showReadOut(values);
    return values;
}

void TfrmModule::mnuSaveProfileClick() {
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    if (!linked_ || !type) {
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return;
    }
    const QString path = ChooseProfile(this, Msg(Msg::ReaderProfiles), true);
    if (path.isEmpty()) return;
    ShowMessage(Msg::GetSettingData);
    const auto values = readProfileReader();
    if (!values) {
        ShowMessage(Msg::GetSettingDataError);
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return;
    }
    // Never the serial number; keys and passwords, the ID and line settings only when asked.
    const pf::Reader reader{*type, *values, pf::Identity{std::stoi(readerId_), lineSettingsIndex_},
                            typedSettings()};
    const QString title = Msg(Msg::MenuSaveProfile).remove('&');
    const bool secrets =
        pf::HoldsSecrets(pf::FromReader(reader, true, false)) &&
        QMessageBox::question(this, title, Msg(Msg::ProfileWithSecrets)) == QMessageBox::Yes;
    const bool identity =
        QMessageBox::question(this, title, Msg(Msg::ProfileWithIdentity)) == QMessageBox::Yes;
    const pf::Profile profile = pf::FromReader(reader, secrets, identity);
    if (const auto why = pf::Save(path, profile)) {
        QMessageBox::warning(this, title, why->in(language_));
        return;
    }
    SetCommLamp(kLampYellow);
    sbCommReceived->setText(text::Text(Msg::ProfileSaved, language_).arg(path));
}

void TfrmModule::mnuApplyProfileClick() {
    const auto type = commands::ReaderTypeAt(main_->pcReader->currentIndex());
    if (!linked_ || !type) {
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return;
    }
    const QString title = Msg(Msg::MenuApplyProfile).remove('&');
    const QString path = ChooseProfile(this, Msg(Msg::ReaderProfiles), false);
    if (path.isEmpty()) return;
    actions::Reason why;
    const auto profile = pf::Load(path, *type, why);
    if (!profile) {  // nothing sent
        QMessageBox::warning(this, title, why.in(language_));
        return;
    }
    const auto before = readProfileReader();
    if (!before) {
        SetCommLamp(kLampRed);
        Beep(kToneLowHz, kToneMs);
        return;
    }
    const pf::Identity here{std::stoi(readerId_), lineSettingsIndex_};
    const pf::Reader reader{*type, *before, here, {}};
    bool withIdentity = false;
    if (!pf::Plan(*profile, reader, true).empty() &&
        pf::Plan(*profile, reader, true).size() != pf::Plan(*profile, reader, false).size())
        withIdentity = QMessageBox::question(this, title, Msg(Msg::ProfileIdentityConfirm)) ==
                       QMessageBox::Yes;
    const auto changes = pf::Plan(*profile, reader, withIdentity);
    const QStringList columns = {Msg(Msg::ColumnSetting), Msg(Msg::ColumnNow),
                                 Msg(Msg::ColumnThen)};
    std::vector<QStringList> rows;
    for (const pf::Change& c : changes)
        rows.push_back({QString::fromStdString(c.setting.name), Shown(c.now, language_),
                        QString::fromStdString(c.then)});
    if (changes.empty()) {
        QMessageBox::information(this, title, Msg(Msg::ProfileNothingToChange));
        return;
    }
    if (!ShowTable(this, "dlgProfileChanges", title, Msg(Msg::ProfileChanges), columns, rows, true))
        return;

    const auto results = pf::Apply(
        *profile, changes,
        [this](const actions::Request& request, const pf::Setting& setting) {
            const actions::Outcome outcome = RunAction(request);
            if (outcome.ok() && setting.name == "set-id") {
                readerId_ = commands::TwoDigits(std::stoi(setting.value));
                main_->sbID->setValue(std::stoi(readerId_));
                main_->pnID->setText(QString::fromStdString(readerId_));
            }
            if (outcome.ok() && setting.name == "set-line") {
                const auto& texts = tblink::kLineSettingsTexts;
                const auto it = std::find(texts.begin(), texts.end(), setting.value);
                if (it != texts.end()) {
                    lineSettingsIndex_ = static_cast<int>(it - texts.begin());
                    lineSettings_ = *it;
                }
            }
            return outcome;
        },
        [&]() -> std::optional<pf::Reader> {
            const auto after = readProfileReader();
            if (!after) return std::nullopt;
            return pf::Reader{*type, *after, std::nullopt, {}};
        },
        language_);
    const text::Msg statusText[] = {Msg::StatusChanged, Msg::StatusUnchanged, Msg::StatusFailed,
                                    Msg::StatusNotSent};
    rows.clear();
    for (const pf::Result& r : results)
        rows.push_back({QString::fromStdString(r.name), Shown(r.now, language_),
                        QString::fromStdString(r.then),
                        Msg(statusText[static_cast<int>(r.status)])});
    ShowTable(this, "dlgProfileOutcome", title, Msg(Msg::ProfileOutcome),
              columns + QStringList{Msg(Msg::ColumnOutcome)}, rows, false);
}

}  // namespace app
