// tagbench-cli run as a process against simulated readers on pseudo-terminals: what goes over
// the line, what it prints (text and JSON lines), and its exit statuses.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <csignal>

#include "CliProcess.h"
#include "Ser2net.h"
#include "cli/Plan.h"

using namespace clitest;

namespace {}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void portsListsTheMapWithDevices();
    void scan_data();
    void scan();
    void scanPrintsATableAndNoProgressToAPipe();
    void info_data();
    void info();
    void commandFrames_data();
    void commandFrames();
    void traceShowsTheFramesAsTheStatusBar();
    void applyWithOneUnreachableReader();
    void exitStatuses_data();
    void exitStatuses();
    void readCards_data();
    void readCards();
    void ctrlCEndsTheReading();
    void ctrlCEndsTheCensus();
    void infoThroughASerialDeviceServer();
};

void TestCli::portsListsTheMapWithDevices() {
    Layout layout("L M L");
    const Cli cli(layout.lines.ports());
    const CliRun run = cli.run({"ports", "--json"});
    QCOMPARE(run.exit, 0);
    QStringList ports;
    for (const QJsonObject& port : run.objects("port")) {
        if (port.value("number").toInt() > 3) continue;  // the machine's own serial devices
        ports << QStringList{port.value("port").toString(), port.value("device").toString(),
                             port.value("description").toString(),
                             port.value("exists").toBool() ? "exists" : "missing"}
                     .join(' ');
    }
    QCOMPARE(ports, QStringList({
                        "COM1 " + QString::fromStdString(layout.line(1).devicePath()) +
                            " TAGBENCH_PORTS exists",
                        "COM2 /nonexistent/tty2 TAGBENCH_PORTS (missing) missing",
                        "COM3 " + QString::fromStdString(layout.line(3).devicePath()) +
                            " TAGBENCH_PORTS exists",
                    }));
}

void TestCli::scan_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("readers");  // "COMn TYPE ID SETTINGS-INDEX SERIAL"
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("heard");  // "n:commands" heard on COMn, when it matters

    QTest::newRow("locked walk: two probes a port, the reader on the third")
        << "L L L" << QStringList{"3 PX10 04 5 SER00003"} << "--ports COM1,COM2,COM3 --lock" << 0
        << QStringList{"COM3 19200,e,8,1 04 SER00003"}
        << QStringList{"1:A00B A00B", "2:A00B A00B", "3:A00B A04V"};
    QTest::newRow("the quick try goes first and ends the scan")
        << "L L" << QStringList{"2 PX10 01 2 SER00002"}
        << "--port COM2 --settings 9600,n,8,1 --ports COM1,COM2 --lock" << 0
        << QStringList{"COM2 9600,n,8,1 01 SER00002"} << QStringList{"1:", "2:A00B A01V"};
    QTest::newRow("unlocked walk: the line settings in list order")
        << "L" << QStringList{"1 PX10 01 2 SER00001"} << "--ports COM1" << 0
        << QStringList{"COM1 9600,n,8,1 01 SER00001"}
        << QStringList{"1:A00B A00B A00B A00B A00B A01V"};
    QTest::newRow("a reader of another family does not answer")
        << "L" << QStringList{"1 PX40 01 5 SER00001"} << "--ports COM1 --lock" << 1 << QStringList{}
        << QStringList{"1:A00B A00B"};
    QTest::newRow("keypad readers are probed with H")
        << "L" << QStringList{"1 PX40 07 5 SER00007"} << "--ports COM1 --lock --type PX40" << 0
        << QStringList{"COM1 19200,e,8,1 07 SER00007"} << QStringList{"1:H00B H07V"};
    QTest::newRow("a port that does not open is skipped")
        << "M L" << QStringList{"2 PX10 01 5 SER00002"} << "--ports COM1,COM2 --lock" << 0
        << QStringList{"COM2 19200,e,8,1 01 SER00002"} << QStringList{};
    QTest::newRow("no port opens") << "M M" << QStringList{} << "--ports COM1,COM2 --lock" << 3
                                   << QStringList{} << QStringList{};
    QTest::newRow("the walk stops at the first reader")
        << "L L L" << QStringList{"1 PX10 01 5 SER00001", "3 PX10 03 5 SER00003"}
        << "--ports COM1,COM2,COM3 --lock" << 0 << QStringList{"COM1 19200,e,8,1 01 SER00001"}
        << QStringList{"2:", "3:"};
    QTest::newRow("--all goes on after a find")
        << "L L L" << QStringList{"1 PX10 01 5 SER00001", "3 PX10 03 5 SER00003"}
        << "--ports COM1,COM2,COM3 --lock --all" << 0
        << QStringList{"COM1 19200,e,8,1 01 SER00001", "COM3 19200,e,8,1 03 SER00003"}
        << QStringList{"2:A00B A00B"};
    QTest::newRow("parallel: the reader on the last of four ports")
        << "L L L L" << QStringList{"4 PX10 09 5 SER00009"}
        << "--ports COM1,COM2,COM3,COM4 --lock --parallel" << 0
        << QStringList{"COM4 19200,e,8,1 09 SER00009"} << QStringList{};
    QTest::newRow("parallel --all: every reader, in port order")
        << "L L L" << QStringList{"3 PX10 03 5 SER00003", "1 PX10 01 5 SER00001"}
        << "--ports COM3,COM2,COM1 --lock --parallel --all" << 0
        << QStringList{"COM1 19200,e,8,1 01 SER00001", "COM3 19200,e,8,1 03 SER00003"}
        << QStringList{"2:A00B A00B"};
    QTest::newRow("parallel, unlocked: each port walks its line settings")
        << "L L" << QStringList{"2 PX10 05 2 SER00005"} << "--ports COM1,COM2 --parallel" << 0
        << QStringList{"COM2 9600,n,8,1 05 SER00005"} << QStringList{};
}

