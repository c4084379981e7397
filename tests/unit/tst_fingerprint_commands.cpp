// The fingerprint commands on the scripted channel and the virtual clock, against the simulated
// fingerprint reader: what goes over the line and in which order, the pauses, what counts as a
// reply, what is refused before anything is sent, and the waits while the reader restarts.
// Frames are the documented vectors, not values printed by this code.
#include <QtTest>
#include <algorithm>

#include "CommandRig.h"
#include "SimFingerprint.h"
#include "commands/config/SystemUtility.h"
#include "commands/fingerprint/Enrolment.h"
#include "commands/fingerprint/Restart.h"
#include "commands/fingerprint/StandAlone.h"
#include "commands/fingerprint/TemplateFile.h"
#include "commands/fingerprint/Templates.h"
#include "link/ReplyFields.h"

using namespace std::chrono_literals;
using Commands = std::vector<std::string>;
namespace fp = commands::fingerprint;

Q_DECLARE_METATYPE(Commands)
Q_DECLARE_METATYPE(fp::TemplateFileProblem)

namespace {

const std::string kSerial = CommandRig::kSerial;

std::string Repeat(char c, std::size_t count) { return std::string(count, c); }

// A template whose parts cannot be mistaken for one another or for the reader's own.
fp::TemplateParts Parts(std::size_t length) {
    return {Repeat('A', length), Repeat('B', length), Repeat('C', length)};
}

tbsim::SimReader* Fingerprint(CommandRig& rig, int id = 1) {
    return rig.addReader(tbsim::ReaderKind::PX60, id);
}

void Configure(tbsim::SimReader* reader, const std::function<void(tbsim::ReaderConfig&)>& change) {
    tbsim::ReaderConfig config = reader->config();
    change(config);
    reader->setConfig(config);
}

// The "B" polls right after the first "R6".
int PollsAfterRestart(const Commands& sent, const std::string& prefix) {
    auto at = std::find(sent.begin(), sent.end(), prefix + "R6");
    if (at == sent.end()) return 0;
    int polls = 0;
    while (++at != sent.end() && *at == prefix + "B") ++polls;
    return polls;
}

}  // namespace

class TestFingerprintCommands : public QObject {
    Q_OBJECT
private slots:
    void reverseHexBytes_data();
    void reverseHexBytes();
    void getFingerprintId_data();
    void getFingerprintId();

    void templateGetSequence();
    void templatePartReply_data();
    void templatePartReply();
    void templateGetKeepsPartsBeforeAFailure();
    void templateNeedsAnEmptyL0Reply();
    void templatePutSequence();
    void templatePutRefusals_data();
    void templatePutRefusals();

    void standAloneDefault_data();
    void standAloneDefault();
    void standAloneDefaultReaderNeverBack();
    void standAloneDefaultStopsWhenA001Fails();
    void factoryDefaultWaitsTheSameWay();

    void templateFileRoundTrip_data();
    void templateFileRoundTrip();
    void notTemplateFiles_data();
    void notTemplateFiles();
};

void TestFingerprintCommands::reverseHexBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reversed");
    QTest::newRow("window to reader") << "0011223344556677"
                                      << "7766554433221100";
    QTest::newRow("reader to window") << "7766554433221100"
                                      << "0011223344556677";
    QTest::newRow("ten characters, nothing padded") << "A1B2C3D4E5"
                                                    << "E5D4C3B2A1";
    QTest::newRow("odd length: a last slice of one") << "ABC"
                                                     << "CAB";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("past 16 characters nothing counts") << "00112233445566778899"
                                                       << "7766554433221100";
}

void TestFingerprintCommands::reverseHexBytes() {
    QFETCH(QString, text);
    QFETCH(QString, reversed);
    QCOMPARE(QString::fromStdString(tblink::ReverseHexBytes(text.toStdString())), reversed);
}

// The reader keeps the ID in its own byte order; the window shows it the other way round. A
// reply too short to hold 16 characters fails rather than hand on its checksum and CR.
void TestFingerprintCommands::getFingerprintId_data() {
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("shown");  // empty: failure
    QTest::newRow("whole ID") << "7766554433221100"
                              << "0011223344556677";
    QTest::newRow("reply one character short") << "776655443322110"
                                               << "";
    QTest::newRow("reply with no ID") << ""
                                      << "";
}

