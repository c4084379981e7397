// tagbench-cli's MIFARE, display and system-utility subcommands as a process against simulated
// readers: one subcommand of each page through the process, what the reader holds afterwards,
// and what is refused before anything goes over the line. The frames of every subcommand are
// checked in-process, in tst_cli_actions.
#include <QFile>
#include <QImage>

#include "CliProcess.h"

using namespace clitest;

namespace {

// One reader of `type`, ID `id`, on a line of its own; a -M reader holds a 4K card as delivered.
struct Bench {
    Layout layout{"L"};
    tbsim::SimReader* reader = nullptr;
    Cli cli{layout.lines.ports()};

    explicit Bench(const QString& type, int id = 1) {
        reader = AddReader(layout.line(1), Kind(type), id);
        if (tbsim::HasMifare(Kind(type)))
            reader->presentMifareCard(
                tbsim::MakeMifareCard(tbsim::MifareSize::Classic4K, {0x5A, 0x6B, 0x7C, 0x8D}));
    }
    CliRun run(const QString& type, const QStringList& args) {
        return cli.run(args + QStringList{"--port", "COM1", "--type", type});
    }
    QString heard() { return Heard(layout.line(1)); }
};

// A 1-bit icon file: 70 bytes of headers, then 16 rows of 16 bytes, the bottom row first; a 0
// bit is a dark pixel. Only the top-left pixel is dark.
QByteArray TopLeftIcon() {
    QByteArray file(70, '\0');
    QByteArray pixels(256, '\xFF');
    pixels[15 * 16] = '\x7F';
    return file + pixels;
}

}  // namespace

class TestCliReaders : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void factoryDefault_data();
    void factoryDefault();
    void trailerWrittenThenReadWithTheNewKey();
    void blockWrittenThenRead();
    void templateCarriedToAnotherReaderThroughAFile();
    void displayHoldsWhatWasSent();
    void sendPrintsTheReplyDataField();
    void accessBits_data();
    void accessBits();
    void refusedWithNothingSent_data();
    void refusedWithNothingSent();
};

// One row for each page: its subcommands reach the reader through the process.
void TestCliReaders::frames_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("args");  // "_" stands for a space inside an argument
    QTest::addColumn<QString>("heard");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");

    QTest::newRow("reboot without --id finds the reader first")
        << "PX40"
        << "reboot"
        << "H00B H01HR" << 0 << "Set reboot ok.";
    QTest::newRow("card-ID location: sector 39, block 3, byte 31, Key A, BEEP+LED")
        << "PX30M"
        << "set-id-location 39 3 31 --key-error beep+led --id 1"
        << "A01B A01a27031F0003" << 0 << "Set sector/block/byte ok.";
    QTest::newRow("display-clock: the clock, then the hour format")
        << "PX50"
        << "display-clock --at 2027-02-01_09:05:03 --hour-format 24 --id 1"
        << "J01B J01T20270201090503 J01T1" << 0 << "Set time mode ok.";
    QTest::newRow("set-finger-id: the ID's bytes in the reader's order")
        << "PX60"
        << "set-finger-id 5 0011223344556677 --id 1"
        << "I01B I01O00000507766554433221100" << 0 << "Set fingerprint ID ok.";
}

void TestCliReaders::frames() {
    QFETCH(QString, type);
    QFETCH(QString, args);
    QFETCH(QString, heard);
    QFETCH(int, exit);
    QFETCH(QString, message);
    Bench bench(type);
    QStringList words;
    for (QString word : Words(args)) words << (word == "''" ? QString() : word.replace('_', ' '));
    const CliRun run = bench.run(type, words + QStringList{"--json"});
    QCOMPARE(bench.heard(), heard);
    QCOMPARE(run.exit, exit);
    QCOMPARE(run.outcome().value("message").toString(), message);
    QVERIFY(OutcomeAgrees(run));
}

void TestCliReaders::factoryDefault_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("message");
    QTest::newRow("PX40-M: its six commands after the new ID")
        << "PX40M"
        << "factory-default"
        << "H07B H07CCAFE004201 H01A001 H01L04 H01M0 H01N0003 H01a0000000001 H01E5"
        << "Set factory default ok.";
    QTest::newRow("PX50: Zi after the new ID") << "PX50"
                                               << "factory-default"
                                               << "J07B J07CCAFE004201 J01Zi"
                                               << "Set factory default ok.";
    // The reader restarts at once here: the wait is one poll.
    QTest::newRow("PX60 stand-alone default: every command to the old ID")
        << "PX60"
        << "stand-alone-default"
        << "I07B I07CCAFE004201 I07A001 I07S0 I07R10005 I07R20030 I07K00000 "
           "I07K5C17A3E8429B06D1 I07R6 I07B I07E5"
        << "Set stand alone default ok.";
}