void TestCli::scan() {
    QFETCH(QString, layout);
    QFETCH(QStringList, readers);
    QFETCH(QString, args);
    QFETCH(int, exit);
    QFETCH(QStringList, found);
    QFETCH(QStringList, heard);
    Layout lines(layout);
    for (const QString& reader : readers) {
        const QStringList f = Words(reader);
        AddReader(lines.line(f[0].toInt()), Kind(f[1]), f[2].toInt(), f[4].toStdString(),
                  f[3].toInt());
    }
    const Cli cli(lines.lines.ports());
    const CliRun run = cli.run(QStringList{"scan", "--json"} + Words(args));
    QCOMPARE(run.exit, exit);
    QCOMPARE(Readers(run), found);
    QVERIFY(OutcomeAgrees(run));
    for (const QString& expected : heard) {
        const int port = expected.section(':', 0, 0).toInt();
        QCOMPARE(QString("%1:%2").arg(port).arg(Heard(lines.line(port))), expected);
    }
}

void TestCli::scanPrintsATableAndNoProgressToAPipe() {
    Layout layout("L");
    AddReader(layout.line(1), ReaderKind::PX50, 12, "0000ABCD");
    const Cli cli(layout.lines.ports());
    const CliRun run = cli.run({"scan", "--ports", "COM1", "--lock", "--type", "PX50"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.out, QString("PORT  SETTINGS     ID  SERIAL    VERSION\n"
                              "COM1  19200,e,8,1  12  0000ABCD  V2.31-0542 PX50\n"));
    QCOMPARE(run.err, QString());
}

void TestCli::info_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("withId");     // else found with the probe to ID 00
    QTest::addColumn<QString>("silent");  // a command the reader does not answer
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("settings");

    const QString output = "interface=RS485 wiegand=Wiegand 42 rs485=RS485 64";
    const QString card = " cardType=SECURITY";
    const QString keypad = " keyNumber=7 keyParity=With Parity";
    const QString keyStatus = " keyStatusNumber=5 keyDelaySeconds=12";
    const QString location = " idSector=3 idBlock=2 idByte=1 idKey=Key B idKeyError=BEEP";
    const QString ok = "Reader find ok. (COM : #1)";
    QTest::newRow("PX10") << "PX10" << true << "" << 0 << ok << output + card;
    QTest::newRow("PX40") << "PX40" << false << "" << 0 << ok << output + card + keypad;
    QTest::newRow("PX30M") << "PX30M" << true << "" << 0 << ok << output + location;
    QTest::newRow("PX40M") << "PX40M" << false << "" << 0 << ok
                           << output + keypad + keyStatus + location;
    QTest::newRow("PX50") << "PX50" << true << "" << 0 << ok << output + card;
    QTest::newRow("PX50M") << "PX50M" << false << "" << 0 << ok << output;
    QTest::newRow("PX60") << "PX60" << true << "" << 0 << ok << output + card;
    QTest::newRow("PX60M") << "PX60M" << false << "" << 0 << ok << output;
    QTest::newRow("no version: not linked")
        << "PX10" << true << "V" << 1 << "Reader data error! (COM : #1)"
        << "";
    QTest::newRow("version but no output settings")
        << "PX40" << true << "A" << 1 << "Reader data error! (COM : #1)"
        << "";
    QTest::newRow("a silent key number is left out, the read-out goes on")
        << "PX40" << true << "L" << 0 << ok << output + card + " keyParity=With Parity";
}

