// Handlers of the function page tsFingerprint: enrolment, IDs, templates, stand-alone mode.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>

#include "app/Controls.h"
#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/pages/FingerprintPage.h"
#include "app/widgets/Lamp.h"
#include "app/widgets/ReaderTextValidator.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/fingerprint/TemplateFile.h"
#include "commands/fingerprint/Templates.h"
#include "platform/CodePage.h"

namespace app {

using text::Msg;
namespace fp = commands::fingerprint;

namespace {

Msg ProblemText(fp::TemplateFileProblem problem) {
    switch (problem) {
        case fp::TemplateFileProblem::BadFingerNumber:
            return Msg::TemplateFileBadFingerNo;
        case fp::TemplateFileProblem::BadPart:
            return Msg::TemplateFileBadPart;
        case fp::TemplateFileProblem::PartTooLong:
            return Msg::TemplateFilePartTooLong;
        case fp::TemplateFileProblem::None:
        case fp::TemplateFileProblem::NotTemplateFile:
            break;
    }
    return Msg::TemplateFileNotTemplate;
}

// A seconds box as the user sees it, its blanks as spaces: QLineEdit::text() would drop blanks
// inside the digits too, and "1_2_" must not go out as "12".
QString MaskedText(const QLineEdit* edit) {
    return edit->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }
QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), text.size()); }

}  // namespace

std::vector<ButtonBinding> TfrmModule::fingerprintPageButtons() {
    return {
        {"btnFingerFacility", &TfrmModule::btnFingerFacilityClick, true},
        {"btnAddFinger", &TfrmModule::btnAddFingerClick, true},
        {"btnDelFinger", &TfrmModule::btnDelFingerClick, true},
        {"btnGetFingerID", &TfrmModule::btnGetFingerIDClick, true},
        {"btnSetFingerID", &TfrmModule::btnSetFingerIDClick, true},
        {"btnFingerScan", &TfrmModule::btnFingerScanClick, true},
        {"btnGetTemplate", &TfrmModule::btnGetTemplateClick, true},
        {"btnPutTemplate", &TfrmModule::btnPutTemplateClick, true},
        {"btnStandFinger", &TfrmModule::btnStandFingerClick, true},
        {"btnDoorFinger", &TfrmModule::btnDoorFingerClick, true},
        {"btnAlarmFinger", &TfrmModule::btnAlarmFingerClick, true},
        {"btnSetCardFinger", &TfrmModule::btnSetCardFingerClick, true},
        {"btnDuressFinger", &TfrmModule::btnDuressFingerClick, true},
        {"btnClrCardFinger", &TfrmModule::btnClrCardFingerClick, true},
        {"btnStandFingerDefault", &TfrmModule::btnStandFingerDefaultClick, true},
    };
}

void TfrmModule::connectFingerprintPage() {
    connect(fingerprint_->sbFacility, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFacilityChange);
    connect(fingerprint_->sbFingerNo, &QScrollBar::valueChanged, this,
            &TfrmModule::sbFingerNoChange);
    // Not reader commands: they work without a link.
    connect(fingerprint_->btnSaveTemplate, &QPushButton::clicked, this,
            &TfrmModule::btnSaveTemplateClick);
    connect(fingerprint_->btnLoadTemplate, &QPushButton::clicked, this,
            &TfrmModule::btnLoadTemplateClick);

    const auto language = [this] { return this->language(); };
    ForReader(fingerprint_->edCard, FingerprintPage::kFingerprintIdBytes, language);
    ForReader(fingerprint_->edF1, FingerprintPage::kTemplatePartBytes, language);
    for (QLineEdit* part : {fingerprint_->edF2, fingerprint_->edF3})
        ForReader(part, ReaderTextValidator::kNoByteLimit, language);

    templatePath_ = [this](bool saving) {
        const QString filter =
            Msg(Msg::FingerprintTemplates) + " (*.fpt);;" + Msg(Msg::AllFiles) + " (*)";
        const QString title = Msg(saving ? Msg::SaveTemplate : Msg::LoadTemplate);
        return saving ? QFileDialog::getSaveFileName(this, title, QDir::currentPath(), filter)
                      : QFileDialog::getOpenFileName(this, title, QDir::currentPath(), filter);
    };
}

void TfrmModule::setTemplatePathChooser(TemplatePathChooser chooser) {
    templatePath_ = std::move(chooser);
}

// The facility code goes out as the panel shows it: five digits.
void TfrmModule::sbFacilityChange() {
    ShowPosition(fingerprint_->pnFacility, fingerprint_->sbFacility, "%05d");
}