void TestFingerprintCommands::getFingerprintId() {
    QFETCH(QString, kept);
    QFETCH(QString, shown);
    CommandRig rig;
    auto* reader = Fingerprint(rig);
    Configure(reader, [&](tbsim::ReaderConfig& c) {
        c.fingerprint.fingerSlots[1].id = kept.toStdString();
    });
    QVERIFY(rig.open());
    const auto id = fp::GetFingerprintId({rig.link, rig.pacer, "I01"}, "000001");
    QCOMPARE(id.has_value(), !shown.isEmpty());
    if (id) QCOMPARE(QString::fromStdString(*id), shown);
    const Commands once{"I01B", "I01O000001"};
    QCOMPARE(rig.takeCommands().size(), shown.isEmpty() ? 2 * once.size() : once.size());
    // Each attempt after a plain 50 ms, as every command of the page.
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()),
             QString(shown.isEmpty() ? "P50 P50" : "P50"));
}

void TestFingerprintCommands::templateGetSequence() {
    CommandRig rig;
    auto* reader = Fingerprint(rig);
    QVERIFY(rig.open());
    const commands::Session session{rig.link, rig.pacer, "I01"};
    QVERIFY(fp::AddFingerprint(session, "000001"));
    rig.takeCommands();
    rig.pacer.clear();

    const fp::TemplateGet got = fp::GetTemplate(session, "000001");
    QVERIFY(got.ok);
    QCOMPARE(rig.takeCommands(), (Commands{"I01L0", "I01P0000010", "I01P0000011", "I01P0000012",
                                           "I01P0000013", "I01L1"}));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString("P50 P50"));
    // The second pause falls between part 0 and part 1.
    const auto& sent = rig.channel.sent();
    const std::size_t part1 = sent.size() - 4;
    QCOMPARE(sent[part1].command, std::string("I01P0000011"));
    QVERIFY(sent[part1].at - sent[part1 - 1].at >= 50ms);
    const auto kept = reader->config().fingerprint.fingerSlots.at(1).parts;
    for (std::size_t part = 0; part < kept.size(); ++part) {
        QCOMPARE(got.parts[part]->size(), fp::kTemplatePartLength);
        QCOMPARE(*got.parts[part], kept[part]);
    }
}

// Part 2 as the reader sends it back: a 264-byte reply carries exactly the 256 characters of
// the part; a longer one gives its first 256; a shorter one fails the part.
void TestFingerprintCommands::templatePartReply_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("ok");
    QTest::newRow("264-byte reply") << 256 << true;
    QTest::newRow("longer reply") << 300 << true;
    QTest::newRow("one character short") << 255 << false;
    QTest::newRow("no data") << 0 << false;
}

void TestFingerprintCommands::templatePartReply() {
    QFETCH(int, length);
    QFETCH(bool, ok);
    CommandRig rig;
    auto* reader = Fingerprint(rig);
    std::string part2;
    for (int i = 0; i < length; ++i) part2 += "0123456789ABCDEF"[i % 16];
    Configure(reader,
              [&](tbsim::ReaderConfig& c) { c.fingerprint.fingerSlots[1].parts[1] = part2; });
    QVERIFY(rig.open());
    const fp::TemplateGet got = fp::GetTemplate({rig.link, rig.pacer, "I01"}, "000001");
    QCOMPARE(got.ok, ok);
    QVERIFY(got.parts[0].has_value());
    QCOMPARE(got.parts[1].has_value(), ok);
    QCOMPARE(got.parts[2].has_value(), ok);
    if (ok) QCOMPARE(*got.parts[1], part2.substr(0, fp::kTemplatePartLength));
}

void TestFingerprintCommands::templateGetKeepsPartsBeforeAFailure() {
    CommandRig rig;
    auto* reader = Fingerprint(rig);
    Configure(reader, [](tbsim::ReaderConfig& c) { c.silentCommands = {"P0000013"}; });
    QVERIFY(rig.open());
    const fp::TemplateGet got = fp::GetTemplate({rig.link, rig.pacer, "I01"}, "000001");
    QVERIFY(!got.ok);
    QCOMPARE(got.parts[0], std::optional<std::string>(Repeat('0', 256)));
    QCOMPARE(got.parts[1], std::optional<std::string>(Repeat('0', 256)));
    QVERIFY(!got.parts[2]);
    // No "L1" after a failed attempt: the next one opens the transfer again.
    const Commands attempt{"I01L0", "I01P0000010", "I01P0000011", "I01P0000012", "I01P0000013"};
    Commands both = attempt;
    both.insert(both.end(), attempt.begin(), attempt.end());
    QCOMPARE(rig.takeCommands(), both);
}