void TestCli::info() {
    QFETCH(QString, type);
    QFETCH(bool, withId);
    QFETCH(QString, silent);
    QFETCH(int, exit);
    QFETCH(QString, message);
    QFETCH(QString, settings);
    Layout layout("L");
    const ReaderKind kind = Kind(type);
    tbsim::SimReader* reader = AddReader(layout.line(1), kind, 23, "SER00023");
    tbsim::ReaderConfig config = reader->config();
    config.interfaceIndex = 1;
    config.wiegandIndex = 2;
    config.rs485Index = 3;
    config.cardTypeIndex = 2;
    config.keyParity = 1;
    config.keyNumber = 7;
    config.keyStatusNumber = 5;
    config.keyDelaySeconds = 12;
    config.idSector = 3;
    config.idBlock = 2;
    config.idByte = 1;
    config.idKeyType = 1;
    config.idKeyErrSignal = 2;
    if (!silent.isEmpty()) config.silentCommands.insert(silent.toStdString());
    reader->setConfig(config);

    const Cli cli(layout.lines.ports());
    QStringList args{"info", "--port", "COM1", "--type", type, "--json"};
    if (withId)
        args << "--id"
             << "23";
    const CliRun run = cli.run(args);
    QCOMPARE(run.exit, exit);
    QCOMPARE(run.outcome().value("message").toString(), message);
    QVERIFY(OutcomeAgrees(run));
    const auto readers = run.objects("reader");
    QCOMPARE(readers.size(), 1);
    const QJsonObject& read = readers.front();
    QCOMPARE(read.value("type").toString(), type);
    QCOMPARE(read.value("id").toString(), QString("23"));
    QCOMPARE(read.value("serial").toString(), QString("SER00023"));
    if (silent == "V")
        QVERIFY(read.value("version").isNull());
    else
        QCOMPARE(read.value("version").toString(),
                 QString::fromStdString(tbsim::DefaultVersion(kind)).trimmed());
    QCOMPARE(SettingsOf(read), settings);
}

// One row: the rows of every command are the in-process test's (tst_cli_actions).
void TestCli::commandFrames_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("silent");  // "all": the line's replies are lost; else a command
    QTest::addColumn<QString>("heard");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("values");  // what a get read

    QTest::newRow("set-id without --id: the new ID checked, then the reader's ID found")
        << "PX10"
        << "set-id 05"
        << ""
        << "A05B A00B A01B A01CCAFE004205" << 0 << "Set ID ok."
        << "";
}