void TestCliReaders::factoryDefault() {
    QFETCH(QString, type);
    QFETCH(QString, command);
    QFETCH(QString, heard);
    QFETCH(QString, message);
    Layout layout("L");
    tbsim::SimReader* reader =
        AddReader(layout.line(1), Kind(type), 7, "CAFE0042", 2);  // 9600,n,8,1
    auto config = reader->config();
    config.keyNumber = 9;
    config.idSector = 5;
    config.fingerprint.facilityCode = 77;
    config.fingerprint.doorSeconds = 9;
    config.fingerprint.restartTime = std::chrono::milliseconds(0);
    reader->setConfig(config);
    const Cli cli(layout.lines.ports());
    const CliRun run = cli.run({command, "--port", "COM1", "--settings", "9600,n,8,1", "--type",
                                type, "--id", "7", "--json"});
    QCOMPARE(Heard(layout.line(1)), heard);
    QCOMPARE(run.exit, 0);
    const QJsonObject outcome = run.outcome();
    QCOMPARE(outcome.value("message").toString(), message);
    QCOMPARE(outcome.value("id").toString(), QString("01"));
    QCOMPARE(outcome.value("settings").toString(), QString("19200,e,8,1"));
    // The reader is where the outcome says, with its delivery settings.
    QCOMPARE(reader->config().id, 1);
    QCOMPARE(reader->config().lineSettings, std::string("19200,e,8,1"));
    if (command == "factory-default") QCOMPARE(reader->config().keyNumber, 4);
    if (type == "PX40M") QCOMPARE(reader->config().idSector, 0);
    if (type == "PX60") {
        QCOMPARE(reader->config().fingerprint.facilityCode, 0);
        QCOMPARE(reader->config().fingerprint.doorSeconds, 5);
    }
    const CliRun again = cli.run({"get-interface", "--port", "COM1", "--type", type, "--id", "1"});
    QCOMPARE(again.exit, 0);
}

