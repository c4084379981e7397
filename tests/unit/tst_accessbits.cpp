// Access conditions of a MIFARE Classic sector: the bytes against the published bit layout
// (byte 6 = ~C2 ~C1, byte 7 = C1 ~C3, byte 8 = C3 C2, bit k for part k), worked out by hand; the
// editor's option rule on the examples of the card-key page; every state the editor can show
// through the text and back; the texts that deserve a warning.
#include <QtTest>
#include <algorithm>

#include "commands/mifare/AccessBits.h"

using namespace commands::mifare;

Q_DECLARE_METATYPE(commands::mifare::SectorConditions)
Q_DECLARE_METATYPE(commands::mifare::AccessTextVerdict)
Q_DECLARE_METATYPE(commands::mifare::AccessBitsNotice)

namespace {

SectorConditions Parts(const char* text) {
    // "000 000 000 001": blocks 0, 1, 2 and the trailer, C1 C2 C3 each.
    SectorConditions conditions{};
    for (int part = 0; part < 4; ++part) {
        const char* bits = text + part * 4;
        conditions[part] = MakeCondition(bits[0] - '0', bits[1] - '0', bits[2] - '0');
    }
    return conditions;
}

Keys KeysNamed(const QString& name) {
    if (name == "A") return Keys::A;
    if (name == "B") return Keys::B;
    if (name == "A/B") return Keys::AOrB;
    return Keys::Never;
}

// One step at the editor: "b1 Decrement never" (a mouse pick on block 1), "t AccessWrite B" (on
// the trailer), "k0 Write never" (a keyboard change of one group of block 0).
void Step(EditorState& state, const QString& step) {
    const QStringList words = step.split(' ');
    QCOMPARE(words.size(), 3);
    const Keys option = KeysNamed(words[2]);
    if (words[0] == "t") {
        static const QStringList groups = {"KeyARead",    "KeyAWrite", "AccessRead",
                                           "AccessWrite", "KeyBRead",  "KeyBWrite"};
        QVERIFY(groups.contains(words[1]));
        QVERIFY(PickTrailerOption(state, TrailerGroup(groups.indexOf(words[1])), option));
        return;
    }
    static const QStringList groups = {"Read", "Write", "Increment", "Decrement"};
    QVERIFY(groups.contains(words[1]));
    const auto group = DataGroup(groups.indexOf(words[1]));
    const int block = words[0].mid(1).toInt();
    if (words[0].startsWith('b')) {
        QVERIFY(PickDataOption(state, block, group, option));
        return;
    }
    DataBlockRights& rights = state.blocks[block];
    Keys* checked[] = {&rights.read, &rights.write, &rights.increment, &rights.decrement};
    *checked[int(group)] = option;
}

}  // namespace