void TestFingerprintCommands::templateNeedsAnEmptyL0Reply() {
    CommandRig rig;
    Fingerprint(rig);
    // Every reply carries 8 data characters: "L0" answers with 16 bytes.
    tbsim::FaultPlan overlong;
    overlong.fault = tbsim::Fault::OverlongReply;
    overlong.length = 8;
    rig.line().setFault(overlong);
    QVERIFY(rig.open());
    const commands::Session session{rig.link, rig.pacer, "I01"};
    QVERIFY(!fp::GetTemplate(session, "000001").ok);
    QCOMPARE(fp::PutTemplate(session, "000001", Parts(256)), fp::TemplatePut::Failed);
    QCOMPARE(rig.takeCommands(), (Commands{"I01L0", "I01L0", "I01L0", "I01L0"}));
}

void TestFingerprintCommands::templatePutSequence() {
    CommandRig rig;
    auto* reader = Fingerprint(rig);
    QVERIFY(rig.open());
    // The window's initial parts are 255 characters: they go out as they are.
    fp::TemplateParts parts = Parts(255);
    parts[1] = "  " + parts[1] + "\r";
    QCOMPARE(fp::PutTemplate({rig.link, rig.pacer, "I01"}, "000007", parts),
             fp::TemplatePut::Written);
    QCOMPARE(rig.takeCommands(),
             (Commands{"I01L0", "I01P0000071" + Repeat('A', 255), "I01P0000072" + Repeat('B', 255),
                       "I01P0000073" + Repeat('C', 255), "I01L1"}));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString("P50"));
    QCOMPARE(reader->config().fingerprint.fingerSlots.at(7).parts, Parts(255));
}

// Refused before "L0", with nothing on the line: a part that would read instead of write, and
// one that would not fit in a frame.
void TestFingerprintCommands::templatePutRefusals_data() {
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("padding");
    QTest::addColumn<int>("outcome");
    // "I01" + "P" + 6 digits + 1 digit + text: the frame carries 1040 characters.
    const int fits = 1040 - 11;
    QTest::newRow("part 2 blank") << 1 << 0 << "  \t" << int(fp::TemplatePut::EmptyPart);
    QTest::newRow("part 3 empty") << 2 << 0 << "" << int(fp::TemplatePut::EmptyPart);
    QTest::newRow("part 1 one over the frame")
        << 0 << fits + 1 << "" << int(fp::TemplatePut::PartTooLong);
    QTest::newRow("blanks do not count against the frame")
        << 0 << fits << "  " << int(fp::TemplatePut::Failed);
}

void TestFingerprintCommands::templatePutRefusals() {
    QFETCH(int, part);
    QFETCH(int, length);
    QFETCH(QString, padding);
    QFETCH(int, outcome);
    CommandRig rig;
    Fingerprint(rig);
    QVERIFY(rig.open());
    fp::TemplateParts parts = Parts(256);
    parts[static_cast<std::size_t>(part)] = padding.toStdString() +
                                            Repeat('D', static_cast<std::size_t>(length)) +
                                            padding.toStdString();
    const auto result = fp::PutTemplate({rig.link, rig.pacer, "I01"}, "000001", parts);
    QCOMPARE(int(result), outcome);
    const Commands sent = rig.takeCommands();
    if (result == fp::TemplatePut::Failed) {
        // It went out whole; the reader keeps no part that long.
        QCOMPARE(sent.at(1).size(), std::size_t{1040});
        return;
    }
    QVERIFY(sent.empty());
    QVERIFY(rig.pacer.calls().empty());
}

// Linked as 05: the reader takes ID 01 and every later command still goes to 05. After "R6"
// a kept-alive 400 ms and one short tone, waited out, per unanswered poll; "E5" at the first
// answer.
void TestFingerprintCommands::standAloneDefault_data() {
    QTest::addColumn<int>("restartMs");
    QTest::addColumn<bool>("severalPolls");
    QTest::newRow("reader answers the first poll") << 0 << false;
    QTest::newRow("reader busy for 3 s") << 3000 << true;
}