void TestCli::commandFrames() {
    QFETCH(QString, type);
    QFETCH(QString, args);
    QFETCH(QString, silent);
    QFETCH(QString, heard);
    QFETCH(int, exit);
    QFETCH(QString, message);
    QFETCH(QString, values);
    Layout layout("L");
    tbsim::SimReader* reader = AddReader(layout.line(1), Kind(type), 1);
    if (silent == "all") {
        layout.line(1).setFault({tbsim::Fault::Silence});
    } else if (!silent.isEmpty()) {
        auto config = reader->config();
        config.silentCommands.insert(silent.toStdString());
        reader->setConfig(config);
    }
    const Cli cli(layout.lines.ports());
    const CliRun run =
        cli.run(Words(args) + QStringList{"--port", "COM1", "--type", type, "--json"});
    QCOMPARE(Heard(layout.line(1)), heard);
    QCOMPARE(run.exit, exit);
    QCOMPARE(run.outcome().value("message").toString(), message);
    QVERIFY(OutcomeAgrees(run));
    const auto read = run.objects("settings");
    QCOMPARE(read.isEmpty() ? QString() : SettingsOf(read.front()), values);
}

void TestCli::traceShowsTheFramesAsTheStatusBar() {
    Layout layout("L");
    AddReader(layout.line(1), ReaderKind::PX10, 1, "12345678");
    const Cli cli(layout.lines.ports());
    const CliRun run = cli.run({"get-interface", "--port", "COM1", "--id", "01", "--trace"});
    QCOMPARE(run.exit, 0);
    // "A01B": 09 ^ 41 ^ 30 ^ 31 ^ 42 = 0B. The reply "\nA01B12345678": 0A ^ 41 ^ 30 ^ 31 ^ 42 = 08,
    // and 31 ^ 32 ^ ... ^ 38 = 08, so its checksum is 00.
    QVERIFY2(run.err.startsWith("COM1 > [09]A01B0B[0D]\nCOM1 < [0A]A01B1234567800[0D]\n"),
             qPrintable(run.err));
    QCOMPARE(run.out, QString("interface  Wiegand\nwiegand    Wiegand 26\nrs485      RS485 32\n"));
    QVERIFY2(run.err.endsWith("\nGet reader interface ok.\n"), qPrintable(run.err));
}

void TestCli::applyWithOneUnreachableReader() {
    Layout layout("L L L M");
    tbsim::SimReader* first = AddReader(layout.line(1), ReaderKind::PX10, 1, "SER00001");
    tbsim::SimReader* third = AddReader(layout.line(3), ReaderKind::PX40, 7, "SER00007");
    const Cli cli(layout.lines.ports());
    const QString plan = cli.path("plan.csv");
    QFile file(plan);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "# port,type,id,new_id,interface,card_type,new_settings\n"
        "port,type,id,new_id,interface,card_type,new_settings\n"
        "COM1,PX10,01,11,rs485 34 64,KORVA,\n"
        "COM2,PX10,05,06,,,\n"
        "COM3,PX40,07,08,,,\"9600,n,8,1\"\n"
        "COM4,PX10,,02,,,\n");
    file.close();
    const QString results = cli.path("results.csv");
    const CliRun run = cli.run({"apply", plan, "--results", results, "--json"});
    QCOMPARE(run.exit, 1);
    QVERIFY(OutcomeAgrees(run));

    QStringList rows;
    for (const QJsonObject& row : run.objects("row")) {
        rows << QStringList{QString::number(row.value("line").toInt()),
                            row.value("status").toString(), row.value("id").toString(),
                            row.value("settings").toString(),
                            row.value("messages").toVariant().toStringList().join("; ")}
                    .join(' ');
    }
    QCOMPARE(rows, QStringList({
                       "3 ok 11 19200,e,8,1 Set ID ok.; Set reader interface ok.; Set card type "
                       "ok.; Reader find ok. (COM : #1)",
                       "4 not-found 05 19200,e,8,1 Reader not find",
                       "5 ok 08 9600,n,8,1 Set ID ok.; Set Reader baud rate ok.; Reader find ok. "
                       "(COM : #3)",
                       "6 port  19200,e,8,1 Open COM : 4 Error",
                   }));

    // The results table says the same, row for row.
    QFile table(results);
    QVERIFY(table.open(QIODevice::ReadOnly));
    std::string error;
    const auto records = cli::ParseCsv(table.readAll().toStdString(), error);
    QVERIFY2(records, error.c_str());
    QStringList statuses;
    for (const cli::CsvRecord& record : *records)
        statuses << QString::fromStdString(record.fields.at(6));
    QCOMPARE(statuses, QStringList({"status", "ok", "not-found", "ok", "port"}));

    // The readers took their settings; the third one was addressed by its new ID once it had it.
    QCOMPARE(first->config().id, 11);
    QCOMPARE(first->config().interfaceIndex, 1);
    QCOMPARE(first->config().wiegandIndex, 1);
    QCOMPARE(first->config().rs485Index, 3);
    QCOMPARE(first->config().cardTypeIndex, 1);
    QCOMPARE(third->config().id, 8);
    QCOMPARE(third->config().lineSettings, std::string("9600,n,8,1"));
    QCOMPARE(Heard(layout.line(3)), QString("H08B H07B H07B H07CSER0000708 H08B H08E2 H08B"));
}