void TestCliReaders::trailerWrittenThenReadWithTheNewKey() {
    Bench bench("PX30M");
    const QString newKeyA = "A0A1A2A3A4A5";
    // Data blocks readable with either key, the trailer managed with Key A.
    CliRun run = bench.run("PX30M", {"write-trailer", "3", "--key-a", newKeyA, "--conditions",
                                     "000,000,000,001", "--id", "1"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.err, QString("Set card key ok.\n"));
    bench.heard();

    // The transport key no longer opens the sector; the new one does.
    run = bench.run("PX30M", {"read-block", "3", "0", "--id", "1", "--json"});
    QCOMPARE(run.exit, 1);
    QVERIFY(run.objects("block").isEmpty());
    QCOMPARE(run.outcome().value("detail").toString(), QString("the reader answered status 02"));
    run = bench.run("PX30M", {"read-block", "3", "0", "--key-hex", newKeyA, "--id", "1", "--json"});
    QCOMPARE(run.exit, 0);
    const auto blocks = run.objects("block");
    QCOMPARE(blocks.size(), 1);
    QCOMPARE(blocks.front().value("cardBlock").toInt(), 0x0C);
    QCOMPARE(blocks.front().value("data").toString(), QString(32, '0'));

    // The new key kept in the reader's EEPROM opens it too.
    QCOMPARE(bench.run("PX30M", {"store-key", "3", newKeyA, "--id", "1"}).exit, 0);
    run = bench.run("PX30M", {"read-block", "3", "1", "--eeprom", "--id", "1"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.out, QString("sector      03\n"
                              "block       1\n"
                              "card block  0D\n"
                              "data        00000000000000000000000000000000\n"));
}

void TestCliReaders::blockWrittenThenRead() {
    Bench bench("PX40M");
    const QString data = "0123456789ABCDEF0123456789ABCDEF";
    CliRun run = bench.run("PX40M", {"write-block", "35", "12", data.toLower(), "--json"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.objects("block").front().value("data").toString(), data);
    run = bench.run("PX40M", {"read-block", "35", "12", "--json"});
    QCOMPARE(run.exit, 0);
    const QJsonObject block = run.objects("block").front();
    QCOMPARE(block.value("sector").toInt(), 35);
    QCOMPARE(block.value("block").toInt(), 12);
    QCOMPARE(block.value("cardBlock").toInt(), 0xBC);
    QCOMPARE(block.value("data").toString(), data);
}

void TestCliReaders::templateCarriedToAnotherReaderThroughAFile() {
    Layout layout("L L");
    tbsim::SimReader* from = AddReader(layout.line(1), ReaderKind::PX60, 1);
    tbsim::SimReader* to = AddReader(layout.line(2), ReaderKind::PX60M, 4);
    const Cli cli(layout.lines.ports());
    const auto run = [&](int port, const QString& type, const QStringList& args) {
        return cli.run(args + QStringList{"--port", QString::number(port), "--type", type});
    };
    QCOMPARE(run(1, "PX60", {"add-finger", "5", "--id", "1"}).exit, 0);
    const QString file = cli.path("finger5.fpt");
    CliRun got = run(1, "PX60", {"get-template", "5", "--out", file, "--id", "1", "--json"});
    QCOMPARE(got.exit, 0);
    QCOMPARE(got.outcome().value("file").toString(), file);
    QVERIFY(got.objects("template").isEmpty());  // the parts went to the file only

    const CliRun put = run(2, "PX60M", {"put-template", "9", file, "--id", "4"});
    QCOMPARE(put.exit, 0);
    QCOMPARE(put.err, QString("Set template data ok.\n"));
    const auto parts = tbsim::EnrolledTemplate(5);
    QCOMPARE(from->config().fingerprint.fingerSlots.at(5).parts, parts);
    QCOMPARE(to->config().fingerprint.fingerSlots.at(9).parts, parts);

    // A damaged file is refused before anything goes over the line.
    Heard(layout.line(2));
    QFile damaged(file);
    QVERIFY(damaged.open(QIODevice::Append));
    damaged.write("part4=00\n");
    damaged.close();
    const CliRun refused = run(2, "PX60M", {"put-template", "9", file, "--id", "4"});
    QCOMPARE(refused.exit, 2);
    QVERIFY2(refused.err.contains("Not a template file."), qPrintable(refused.err));
    QCOMPARE(Heard(layout.line(2)), QString());
}

void TestCliReaders::displayHoldsWhatWasSent() {
    Bench bench("PX50M");
    const auto send = [&](const QStringList& args) {
        return bench.run("PX50M", args + QStringList{"--id", "1"}).exit;
    };
    QCOMPARE(send({"small-message", "Hi there"}), 0);
    QCOMPARE(send({"title", "2", "门门", "--code-page", "gbk"}), 0);
    QCOMPARE(send({"display-password", "77"}), 0);
    QCOMPARE(send({"display-language", "simplified"}), 0);
    const QString icon = bench.cli.path("logo.ico");
    QFile file(icon);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(TopLeftIcon());
    file.close();
    QCOMPARE(send({"title-icon", icon}), 0);

    const tbsim::DisplayState display = bench.reader->config().display;
    QCOMPARE(display.smallMessage, "Hi there" + std::string(56, ' '));
    QCOMPARE(display.title2, "\xC3\xC5\xC3\xC5" + std::string(12, ' '));
    QCOMPARE(display.password, std::string("77"));
    QCOMPARE(display.language, 2);
    QCOMPARE(display.titleMode, 2);  // the icon came after the title
    QCOMPARE(display.iconPartsReceived, 0xFFu);
    QVERIFY(tbsim::IconPixelDark(display, 0, 0));
    QVERIFY(!tbsim::IconPixelDark(display, 1, 0));
    QVERIFY(!tbsim::IconPixelDark(display, 0, 1));
    QVERIFY(!tbsim::IconPixelDark(display, 127, 15));

    // A picture goes out as the window sends it: here the bottom-right pixel alone is dark.
    QImage picture(128, 16, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(127, 15, qRgb(0, 0, 0));
    const QString png = bench.cli.path("logo.png");
    QVERIFY(picture.save(png));
    QCOMPARE(send({"title-icon", png}), 0);
    const tbsim::DisplayState after = bench.reader->config().display;
    QVERIFY(tbsim::IconPixelDark(after, 127, 15));
    QVERIFY(!tbsim::IconPixelDark(after, 0, 0));
}

void TestCliReaders::sendPrintsTheReplyDataField() {
    Bench bench("PX10");
    const QString version = QString::fromStdString(tbsim::DefaultVersion(ReaderKind::PX10));
    CliRun run = bench.run("PX10", {"send", "V", "--id", "1"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.out, "reply  " + version + "\n");
    run = bench.run("PX10", {"send", "01V", "--raw", "--json"});
    QCOMPARE(bench.heard(), QString("A01V A01V"));
    QCOMPARE(run.outcome().value("reply").toString(), version);
    // No reply: nothing to show.
    run = bench.run("PX10", {"send", "V", "--id", "2", "--json"});
    QCOMPARE(run.exit, 1);
    QVERIFY(run.outcome().value("reply").isNull());
}

void TestCliReaders::accessBits_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::newRow("the delivery bits in words") << QStringList{"access-bits", "FF0780AA"} << 0
                                                << "access bits  FF0780AA\n"
                                                   "user byte    AA\n"
                                                   "block 0      000  read A/B, write A/B, "
                                                   "increment A/B, decrement A/B\n"
                                                   "block 1      000  read A/B, write A/B, "
                                                   "increment A/B, decrement A/B\n"
                                                   "block 2      000  read A/B, write A/B, "
                                                   "increment A/B, decrement A/B\n"
                                                   "trailer      001  key A read never, write A; "
                                                   "access bits read A, write A; key B read A, "
                                                   "write A\n";
    QTest::newRow("one block changed from the delivery bits, the user byte kept")
        << QStringList{"access-bits", "df078269"} << 0
        << "access bits  DF078269\n"
           "user byte    69\n"
           "block 0      000  read A/B, write A/B, increment A/B, decrement A/B\n"
           "block 1      010  read A/B, write never, increment never, decrement never\n"
           "block 2      000  read A/B, write A/B, increment A/B, decrement A/B\n"
           "trailer      001  key A read never, write A; access bits read A, write A; key B "
           "read A, write A\n";
    QTest::newRow("conditions encoded, locked for good")
        << QStringList{"access-bits", "--conditions", "111,111,111,110"} << 0
        << "access bits  00F87FAA\n"
           "user byte    AA\n"
           "block 0      111  read never, write never, increment never, decrement never\n"
           "block 1      111  read never, write never, increment never, decrement never\n"
           "block 2      111  read never, write never, increment never, decrement never\n"
           "trailer      110  key A read never, write never; access bits read A/B, write never; "
           "key B read never, write never\n";
    QTest::newRow("copies that disagree")
        << QStringList{"access-bits", "FF0781AA"} << 1 << "access bits  FF0781AA\n";
}

void TestCliReaders::accessBits() {
    QFETCH(QStringList, args);
    QFETCH(int, exit);
    QFETCH(QString, out);
    // No reader and no port map needed.
    const Cli cli("");
    CliRun run = cli.run(args);
    QCOMPARE(run.exit, exit);
    QCOMPARE(run.out, out);
    // JSON says the same, and the text it gives reads back to the same conditions.
    run = cli.run(args + QStringList{"--json"});
    QCOMPARE(run.exit, exit);
    QVERIFY(OutcomeAgrees(run));
    const auto described = run.objects("access-bits");
    QCOMPARE(described.size(), 1);
    if (exit != 0) return;
    const QJsonObject json = described.front();
    const QString text = json.value("text").toString();
    QVERIFY(out.startsWith("access bits  " + text));
    QCOMPARE(json.value("lockedForGood").toBool(), out.contains("110  "));
    QStringList conditions;
    for (const char* part : {"block0", "block1", "block2", "trailer"})
        conditions << json.value(part).toObject().value("condition").toString();
    run = cli.run({"access-bits", "--conditions", conditions.join(','), "--json"});
    QCOMPARE(run.objects("access-bits").front().value("text").toString().left(6), text.left(6));
}

void TestCliReaders::refusedWithNothingSent_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");  // a part of standard error

    // A frame takes 1040 characters: the prefix and 1037, or the start character and 1039.
    QTest::newRow("send: an over-long text, the reader's ID not yet known")
        << "PX10" << QStringList{"send", QString(1038, 'X')} << "the text is 1038 bytes long";
    QTest::newRow("send --raw: an over-long text")
        << "PX10" << QStringList{"send", QString(1040, 'X'), "--raw"}
        << "a command takes at most 1039";
    QTest::newRow("send: a line break inside the text")
        << "PX10" << QStringList{"send", "V\nV", "--id", "1"} << "line break";
    QTest::newRow("factory default without a reader type")
        << "" << QStringList{"factory-default", "--id", "1"} << "factory-default needs --type";
    QTest::newRow("a trailer that would spoil the sector")
        << "PX30M" << QStringList{"write-trailer", "1", "--access", "FF0781AA", "--id", "1"}
        << "give --force";
    QTest::newRow("an icon file that does not exist")
        << "PX50" << QStringList{"title-icon", "/nonexistent/logo.ico", "--id", "1"}
        << "cannot read '/nonexistent/logo.ico'";
}

void TestCliReaders::refusedWithNothingSent() {
    QFETCH(QString, type);
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    Bench bench(type.isEmpty() ? "PX10" : type);
    const CliRun run =
        bench.cli.run(args + QStringList{"--port", "COM1"} +
                      (type.isEmpty() ? QStringList{} : QStringList{"--type", type}));
    QCOMPARE(run.exit, 2);
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QCOMPARE(bench.heard(), QString());
}

QTEST_GUILESS_MAIN(TestCliReaders)
#include "tst_cli_readers.moc"