void TestFingerprintCommands::standAloneDefault() {
    QFETCH(int, restartMs);
    QFETCH(bool, severalPolls);
    CommandRig rig;
    auto* reader = Fingerprint(rig, 5);
    Configure(reader, [&](tbsim::ReaderConfig& c) {
        c.fingerprint.restartTime = std::chrono::milliseconds(restartMs);
        c.fingerprint.facilityCode = 99;
    });
    QVERIFY(rig.open());
    QVERIFY(fp::StandAloneDefault({rig.link, rig.pacer, "I05"}));
    const Commands sent = rig.takeCommands();
    const int polls = PollsAfterRestart(sent, "I05");
    QVERIFY2(severalPolls ? polls >= 3 : polls == 1, qPrintable(QString::number(polls)));
    Commands expected{
        "I05B",      "I05C" + kSerial + "01", "I05A001", "I05S0", "I05R10005", "I05R20030",
        "I05K00000", "I05K5C17A3E8429B06D1",  "I05R6"};
    expected.insert(expected.end(), static_cast<std::size_t>(polls), "I05B");
    expected.push_back("I05E5");
    QCOMPARE(sent, expected);
    QCOMPARE(rig.pacer.ticks(), polls - 1);
    QString pauses = "P50";
    for (int i = 1; i < polls; ++i) pauses += " K400 P50";
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), pauses);
    const tbsim::ReaderConfig config = reader->config();
    QCOMPARE(config.id, 1);
    QCOMPARE(config.fingerprint.facilityCode, 0);
    QCOMPARE(config.fingerprint.key, std::string("5C17A3E8429B06D1"));
    QCOMPARE(config.fingerprint.restarts, 1);
}

// A reader that never comes back costs 300 polls; "E5" is still sent, and fails.
void TestFingerprintCommands::standAloneDefaultReaderNeverBack() {
    CommandRig rig;
    auto* reader = Fingerprint(rig, 1);
    Configure(reader, [](tbsim::ReaderConfig& c) { c.fingerprint.restartTime = 600000ms; });
    QVERIFY(rig.open());
    QVERIFY(!fp::StandAloneDefault({rig.link, rig.pacer, "I01"}));
    const Commands sent = rig.takeCommands();
    QCOMPARE(PollsAfterRestart(sent, "I01"), fp::kRestartPolls);
    QCOMPARE(rig.pacer.ticks(), fp::kRestartPolls);
    // The second attempt's reader check is not answered either.
    QCOMPARE(sent.at(sent.size() - 2), std::string("I01E5"));
    QCOMPARE(sent.back(), std::string("I01B"));
}

void TestFingerprintCommands::standAloneDefaultStopsWhenA001Fails() {
    CommandRig rig;
    auto* reader = Fingerprint(rig, 5);
    Configure(reader, [](tbsim::ReaderConfig& c) { c.silentCommands = {"A001"}; });
    QVERIFY(rig.open());
    QVERIFY(!fp::StandAloneDefault({rig.link, rig.pacer, "I05"}));
    const Commands attempt{"I05B", "I05C" + kSerial + "01", "I05A001"};
    Commands both = attempt;
    both.insert(both.end(), attempt.begin(), attempt.end());
    QCOMPARE(rig.takeCommands(), both);
}

// The factory default of a fingerprint reader readdresses to 01 and waits 200 ms after "R6"
// before the same polls.
void TestFingerprintCommands::factoryDefaultWaitsTheSameWay() {
    CommandRig rig;
    auto* reader = Fingerprint(rig, 5);
    Configure(reader, [](tbsim::ReaderConfig& c) { c.fingerprint.restartTime = 1500ms; });
    QVERIFY(rig.open());
    const auto& plan = commands::Info(commands::ReaderType::PX60).factoryDefault;
    commands::FactoryDefault({rig.link, rig.pacer, "I05"}, plan, {});
    const Commands sent = rig.takeCommands();
    const Commands start{"I05B", "I05C" + kSerial + "01", "I01R6"};
    QVERIFY(sent.size() > start.size());
    QCOMPARE(Commands(sent.begin(), sent.begin() + 3), start);
    const int polls = PollsAfterRestart(sent, "I01");
    QVERIFY2(polls >= 2, qPrintable(QString::number(polls)));
    QCOMPARE(sent.at(3 + static_cast<std::size_t>(polls)), std::string("I01Zi"));
    QString pauses = "K100 P50 K200 K200";
    for (int i = 1; i < polls; ++i) pauses += " K400 P50";
    QVERIFY2(QString::fromStdString(rig.pacer.pausesText()).startsWith(pauses),
             rig.pacer.pausesText().c_str());
}