void TestCli::exitStatuses_data() {
    // "L": PX10 ID 01 on a line, "E": an empty line, "M": a missing device, "H": a line this
    // test holds (flock), "R": a network port nothing listens on, "G": PX10 ID 01 on a line
    // that vanishes at the first reply
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit");
    // the start of standard output (help), else a part of standard error: only results are
    // printed on standard output
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");  // a part of standard error

    const QStringList port{"--port", "COM1"};
    QTest::newRow("no arguments") << "L" << QStringList{} << 2 << ""
                                  << "no subcommand";
    QTest::newRow("help") << "L" << QStringList{"--help"} << 0 << "Usage: tagbench-cli SUBCOMMAND"
                          << "";
    QTest::newRow("help of a subcommand")
        << "L" << QStringList{"census", "--help"} << 0 << "Usage: tagbench-cli census"
        << "";
    QTest::newRow("line settings that are not in the list")
        << "L" << QStringList{"info", "--settings", "19200,x,8,1"} + port << 2 << ""
        << "--settings: '19200,x,8,1'";
    QTest::newRow("a new ID out of range") << "L" << QStringList{"set-id", "100"} + port << 2 << ""
                                           << "new-id 100 is outside 1 to 99";
    QTest::newRow("an over-long command test")
        << "L" << QStringList{"send", QString(1038, 'X'), "--id", "1"} + port << 2
        << "Command test error! (nothing was sent)"
        << "the text is 1038 bytes long";
    // Exit status 3: the outcome, then why and what to do.
    QTest::newRow("a port that is not in the map")
        << "L" << QStringList{"info", "--port", "COM9"} << 3 << "Open COM : 9 Error\n"
        << "tagbench-cli: COM9 names no device. Choose a port from the list";
    QTest::newRow("a port whose device does not exist")
        << "M" << QStringList{"info"} + port << 3 << "Open COM : 1 Error\n"
        << "tagbench-cli: /nonexistent/tty1 does not exist: the adapter is unplugged";
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QTest::newRow("a port that another program holds")
        << "H" << QStringList{"set-id", "2", "--id", "1"} + port << 3 << "Open COM : 1 Error\n"
        << "is held by another program: tst_cli (process " + pid +
               ", flock). Close tst_cli, or end it with: kill " + pid;
    QTest::newRow("a network port that refuses the connection")
        << "R" << QStringList{"scan", "--ports", "COM1", "--lock"} << 3 << "Open COM : 1 Error\n"
        << " refused the connection. Check the address and TCP port";
    QTest::newRow("no reader on the line")
        << "E" << QStringList{"info", "--id", "1"} + port << 1 << "Reader not find\n"
        << "";
    QTest::newRow("no reader on the line, no --id")
        << "E" << QStringList{"set-read-mode", "enabled"} + port << 1
        << "Reader not find (no single reader answered ID 00"
        << "";
    QTest::newRow("a setter nobody answers")
        << "E" << QStringList{"set-card-type", "EM", "--id", "3"} + port << 1
        << "Set card type error! (the reader stayed silent)"
        << "";
    QTest::newRow("a line that vanishes during the exchange")
        << "G" << QStringList{"get-interface", "--id", "1"} + port << 1
        << "Get reader interface error! (/dev/"
        << "";
    QTest::newRow("census of a missing port")
        << "M" << QStringList{"census"} + port << 3 << "Open COM : 1 Error"
        << "";
    QTest::newRow("census that finds nobody")
        << "E" << QStringList{"census", "--ids", "3-4"} + port << 1 << "Reader not find\n"
        << "";
    QTest::newRow("card reading on a missing port")
        << "M" << QStringList{"read-cards", "--id", "1"} + port << 3 << "Open COM : 1 Error"
        << "";
}