class TestAccessBits : public QObject {
    Q_OBJECT

private slots:
    // Each row was written from the layout, bit by bit, not taken from this code.
    void layout_data() {
        QTest::addColumn<SectorConditions>("conditions");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("transport: data 000, trailer 001") << Parts("000 000 000 001") << "FF0780";
        QTest::newRow("everything 000") << Parts("000 000 000 000") << "FF0F00";
        QTest::newRow("everything 111") << Parts("111 111 111 111") << "00F0FF";
        QTest::newRow("everything 011") << Parts("011 011 011 011") << "0F00FF";
        QTest::newRow("data 000, trailer 011") << Parts("000 000 000 011") << "7F0788";
        QTest::newRow("data 100, trailer 011") << Parts("100 100 100 011") << "787788";
        QTest::newRow("data 110, trailer 011") << Parts("110 110 110 011") << "08778F";
        QTest::newRow("data 111, trailer 110") << Parts("111 111 111 110") << "00F87F";
        QTest::newRow("block 1 at 010") << Parts("000 010 000 001") << "DF0782";
        // One condition bit at a time lands in exactly three nibbles.
        QTest::newRow("C1 of block 0") << Parts("100 000 000 000") << "FE1F00";
        QTest::newRow("C1 of block 1") << Parts("000 100 000 000") << "FD2F00";
        QTest::newRow("C1 of block 2") << Parts("000 000 100 000") << "FB4F00";
        QTest::newRow("C1 of the trailer") << Parts("000 000 000 100") << "F78F00";
        QTest::newRow("C2 of block 0") << Parts("010 000 000 000") << "EF0F01";
        QTest::newRow("C2 of block 1") << Parts("000 010 000 000") << "DF0F02";
        QTest::newRow("C2 of block 2") << Parts("000 000 010 000") << "BF0F04";
        QTest::newRow("C2 of the trailer") << Parts("000 000 000 010") << "7F0F08";
        QTest::newRow("C3 of block 0") << Parts("001 000 000 000") << "FF0E10";
        QTest::newRow("C3 of block 1") << Parts("000 001 000 000") << "FF0D20";
        QTest::newRow("C3 of block 2") << Parts("000 000 001 000") << "FF0B40";
        QTest::newRow("C3 of the trailer") << Parts("000 000 000 001") << "FF0780";
    }
    void layout() {
        QFETCH(SectorConditions, conditions);
        QFETCH(QString, bytes);
        QCOMPARE(QString::fromStdString(AccessBitsText(conditions)), bytes + "AA");
        QCOMPARE(QString::fromStdString(AccessBitsText(conditions, 0x69)), bytes + "69");
        const AccessText read = ReadAccessBitsText((bytes + "5C").toStdString());
        QCOMPARE(read.verdict, AccessTextVerdict::Valid);
        QCOMPARE(read.conditions, conditions);
        QCOMPARE(read.userByte, std::uint8_t(0x5C));
    }

    void everyConditionRoundTrips() {
        for (int bits = 0; bits < 4096; ++bits) {
            const SectorConditions conditions{bits & 7, (bits >> 3) & 7, (bits >> 6) & 7,
                                              bits >> 9};
            const auto decoded = DecodeAccessBytes(EncodeAccessBytes(conditions));
            QVERIFY(decoded.has_value());
            QCOMPARE(*decoded, conditions);
        }
    }

    // The 8 x 8 x 8 data-block rows with the 7 trailer rows the editor tells apart: shown,
    // written as text, read back.
    void everyEditorStateRoundTrips() {
        int states = 0;
        for (int bits = 0; bits < 512 * 7; ++bits, ++states) {
            const SectorConditions conditions{bits & 7, (bits >> 3) & 7, (bits >> 6) & 7,
                                              bits >> 9};
            EditorState editor;
            for (int block = 0; block < 3; ++block)
                editor.blocks[block] = DataRights(conditions[block]);
            editor.trailer = TrailerRightsOf(conditions[kTrailerPart]);
            QCOMPARE(ConditionsShown(editor), conditions);
            const AccessText read = ReadAccessBitsText(EditorAccessBitsText(editor));
            QCOMPARE(read.verdict, AccessTextVerdict::Valid);
            QCOMPARE(read.conditions, conditions);
            QCOMPARE(read.userByte, kEditorUserByte);
        }
        QCOMPARE(states, 3584);
    }

    // Trailer rows 110 and 111 look the same: the editor gives 110.
    void trailerRow111IsShownAs110() {
        EditorState editor = InitialEditorState();
        editor.trailer = TrailerRightsOf(MakeCondition(1, 1, 1));
        QCOMPARE(ConditionsShown(editor)[kTrailerPart], MakeCondition(1, 1, 0));
    }

