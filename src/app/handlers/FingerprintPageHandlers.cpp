// Handlers of the function page tsFingerprint: enrolment, IDs, templates, stand-alone mode.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "actions/Limits.h"
#include "actions/Requests.h"
#include "actions/TemplateFiles.h"
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

// A seconds box as the user sees it, its blanks as spaces: QLineEdit::text() would drop blanks
// inside the digits too, and "1_2_" must not go out as "12".
QString MaskedText(const QLineEdit* edit) {
    return edit->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
}

}  // namespace

std::vector<ButtonBinding> TfrmModule::fingerprintPageButtons() {
    return {
        {"btnFingerFacility", &TfrmModule::btnFingerFacilityClick},
        {"btnAddFinger", &TfrmModule::btnAddFingerClick},
        {"btnDelFinger", &TfrmModule::btnDelFingerClick},
        {"btnGetFingerID", &TfrmModule::btnGetFingerIDClick},
        {"btnSetFingerID", &TfrmModule::btnSetFingerIDClick},
        {"btnFingerScan", &TfrmModule::btnFingerScanClick},
        {"btnGetTemplate", &TfrmModule::btnGetTemplateClick},
        {"btnPutTemplate", &TfrmModule::btnPutTemplateClick},
        {"btnStandFinger", &TfrmModule::btnStandFingerClick},
        {"btnDoorFinger", &TfrmModule::btnDoorFingerClick},
        {"btnAlarmFinger", &TfrmModule::btnAlarmFingerClick},
        {"btnSetCardFinger", &TfrmModule::btnSetCardFingerClick},
        {"btnDuressFinger", &TfrmModule::btnDuressFingerClick},
        {"btnClrCardFinger", &TfrmModule::btnClrCardFingerClick},
        {"btnStandFingerDefault", &TfrmModule::btnStandFingerDefaultClick},
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
    // These boxes show reader bytes (platform::BytesAsText): "\x81" is one byte.
    ForReader(fingerprint_->edCard, actions::kFingerprintIdBytes, language,
              platform::BytesFromTextLength);
    ForReader(fingerprint_->edF1, static_cast<int>(commands::fingerprint::kTemplatePartLength),
              language, platform::BytesFromTextLength);
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

int TfrmModule::fingerNumber() const { return fingerprint_->sbFingerNo->value(); }

void TfrmModule::showOutcome(bool ok, text::Msg msg, const QString& suffix) {
    SetCommLamp(ok ? kLampYellow : kLampRed);
    ShowMessage(msg, suffix);
    Beep(ok ? kToneHighHz : kToneLowHz, kToneMs);
}

void TfrmModule::btnFingerFacilityClick() {
    RunAction(actions::FacilityCode(fingerprint_->sbFacility->value()));
}

void TfrmModule::btnAddFingerClick() { RunAction(actions::AddFinger(fingerNumber())); }

void TfrmModule::btnDelFingerClick() { RunAction(actions::DeleteFinger(fingerNumber())); }

void TfrmModule::btnGetFingerIDClick() {
    std::optional<std::string> id;
    if (RunAction(actions::GetFingerId(fingerNumber(), id)).ok())
        fingerprint_->edCard->setText(platform::BytesAsText(*id, language_));
}

void TfrmModule::btnSetFingerIDClick() {
    RunAction(actions::SetFingerId(fingerNumber(), typed(fingerprint_->edCard)));
}

void TfrmModule::btnFingerScanClick() {
    RunAction(actions::ScanMode(fingerprint_->cmbFingerScan->currentIndex()));
}

// Parts received before a failure stay in their boxes; the others keep what they had.
void TfrmModule::btnGetTemplateClick() {
    fp::TemplateGet got;
    RunAction(actions::GetTemplate(fingerNumber(), got));
    QLineEdit* const boxes[] = {fingerprint_->edF1, fingerprint_->edF2, fingerprint_->edF3};
    for (std::size_t part = 0; part < got.parts.size(); ++part) {
        if (got.parts[part])
            boxes[part]->setText(platform::BytesAsText(*got.parts[part], language_));
    }
}

void TfrmModule::btnPutTemplateClick() {
    fp::TemplatePut put = fp::TemplatePut::Failed;
    RunAction(actions::PutTemplateShown(fingerNumber(), templateBoxes(), put));
}

std::array<actions::TypedText, fp::kTemplateParts> TfrmModule::templateBoxes() const {
    return {typed(fingerprint_->edF1), typed(fingerprint_->edF2), typed(fingerprint_->edF3)};
}

void TfrmModule::btnSaveTemplateClick() {
    fp::TemplateFile file{actions::FingerNumberText(fingerNumber()), {}};
    const auto shown = templateBoxes();
    for (std::size_t part = 0; part < file.parts.size(); ++part) {
        const platform::Encoding bytes = platform::BytesFromText(shown[part].text, language_);
        // A character the reader could never take cannot be saved as its bytes either.
        if (bytes.failure) {
            showOutcome(false, Msg::SaveTemplateError,
                        " " + actions::CannotSend(*bytes.failure, language_).in(language_));
            return;
        }
        file.parts[part] = bytes.bytes;
    }
    // A template that could not be saved is refused before the dialog asks where.
    if (const auto problem = fp::CheckTemplateFile(file);
        problem != fp::TemplateFileProblem::None) {
        showOutcome(false, Msg::SaveTemplateError,
                    " " + Msg(actions::TemplateProblemMessage(problem)));
        return;
    }
    const QString path = templatePath_ ? templatePath_(true) : QString();
    if (path.isEmpty()) return;  // cancelled: nothing to report
    if (const auto why = actions::SaveTemplateFile(path, file))
        showOutcome(false, Msg::SaveTemplateError, " " + Msg(*why));
    else
        showOutcome(true, Msg::SaveTemplateOk);
}

// A file that is not a template file changes nothing.
void TfrmModule::btnLoadTemplateClick() {
    const QString path = templatePath_ ? templatePath_(false) : QString();
    if (path.isEmpty()) return;

    const actions::TemplateFileLoad read = actions::LoadTemplateFile(path, language_);
    if (!read.file) {
        showOutcome(false, Msg::LoadTemplateError, " " + read.problem.in(language_));
        return;
    }
    fingerprint_->sbFingerNo->setValue(std::stoi(read.file->fingerNumber));
    QLineEdit* const boxes[] = {fingerprint_->edF1, fingerprint_->edF2, fingerprint_->edF3};
    for (std::size_t part = 0; part < read.file->parts.size(); ++part) {
        boxes[part]->setText(platform::BytesAsText(read.file->parts[part], language_));
        boxes[part]->setCursorPosition(0);
    }
    showOutcome(true, Msg::LoadTemplateOk);
}

void TfrmModule::btnStandFingerClick() {
    // Once shown, the settings stay for the life of the window.
    if (RunAction(actions::StandAlone()).ok()) {
        for (QWidget* control : fingerprint_->standAloneSettings()) control->show();
    }
}

void TfrmModule::btnDoorFingerClick() {
    RunAction(actions::DoorTime({MaskedText(fingerprint_->edDoorFinger), language_}));
}

void TfrmModule::btnAlarmFingerClick() {
    RunAction(actions::AlarmTime({MaskedText(fingerprint_->edAlarmFinger), language_}));
}

void TfrmModule::btnSetCardFingerClick() { RunAction(actions::AddCard()); }

void TfrmModule::btnDuressFingerClick() { RunAction(actions::DuressCard()); }

void TfrmModule::btnClrCardFingerClick() { RunAction(actions::ClearCard()); }

// The window shows the reader's new defaults before the outcome; the window's own reader ID
// and line settings stay as they were until the next Scan or Link.
void TfrmModule::btnStandFingerDefaultClick() {
    actions::Request request = actions::StandAloneDefault();
    request.wrap([this](const commands::Session& s, const actions::Request::Run& reset) {
        if (!reset(s)) return false;
        main_->sbID->setValue(fp::kDefaultReaderId);
        fingerprint_->sbFacility->setValue(fp::kDefaultFacilityCode);
        fingerprint_->edDoorFinger->setText(fp::kDefaultDoorTime);
        fingerprint_->edAlarmFinger->setText(fp::kDefaultAlarmTime);
        return true;
    });
    RunAction(request);
}

}  // namespace app