void TestCli::exitStatuses() {
    QFETCH(QString, layout);
    QFETCH(QStringList, args);
    QFETCH(int, exit);
    QFETCH(QString, out);
    QFETCH(QString, err);
    Layout lines(layout == "M" ? "M" : "L");
    const QString refusing = QString("rfc2217://127.0.0.1:%1").arg(Ser2net::FreePort());
    int held = -1;
    if (layout == "L" || layout == "G") AddReader(lines.line(1), ReaderKind::PX10, 1);
    if (layout == "G") lines.line(1).setFault({tbsim::Fault::LineGone});
    if (layout == "H") {
        AddReader(lines.line(1), ReaderKind::PX10, 1);
        held = ::open(lines.line(1).devicePath().c_str(), O_RDWR | O_NOCTTY);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
    }
    const Cli cli(layout == "R" ? "COM1=" + refusing : lines.lines.ports());
    const CliRun run = cli.run(args);
    // In JSON the reason and the advice are the outcome's detail.
    const CliRun json = exit == 3 ? cli.run(args + QStringList{"--json"}) : CliRun{};
    if (held >= 0) ::close(held);
    QCOMPARE(run.exit, exit);
    if (exit == 0)
        QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
    else
        QVERIFY2(run.out.isEmpty() && run.err.contains(out), qPrintable(run.out + run.err));
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    if (layout == "G")
        QVERIFY2(run.err.contains(" vanished during the exchange: the adapter was unplugged."),
                 qPrintable(run.err));
    if (exit == 3) {
        QCOMPARE(json.outcome().value("reason").toString(), QString("port"));
        const QString detail = json.outcome().value("detail").toString();
        QVERIFY2(!detail.isEmpty() && run.err.contains(detail), qPrintable(run.err));
    }
    // Refused before the port: nothing went over the line.
    if (exit == 2 && layout != "M") QCOMPARE(Heard(lines.line(1)), QString());
}

void TestCli::readCards_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<bool>("silent");  // the line's replies are lost
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("shown");  // "kind message | hex decimal keys"
    QTest::addColumn<QString>("heard");

    QTest::newRow("plain: a card, then keys, one a line")
        << "--count 2" << false << 0
        << QStringList{"card Card ID : 0010531008(D)  00A0B0C0(H) | 00A0B0C0 0010531008 -",
                       "keys KEY : 1234 | - - 1234"}
        << "A01F A01F";
    QTest::newRow("two-way, refused: every card answered J, J, H2")
        << "--two-way --invalid --count 1" << false << 0
        << QStringList{"card Card ID : 0010531008(D)  0000000000A0B0C0(H) | 0000000000A0B0C0 "
                       "0010531008 -"}
        << "A01I A01J A01J A01H2";
    QTest::newRow("a poll without a reply ends the reading")
        << "--count 5" << true << 1 << QStringList{} << "A01F";
}