    // Every option applies a row that shows that very option, and every row shows only options
    // the editor offers: otherwise a pick would undo itself or a row could not be shown.
    void optionsAndRowsAgree() {
        int optionCount = 0;  // 47 in all: 11 for each data block, 14 for the trailer
        for (int group = 0; group < 4; ++group) {
            optionCount += 3 * int(DataOptions(DataGroup(group)).size());
            for (Keys option : DataOptions(DataGroup(group))) {
                const auto condition = DataOptionCondition(DataGroup(group), option);
                QVERIFY(condition);
                EditorState editor = InitialEditorState();
                QVERIFY(PickDataOption(editor, 1, DataGroup(group), option));
                const DataBlockRights& b = editor.blocks[1];
                const Keys shown[] = {b.read, b.write, b.increment, b.decrement};
                QCOMPARE(shown[group], option);
                QCOMPARE(ConditionsShown(editor)[1], *condition);
            }
        }
        for (int group = 0; group < 6; ++group) {
            optionCount += int(TrailerOptions(TrailerGroup(group)).size());
            for (Keys option : TrailerOptions(TrailerGroup(group))) {
                const auto condition = TrailerOptionCondition(TrailerGroup(group), option);
                QVERIFY(condition);
                EditorState editor = InitialEditorState();
                QVERIFY(PickTrailerOption(editor, TrailerGroup(group), option));
                const TrailerRights& t = editor.trailer;
                const Keys shown[] = {t.keyARead,    t.keyAWrite, t.accessRead,
                                      t.accessWrite, t.keyBRead,  t.keyBWrite};
                QCOMPARE(shown[group], option);
                QCOMPARE(ConditionsShown(editor)[kTrailerPart], *condition);
            }
        }
        QCOMPARE(optionCount, 47);
        for (Condition row = 0; row < kConditionCount; ++row) {
            const DataBlockRights& d = DataRights(row);
            const Keys data[] = {d.read, d.write, d.increment, d.decrement};
            for (int group = 0; group < 4; ++group) {
                const auto options = DataOptions(DataGroup(group));
                QCOMPARE(std::count(options.begin(), options.end(), data[group]), 1);
            }
            const TrailerRights& t = TrailerRightsOf(row);
            const Keys trailer[] = {t.keyARead,    t.keyAWrite, t.accessRead,
                                    t.accessWrite, t.keyBRead,  t.keyBWrite};
            for (int group = 0; group < 6; ++group) {
                const auto options = TrailerOptions(TrailerGroup(group));
                QCOMPARE(std::count(options.begin(), options.end(), trailer[group]), 1);
            }
        }
    }

    // An option that its group does not offer changes nothing.
    void foreignOptionsAreRefused() {
        EditorState editor = InitialEditorState();
        QVERIFY(!PickDataOption(editor, 0, DataGroup::Decrement, Keys::B));
        QVERIFY(!PickDataOption(editor, 3, DataGroup::Read, Keys::AOrB));
        QVERIFY(!PickTrailerOption(editor, TrailerGroup::KeyARead, Keys::A));
        QVERIFY(!PickTrailerOption(editor, TrailerGroup::AccessRead, Keys::Never));
        QCOMPARE(EditorAccessBitsText(editor), std::string("FF0780AA"));
        QCOMPARE(editor.anyKeyCaption, std::string("A/B"));
    }

    // Published facts that everything else leans on.
    void publishedRights() {
        for (Condition row = 0; row < kConditionCount; ++row) {
            QCOMPARE(TrailerRightsOf(row).keyARead, Keys::Never);
            const bool keyBReadable = row == MakeCondition(0, 0, 0) ||
                                      row == MakeCondition(0, 0, 1) ||
                                      row == MakeCondition(0, 1, 0);
            QCOMPARE(TrailerRightsOf(row).keyBRead, keyBReadable ? Keys::A : Keys::Never);
        }
        const TrailerRights transport{Keys::Never, Keys::A, Keys::A, Keys::A, Keys::A, Keys::A};
        QVERIFY(TrailerRightsOf(kTransportConditions[kTrailerPart]) == transport);
        QVERIFY(Allows(Keys::AOrB, KeySlot::B) && !Allows(Keys::A, KeySlot::B));
        QVERIFY(!Allows(Keys::Never, KeySlot::A) && !Allows(Keys::B, KeySlot::A));
    }