// The finger number is the panel's six digits, for enrolment, ID and template alike.
void TfrmModule::sbFingerNoChange() {
    ShowPosition(fingerprint_->pnFingerNo, fingerprint_->sbFingerNo, "%06d");
}

std::string TfrmModule::fingerNumber() const {
    return fingerprint_->pnFingerNo->text().trimmed().toStdString();
}

void TfrmModule::showOutcome(bool ok, text::Msg msg, const QString& suffix) {
    SetCommLamp(ok ? kLampYellow : kLampRed);
    ShowMessage(msg, suffix);
    Beep(ok ? kToneHighHz : kToneLowHz, kToneMs);
}

void TfrmModule::btnFingerFacilityClick() {
    const std::string code = fingerprint_->pnFacility->text().toStdString();
    RunCommand({Msg::SetFacilityCode, Msg::SetFacilityCodeOk, Msg::SetFacilityCodeError},
               [&](const commands::Session& s) { return fp::SetFacilityCode(s, code); });
}

void TfrmModule::btnAddFingerClick() {
    const std::string finger = fingerNumber();
    RunCommand({Msg::AddFingerprint, Msg::AddFingerprintOk, Msg::AddFingerprintError},
               [&](const commands::Session& s) { return fp::AddFingerprint(s, finger); });
}

void TfrmModule::btnDelFingerClick() {
    const std::string finger = fingerNumber();
    RunCommand({Msg::DelFingerprint, Msg::DelFingerprintOk, Msg::DelFingerprintError},
               [&](const commands::Session& s) { return fp::DeleteFingerprint(s, finger); });
}

void TfrmModule::btnGetFingerIDClick() {
    const std::string finger = fingerNumber();
    std::optional<std::string> id;
    const bool got =
        RunCommand({Msg::GetFingerprintId, Msg::GetFingerprintIdOk, Msg::GetFingerprintIdError},
                   [&](const commands::Session& s) {
                       id = fp::GetFingerprintId(s, finger);
                       return id.has_value();
                   });
    if (got) fingerprint_->edCard->setText(platform::DecodeText(*id, language_));
}

void TfrmModule::btnSetFingerIDClick() {
    const std::string finger = fingerNumber();
    const std::string id = Encode(fingerprint_->edCard->text());
    RunCommand({Msg::SetFingerprintId, Msg::SetFingerprintIdOk, Msg::SetFingerprintIdError},
               [&](const commands::Session& s) { return fp::SetFingerprintId(s, finger, id); });
}

void TfrmModule::btnFingerScanClick() {
    const int mode = fingerprint_->cmbFingerScan->currentIndex();
    RunCommand({Msg::SetFingerprintScanMode, Msg::SetFingerprintScanModeOk,
                Msg::SetFingerprintScanModeError},
               [&](const commands::Session& s) { return fp::SetScanMode(s, mode); });
}

// Parts received before a failure stay in their boxes; the others keep what they had.
void TfrmModule::btnGetTemplateClick() {
    const std::string finger = fingerNumber();
    fp::TemplateGet got;
    RunCommand({Msg::GetTemplateData, Msg::GetTemplateDataOk, Msg::GetTemplateDataError},
               [&](const commands::Session& s) {
                   got = fp::GetTemplate(s, finger);
                   return got.ok;
               });
    QLineEdit* const boxes[] = {fingerprint_->edF1, fingerprint_->edF2, fingerprint_->edF3};
    for (std::size_t part = 0; part < got.parts.size(); ++part) {
        if (got.parts[part])
            boxes[part]->setText(platform::DecodeText(*got.parts[part], language_));
    }
}

void TfrmModule::btnPutTemplateClick() {
    const std::string finger = fingerNumber();
    const fp::TemplateParts parts = {Encode(fingerprint_->edF1->text()),
                                     Encode(fingerprint_->edF2->text()),
                                     Encode(fingerprint_->edF3->text())};
    RunCommand({Msg::SetTemplateData, Msg::SetTemplateDataOk, Msg::SetTemplateDataError},
               [&](const commands::Session& s) {
                   return fp::PutTemplate(s, finger, parts) == fp::TemplatePut::Written;
               });
}