void TestCli::readCards() {
    QFETCH(QString, args);
    QFETCH(bool, silent);
    QFETCH(int, exit);
    QFETCH(QStringList, shown);
    QFETCH(QString, heard);
    Layout layout("L");
    tbsim::SimReader* reader = AddReader(layout.line(1), ReaderKind::PX10, 1);
    reader->presentCardId("00A0B0C0");
    reader->presentKeys("1234");
    if (silent) layout.line(1).setFault({tbsim::Fault::Silence});
    const Cli cli(layout.lines.ports());
    const CliRun run =
        cli.run(QStringList{"read-cards", "--port", "COM1", "--id", "1", "--json"} + Words(args));
    QCOMPARE(run.exit, exit);
    QVERIFY(OutcomeAgrees(run));
    QStringList got;
    for (const QJsonObject& object : run.objects()) {
        const QString kind = object.value("kind").toString();
        if (kind == "outcome") continue;
        const auto part = [&](const char* key) {
            return object.value(key).isString() ? object.value(key).toString() : QString("-");
        };
        got << QString("%1 %2 | %3 %4 %5")
                   .arg(kind, part("message"), part("hex"), part("decimal"), part("keys"));
    }
    QCOMPARE(got, shown);
    QCOMPARE(run.outcome().value("cards").toInt(), shown.size());
    QCOMPARE(Heard(layout.line(1)), heard);
    if (exit == 1) QCOMPARE(run.outcome().value("message").toString(), QString("Reader not find"));
    if (args.contains("--invalid")) {
        QCOMPARE(reader->config().cardsRefused, 1);
        QCOMPARE(reader->config().cardsAccepted, 0);
    }
}

void TestCli::ctrlCEndsTheReading() {
    Layout layout("L");
    tbsim::SimReader* reader = AddReader(layout.line(1), ReaderKind::PX10, 1);
    auto config = reader->config();
    config.cardInField = "00A0B0C0";  // reported on every poll
    reader->setConfig(config);
    const Cli cli(layout.lines.ports());
    QProcess process;
    cli.start(process, {"read-cards", "--port", "COM1", "--id", "1"});
    QVERIFY(process.waitForStarted());
    // Ctrl+C is taken once the reading runs: after its first card.
    while (!process.canReadLine()) QVERIFY(process.waitForReadyRead(kFinishMs));
    QCOMPARE(process.readLine(), QByteArray("Card ID : 0010531008(D)  00A0B0C0(H)\n"));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(kFinishMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    // It ended after its current poll: whatever came after the first line is whole cards.
    for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
        QVERIFY(line.isEmpty() || line == "Card ID : 0010531008(D)  00A0B0C0(H)");
}

// Ctrl+C during a census: the readers it printed as they answered, then the outcome, exit 130.
void TestCli::ctrlCEndsTheCensus() {
    Layout layout("L");
    AddReader(layout.line(1), ReaderKind::PX10, 1, "SER00001");
    AddReader(layout.line(1), ReaderKind::PX10, 2, "SER00002");
    const Cli cli(layout.lines.ports());
    QProcess process;
    cli.start(process, {"census", "--port", "COM1"});
    QVERIFY(process.waitForStarted());
    QByteArray out;
    while (!out.contains("SER00002")) {
        QVERIFY(process.waitForReadyRead(kFinishMs));
        out += process.readAllStandardOutput();
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(kFinishMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    out += process.readAllStandardOutput();
    QCOMPARE(out, QByteArray("PORT  SETTINGS     ID  SERIAL    VERSION\n"
                             "COM1  19200,e,8,1  01  SER00001  V2.31-0542 PX10\n"
                             "COM1  19200,e,8,1  02  SER00002  V2.31-0542 PX10\n"));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.startsWith("stopped by Ctrl+C after ID ") && err.endsWith(", 2 readers found\n"),
             qPrintable(err));
}

// The reader behind a real ser2net, reached as an rfc2217:// port of the port map.
void TestCli::infoThroughASerialDeviceServer() {
    QVERIFY2(!Ser2net::Program().isEmpty(), "ser2net is not installed (run scripts/setup)");
    Layout layout("L");
    AddReader(layout.line(1), ReaderKind::PX40, 7, "SER00007");
    Ser2net server;
    QVERIFY2(server.start(layout.line(1).devicePath()), qPrintable(server.error()));
    const Cli cli("COM20=" + server.rfc2217Url());
    const CliRun run = cli.run({"info", "--port", "COM20", "--type", "PX40", "--json"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(Readers(run), QStringList{"COM20 19200,e,8,1 07 SER00007"});
    QCOMPARE(run.outcome().value("message").toString(), QString("Reader find ok. (COM : #20)"));
    QCOMPARE(Heard(layout.line(1)), QString("H00B H07V H07A H07L H07M"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