    // The card-key page's examples; `steps` as Step() reads them.
    void editor_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("at start") << QStringList{} << "FF0780AA"
                                  << "A/B";
        QTest::newRow("Decrement never of block 1")
            << QStringList{"b1 Decrement never"} << "DF0782AA"
            << "A/B";
        QTest::newRow("data 110, trailer 011")
            << QStringList{"b0 Read A/B", "b1 Increment B", "b2 Decrement A/B", "t KeyAWrite B"}
            << "08778FAA"
            << "A/B";
        QTest::newRow("data 111, trailer Access bits Write never")
            << QStringList{"b0 Read never", "b1 Read never", "b2 Read never", "t AccessWrite never"}
            << "00F87FAA"
            << "A/B";
        QTest::newRow("a later pick replaces the block's row")
            << QStringList{"b1 Decrement never", "b1 Write A/B"} << "FF0780AA"
            << "A/B";
        QTest::newRow("Key A Write A: trailer 000") << QStringList{"t KeyAWrite A"} << "FF0F00AA"
                                                    << "A/B";
        QTest::newRow("Access bits Read A renames to A")
            << QStringList{"t AccessRead A"} << "7F0F08AA"
            << "A";
        QTest::newRow("Key A Write B keeps the caption")
            << QStringList{"t AccessRead A", "t KeyAWrite B"} << "7F0788AA"
            << "A";
        QTest::newRow("Access bits Write B renames back")
            << QStringList{"t AccessRead A", "t KeyAWrite B", "t AccessWrite B"} << "7F0788AA"
            << "A/B";
        QTest::newRow("Access bits Read A/B renames back")
            << QStringList{"t AccessWrite A", "t AccessRead A", "t AccessRead A/B"} << "F78F00AA"
            << "A/B";
        // A keyboard change moves one group only; the next pick anywhere finds no row for
        // block 0 and writes it as 101.
        QTest::newRow("keyboard, then a pick elsewhere")
            << QStringList{"k0 Write never", "b2 Read A/B"} << "BA5694AA"
            << "A/B";
        QTest::newRow("keyboard back to a row")
            << QStringList{"k0 Write never", "k0 Increment never", "k0 Decrement never",
                           "b1 Write A/B"}
            << "EF0781AA"
            << "A/B";
    }
    void editor() {
        QFETCH(QStringList, steps);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        EditorState state = InitialEditorState();
        for (const QString& step : steps) {
            Step(state, step);
            if (QTest::currentTestFailed()) return;
        }
        QCOMPARE(QString::fromStdString(EditorAccessBitsText(state)), text);
        QCOMPARE(QString::fromStdString(state.anyKeyCaption), caption);
    }

    void typedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<AccessTextVerdict>("verdict");
        QTest::addColumn<AccessBitsNotice>("notice");
        using V = AccessTextVerdict;
        using N = AccessBitsNotice;
        QTest::newRow("transport") << "FF0780AA" << V::Valid << N::None;
        QTest::newRow("delivered user byte") << "FF078069" << V::Valid << N::None;
        QTest::newRow("trailer 011: B writes them") << "08778FAA" << V::Valid << N::None;
        QTest::newRow("trailer 101: B writes them") << "F78780AA" << V::Valid << N::None;
        QTest::newRow("trailer 000: never again") << "FF0F00AA" << V::Valid << N::LockedForGood;
        QTest::newRow("trailer 100: never again") << "F78F00AA" << V::Valid << N::LockedForGood;
        QTest::newRow("trailer 110: never again") << "00F87FAA" << V::Valid << N::LockedForGood;
        QTest::newRow("trailer 111: never again") << "00F0FFAA" << V::Valid << N::LockedForGood;
        QTest::newRow("one C2 bit without its copy")
            << "FF0781AA" << V::CopiesDisagree << N::Invalid;
        QTest::newRow("one C1 bit without its copy")
            << "FF1780AA" << V::CopiesDisagree << N::Invalid;
        QTest::newRow("all ones") << "FFFFFFFF" << V::CopiesDisagree << N::Invalid;
        QTest::newRow("six characters") << "FF0780" << V::NotEightHexDigits << N::Incomplete;
        QTest::newRow("twelve characters")
            << "FF0780AAFFFF" << V::NotEightHexDigits << N::Incomplete;
        QTest::newRow("lower case") << "ff0780aa" << V::NotEightHexDigits << N::Incomplete;
        QTest::newRow("not hexadecimal") << "FF0780AG" << V::NotEightHexDigits << N::Incomplete;
    }
    void typedText() {
        QFETCH(QString, text);
        QFETCH(AccessTextVerdict, verdict);
        QFETCH(AccessBitsNotice, notice);
        QCOMPARE(ReadAccessBitsText(text.toStdString()).verdict, verdict);
        QCOMPARE(NoticeFor(text.toStdString()), notice);
    }
};

QTEST_GUILESS_MAIN(TestAccessBits)
#include "tst_accessbits.moc"