void TfrmModule::btnSaveTemplateClick() {
    const fp::TemplateFile file{fingerNumber(),
                                {Utf8(fingerprint_->edF1->text()), Utf8(fingerprint_->edF2->text()),
                                 Utf8(fingerprint_->edF3->text())}};
    if (const auto problem = fp::CheckTemplateFile(file);
        problem != fp::TemplateFileProblem::None) {
        showOutcome(false, Msg::SaveTemplateError, " " + Msg(ProblemText(problem)));
        return;
    }
    const QString path = templatePath_ ? templatePath_(true) : QString();
    if (path.isEmpty()) return;  // cancelled: nothing to report

    const std::string text = fp::FormatTemplateFile(file);
    QSaveFile out(path);
    const bool saved = out.open(QIODevice::WriteOnly) &&
                       out.write(text.data(), static_cast<qint64>(text.size())) ==
                           static_cast<qint64>(text.size()) &&
                       out.commit();
    if (saved) {
        showOutcome(true, Msg::SaveTemplateOk);
    } else {
        showOutcome(false, Msg::SaveTemplateError, " " + Msg(Msg::TemplateFileUnwritable));
    }
}

// A file that is not a template file changes nothing.
void TfrmModule::btnLoadTemplateClick() {
    const QString path = templatePath_ ? templatePath_(false) : QString();
    if (path.isEmpty()) return;

    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        showOutcome(false, Msg::LoadTemplateError, " " + Msg(Msg::TemplateFileUnreadable));
        return;
    }
    // One byte more than a template file may have tells a larger file from a whole one.
    const QByteArray bytes = in.read(static_cast<qint64>(fp::kMaxTemplateFileBytes) + 1);
    const fp::TemplateFileRead read =
        fp::ParseTemplateFile(std::string_view(bytes.constData(), bytes.size()));
    if (!read.file) {
        showOutcome(false, Msg::LoadTemplateError, " " + Msg(ProblemText(read.problem)));
        return;
    }
    fingerprint_->sbFingerNo->setValue(std::stoi(read.file->fingerNumber));
    QLineEdit* const boxes[] = {fingerprint_->edF1, fingerprint_->edF2, fingerprint_->edF3};
    for (std::size_t part = 0; part < read.file->parts.size(); ++part) {
        boxes[part]->setText(FromUtf8(read.file->parts[part]));
        boxes[part]->setCursorPosition(0);
    }
    showOutcome(true, Msg::LoadTemplateOk);
}

void TfrmModule::btnStandFingerClick() {
    const bool set =
        RunCommand({Msg::SetStandAloneMode, Msg::SetStandAloneModeOk, Msg::SetStandAloneModeError},
                   [](const commands::Session& s) { return fp::SetStandAloneMode(s); });
    // Once shown, the settings stay for the life of the window.
    if (set) {
        for (QWidget* control : fingerprint_->standAloneSettings()) control->show();
    }
}

void TfrmModule::btnDoorFingerClick() {
    const std::string seconds = Encode(MaskedText(fingerprint_->edDoorFinger));
    RunCommand({Msg::SetDoorTime, Msg::SetDoorTimeOk, Msg::SetDoorTimeError},
               [&](const commands::Session& s) { return fp::SetDoorTime(s, seconds); });
}

void TfrmModule::btnAlarmFingerClick() {
    const std::string seconds = Encode(MaskedText(fingerprint_->edAlarmFinger));
    RunCommand({Msg::SetAlarmTime, Msg::SetAlarmTimeOk, Msg::SetAlarmTimeError},
               [&](const commands::Session& s) { return fp::SetAlarmTime(s, seconds); });
}

void TfrmModule::btnSetCardFingerClick() {
    RunCommand({Msg::SetAddCard, Msg::SetAddCardOk, Msg::SetAddCardError},
               [](const commands::Session& s) { return fp::SetAddCard(s); });
}

void TfrmModule::btnDuressFingerClick() {
    RunCommand({Msg::SetDuressCard, Msg::SetDuressCardOk, Msg::SetDuressCardError},
               [](const commands::Session& s) { return fp::SetDuressCard(s); });
}

void TfrmModule::btnClrCardFingerClick() {
    RunCommand({Msg::SetClearCard, Msg::SetClearCardOk, Msg::SetClearCardError},
               [](const commands::Session& s) { return fp::SetClearCard(s); });
}

// The window shows the reader's new defaults before the outcome; the window's own reader ID
// and line settings stay as they were until the next Scan or Link.
void TfrmModule::btnStandFingerDefaultClick() {
    RunCommand(
        {Msg::StandAloneDefault, Msg::SetStandAloneDefaultOk, Msg::SetStandAloneDefaultError},
        [this](const commands::Session& s) {
            if (!fp::StandAloneDefault(s)) return false;
            main_->sbID->setValue(fp::kDefaultReaderId);
            fingerprint_->sbFacility->setValue(fp::kDefaultFacilityCode);
            fingerprint_->edDoorFinger->setText(fp::kDefaultDoorTime);
            fingerprint_->edAlarmFinger->setText(fp::kDefaultAlarmTime);
            return true;
        });
}

}  // namespace app