void TestFingerprintCommands::templateFileRoundTrip_data() {
    QTest::addColumn<QByteArray>("part");
    QTest::newRow("hexadecimal") << QByteArray(256, 'F');
    QTest::newRow("backslashes and control characters") << QByteArray("a\\b\\\\x41\r\n\t\x7F;=z");
    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte) high += static_cast<char>(byte);
    QTest::newRow("bytes 0x80 to 0xFF") << high;
    QTest::newRow("empty") << QByteArray();
}

void TestFingerprintCommands::templateFileRoundTrip() {
    QFETCH(QByteArray, part);
    const fp::TemplateFile file{"009500", {part.toStdString(), "B", "C"}};
    QCOMPARE(fp::CheckTemplateFile(file), fp::TemplateFileProblem::None);
    const std::string text = fp::FormatTemplateFile(file);
    // One line an item, whatever the part holds; ASCII, so any window reads the same bytes.
    QCOMPARE(std::count(text.begin(), text.end(), '\n'), 5L);
    QVERIFY(std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }));
    const fp::TemplateFileRead read = fp::ParseTemplateFile(text);
    QCOMPARE(read.problem, fp::TemplateFileProblem::None);
    QVERIFY(read.file == file);
}

void TestFingerprintCommands::notTemplateFiles_data() {
    using P = fp::TemplateFileProblem;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<P>("problem");
    const QByteArray head = "Tag Bench fingerprint template\n";
    const QByteArray finger = "finger=000001\n";
    const QByteArray parts = "part1=AA\npart2=BB\npart3=CC\n";
    QTest::newRow("as written by another system, CR LF and a mark")
        << "\xEF\xBB\xBF" + QByteArray(head + finger + parts).replace("\n", "\r\n") + "\r\n"
        << P::None;
    QTest::newRow("empty file") << QByteArray() << P::NotTemplateFile;
    QTest::newRow("an icon file") << QByteArray("\0\0\1\0\1\0 \x10", 8) << P::NotTemplateFile;
    QTest::newRow("another header")
        << "Tag Bench template\n" + finger + parts << P::NotTemplateFile;
    QTest::newRow("a line too many") << head + finger + parts + "part4=DD\n" << P::NotTemplateFile;
    QTest::newRow("too large") << head + finger + parts + QByteArray(16 * 1024, '\n')
                               << P::NotTemplateFile;
    QTest::newRow("finger 9501") << head + "finger=009501\n" + parts << P::BadFingerNumber;
    QTest::newRow("finger of five digits") << head + "finger=00001\n" + parts << P::BadFingerNumber;
    QTest::newRow("no finger line") << head + parts << P::BadFingerNumber;
    QTest::newRow("part 3 missing") << head + finger + "part1=AA\npart2=BB\n" << P::BadPart;
    QTest::newRow("parts out of order") << head + finger + "part2=BB\npart1=AA\npart3=CC\n"
                                        << P::BadPart;
    QTest::newRow("broken escape") << head + finger + "part1=A\\q\npart2=BB\npart3=CC\n"
                                   << P::BadPart;
    QTest::newRow("not UTF-8") << head + finger + "part1=\xB8\xD5\npart2=BB\npart3=CC\n"
                               << P::BadPart;
    QTest::newRow("raw tab in a part") << head + finger + "part1=A\tB\npart2=BB\npart3=CC\n"
                                       << P::BadPart;
    QTest::newRow("part of 257 characters")
        << head + finger + "part1=" + QByteArray(257, 'A') + "\npart2=BB\npart3=CC\n"
        << P::PartTooLong;
}

void TestFingerprintCommands::notTemplateFiles() {
    QFETCH(QByteArray, text);
    QFETCH(fp::TemplateFileProblem, problem);
    const fp::TemplateFileRead read =
        fp::ParseTemplateFile(std::string_view(text.constData(), text.size()));
    QCOMPARE(read.problem, problem);
    QCOMPARE(read.file.has_value(), problem == fp::TemplateFileProblem::None);
    if (read.file) QCOMPARE(read.file->parts[2], std::string("CC"));
}

QTEST_MAIN(TestFingerprintCommands)
#include "tst_fingerprint_commands.moc"
