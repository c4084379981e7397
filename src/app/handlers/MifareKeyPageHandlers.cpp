// Handlers of the function page tsMifareKey: the sector trailer written to a card, and the
// access-condition editor, a thin view over commands/mifare/AccessBits: the options shown are
// read into an EditorState, the picked option's rule is applied there, and the result is shown.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

#include "actions/Limits.h"
#include "app/Controls.h"
#include "app/TfrmModule.h"
#include "app/pages/MifareKeyPage.h"
#include "app/pages/MifarePage.h"
#include "app/widgets/OptionMouseUp.h"
#include "app/widgets/ReaderTextValidator.h"
#include "commands/mifare/AccessBits.h"
#include "commands/mifare/MifareCommands.h"

namespace app {

using commands::mifare::DataBlockRights;
using commands::mifare::DataGroup;
using commands::mifare::EditorState;
using commands::mifare::Keys;
using commands::mifare::TrailerGroup;
using commands::mifare::TrailerRights;
using text::Msg;

namespace {

// What each of the editor's 47 options stands for: a data block's group and the keys it names,
// or a trailer group and its keys.
struct DataOptionName {
    const char* name;
    int block;
    DataGroup group;
    Keys option;
};
struct TrailerOptionName {
    const char* name;
    TrailerGroup group;
    Keys option;
};

constexpr DataGroup kRead = DataGroup::Read;
constexpr DataGroup kWrite = DataGroup::Write;
constexpr DataGroup kIncrement = DataGroup::Increment;
constexpr DataGroup kDecrement = DataGroup::Decrement;
constexpr Keys kAny = Keys::AOrB;
constexpr Keys kA = Keys::A;
constexpr Keys kB = Keys::B;
constexpr Keys kNever = Keys::Never;

// clang-format off
constexpr DataOptionName kDataOptions[] = {
    {"RadioButton1", 0, kRead, kAny},       {"RadioButton2", 0, kRead, kB},        {"RadioButton3", 0, kRead, kNever},
    {"RadioButton31", 0, kWrite, kAny},     {"RadioButton32", 0, kWrite, kB},      {"RadioButton33", 0, kWrite, kNever},
    {"RadioButton7", 0, kIncrement, kAny},  {"RadioButton11", 0, kIncrement, kB},  {"RadioButton9", 0, kIncrement, kNever},
    {"RadioButton8", 0, kDecrement, kAny},  {"RadioButton10", 0, kDecrement, kNever},
    {"RadioButton4", 1, kRead, kAny},       {"RadioButton5", 1, kRead, kB},        {"RadioButton6", 1, kRead, kNever},
    {"RadioButton19", 1, kWrite, kAny},     {"RadioButton20", 1, kWrite, kB},      {"RadioButton21", 1, kWrite, kNever},
    {"RadioButton13", 1, kIncrement, kAny}, {"RadioButton15", 1, kIncrement, kB},  {"RadioButton14", 1, kIncrement, kNever},
    {"RadioButton16", 1, kDecrement, kAny}, {"RadioButton17", 1, kDecrement, kNever},
    {"RadioButton22", 2, kRead, kAny},      {"RadioButton23", 2, kRead, kB},       {"RadioButton24", 2, kRead, kNever},
    {"RadioButton34", 2, kWrite, kAny},     {"RadioButton35", 2, kWrite, kB},      {"RadioButton36", 2, kWrite, kNever},
    {"RadioButton25", 2, kIncrement, kAny}, {"RadioButton27", 2, kIncrement, kB},  {"RadioButton26", 2, kIncrement, kNever},
    {"RadioButton28", 2, kDecrement, kAny}, {"RadioButton29", 2, kDecrement, kNever},
};

constexpr TrailerOptionName kTrailerOptions[] = {
    {"RadioButton38", TrailerGroup::KeyARead, kNever},
    {"RadioButton46", TrailerGroup::KeyAWrite, kA},   {"RadioButton47", TrailerGroup::KeyAWrite, kB},   {"RadioButton12", TrailerGroup::KeyAWrite, kNever},
    {"RadioButton42", TrailerGroup::AccessRead, kA},  {"RadioButton49", TrailerGroup::AccessRead, kAny},
    {"RadioButton43", TrailerGroup::AccessWrite, kA}, {"RadioButton44", TrailerGroup::AccessWrite, kB}, {"RadioButton45", TrailerGroup::AccessWrite, kNever},
    {"RadioButton48", TrailerGroup::KeyBRead, kA},    {"RadioButton37", TrailerGroup::KeyBRead, kNever},
    {"RadioButton39", TrailerGroup::KeyBWrite, kA},   {"RadioButton40", TrailerGroup::KeyBWrite, kB},   {"RadioButton41", TrailerGroup::KeyBWrite, kNever},
};
// clang-format on

// The data option whose caption the trailer's access options rename, read back as the caption.
constexpr const char* kAnyKeyCaptionOption = "RadioButton1";

Keys& GroupOf(DataBlockRights& rights, DataGroup group) {
    switch (group) {
        case DataGroup::Read:
            return rights.read;
        case DataGroup::Write:
            return rights.write;
        case DataGroup::Increment:
            return rights.increment;
        case DataGroup::Decrement:
            break;
    }
    return rights.decrement;
}

Keys& GroupOf(TrailerRights& rights, TrailerGroup group) {
    switch (group) {
        case TrailerGroup::KeyARead:
            return rights.keyARead;
        case TrailerGroup::KeyAWrite:
            return rights.keyAWrite;
        case TrailerGroup::AccessRead:
            return rights.accessRead;
        case TrailerGroup::AccessWrite:
            return rights.accessWrite;
        case TrailerGroup::KeyBRead:
            return rights.keyBRead;
        case TrailerGroup::KeyBWrite:
            break;
    }
    return rights.keyBWrite;
}

QRadioButton* Option(const MifareKeyPage& page, const char* name) {
    return page.GroupBox2->findChild<QRadioButton*>(QString::fromLatin1(name));
}

// The options as they stand, the keyboard's changes included. Every group always has one option
// checked: each starts with one and is exclusive.
EditorState EditorShown(const MifareKeyPage& page) {
    EditorState state = commands::mifare::InitialEditorState();
    for (const DataOptionName& o : kDataOptions) {
        if (Option(page, o.name)->isChecked()) GroupOf(state.blocks[o.block], o.group) = o.option;
    }
    for (const TrailerOptionName& o : kTrailerOptions) {
        if (Option(page, o.name)->isChecked()) GroupOf(state.trailer, o.group) = o.option;
    }
    state.anyKeyCaption = Option(page, kAnyKeyCaptionOption)->text().toStdString();
    return state;
}

void ShowEditor(const MifareKeyPage& page, EditorState state) {
    // Checking one option of an exclusive group clears the others.
    for (const DataOptionName& o : kDataOptions) {
        if (GroupOf(state.blocks[o.block], o.group) == o.option)
            Option(page, o.name)->setChecked(true);
    }
    for (const TrailerOptionName& o : kTrailerOptions) {
        if (GroupOf(state.trailer, o.group) == o.option) Option(page, o.name)->setChecked(true);
    }
    const QString caption = QString::fromStdString(state.anyKeyCaption);
    for (const DataOptionName& o : kDataOptions) {
        if (o.option == kAny) Option(page, o.name)->setText(caption);
    }
}

}  // namespace

std::vector<ButtonBinding> TfrmModule::mifareKeyPageButtons() {
    return {
        {"btnM1CardKey", &TfrmModule::btnM1CardKeyClick},
    };
}

void TfrmModule::connectMifareKeyPage() {
    connect(mifareKey_->sbM1CardSector, &QScrollBar::valueChanged, this,
            &TfrmModule::sbM1CardSectorChange);
    // Only the mouse changes a whole block's condition; the keyboard moves within one group.
    connect(mifareKey_->accessMouseUp, &OptionMouseUp::released, this,
            &TfrmModule::AccessOptionMouseUp);
    connect(mifareKey_->edM1CardKeyAccess, &QLineEdit::textChanged, this,
            &TfrmModule::edM1CardKeyAccessChange);

    // The trailer's texts go to the reader as typed, counted in its bytes.
    const auto language = [this] { return language_; };
    for (QLineEdit* edit : {mifareKey_->edM1CardOldKey, mifareKey_->edM1CardKeyA,
                            mifareKey_->edM1CardKeyAccess, mifareKey_->edM1CardKeyB})
        ForReader(edit, actions::kKeyBytes, language);
}

void TfrmModule::sbM1CardSectorChange() {
    ShowPosition(mifareKey_->pnM1CardSector, mifareKey_->sbM1CardSector, "%02d");
}

void TfrmModule::AccessOptionMouseUp(const QString& option) {
    const QByteArray name = option.toLatin1();
    EditorState state = EditorShown(*mifareKey_);
    bool picked = false;
    for (const DataOptionName& o : kDataOptions) {
        if (name == o.name)
            picked = commands::mifare::PickDataOption(state, o.block, o.group, o.option);
    }
    for (const TrailerOptionName& o : kTrailerOptions) {
        if (name == o.name) picked = commands::mifare::PickTrailerOption(state, o.group, o.option);
    }
    if (!picked) return;
    ShowEditor(*mifareKey_, state);
    UpdateAccessBits();
}

void TfrmModule::UpdateAccessBits() {
    // The options are final already: a Qt option is checked before its mouse-up is reported.
    mifareKey_->edM1CardKeyAccess->setText(
        QString::fromStdString(commands::mifare::EditorAccessBitsText(EditorShown(*mifareKey_))));
}

void TfrmModule::edM1CardKeyAccessChange() {
    QString notice;
    switch (commands::mifare::NoticeFor(Encode(mifareKey_->edM1CardKeyAccess->text()))) {
        case commands::mifare::AccessBitsNotice::None:
            break;
        case commands::mifare::AccessBitsNotice::Incomplete:
            notice = Msg(Msg::AccessBitsIncomplete);
            break;
        case commands::mifare::AccessBitsNotice::Invalid:
            notice = Msg(Msg::AccessBitsInvalid);
            break;
        case commands::mifare::AccessBitsNotice::LockedForGood:
            notice = Msg(Msg::AccessBitsLockedForGood);
            break;
    }
    mifareKey_->lblM1CardKeyAccessNotice->setText(notice);
}

void TfrmModule::btnM1CardKeyClick() {
    actions::TrailerTexts trailer;
    trailer.sector = mifareKey_->sbM1CardSector->value();
    trailer.old = {mifareKey_->rbM1CardKeyA->isChecked() ? commands::mifare::KeySlot::A
                                                         : commands::mifare::KeySlot::B,
                   typed(mifareKey_->edM1CardOldKey)};
    trailer.keyA = typed(mifareKey_->edM1CardKeyA);
    trailer.accessBits = typed(mifareKey_->edM1CardKeyAccess);
    trailer.keyB = typed(mifareKey_->edM1CardKeyB);
    RunAction(actions::WriteTrailer(trailer));
}

}  // namespace app
