// tagbench-cli's operations in-process, on scripted lines and a virtual clock: what goes over
// the line and what comes of it, for runs whose waits would take too long as a process.
#include <QTemporaryDir>
#include <QtTest>

#include "actions/Procedure.h"
#include "cli/Registry.h"

#include "CliRig.h"
#include "JsonSchema.h"

using clitest::CliRun;
using clitest::Readers;
using clitest::SettingsOf;
using tbsim::ReaderKind;

namespace {

QString Spaces(int count) { return QString(count, ' '); }

const QString kKey = "FFFFFFFFFFFF";

// An invocation of each subcommand that runs a reader action, on a reader of a type that has its
// page; send has one for each of its two actions.
struct Example {
    const char* subcommand;
    const char* type;
    const char* args;  // "FILE" stands for a file the test provides
};

const std::vector<Example>& Examples() {
    static const std::vector<Example> examples = {
        {"set-id", "PX10", "set-id 5"},
        {"set-line", "PX10", "set-line 9600,n,8,1"},
        {"set-interface", "PX10", "set-interface rs485 34 32"},
        {"get-interface", "PX10", "get-interface"},
        {"set-card-type", "PX10", "set-card-type EM"},
        {"set-read-mode", "PX10", "set-read-mode enabled"},
        {"set-key-parity", "PX40", "set-key-parity with"},
        {"get-key-parity", "PX40", "get-key-parity"},
        {"set-key-number", "PX40", "set-key-number 4"},
        {"get-key-number", "PX40", "get-key-number"},
        {"set-key-status", "PX40", "set-key-status 2 15"},
        {"get-key-status", "PX40", "get-key-status"},
        {"send", "PX10", "send V"},
        {"send", "PX10", "send 01V --raw"},
        {"reboot", "PX10", "reboot"},
        {"factory-default", "PX10", "factory-default"},
        {"set-id-location", "PX30M", "set-id-location 1 0 0"},
        {"store-key", "PX30M", "store-key 1 FFFFFFFFFFFF"},
        {"write-trailer", "PX30M", "write-trailer 1"},
        {"read-block", "PX30M", "read-block 1 0"},
        {"write-block", "PX30M", "write-block 1 0 00112233445566778899AABBCCDDEEFF"},
        {"display-language", "PX50", "display-language english"},
        {"display-password", "PX50", "display-password 1234"},
        {"display-screen-mode", "PX50", "display-screen-mode time"},
        {"display-clock", "PX50", "display-clock --at 2026-12-07T15:04:05"},
        {"small-message", "PX50", "small-message hello"},
        {"screen-message", "PX50", "screen-message hello"},
        {"clear-screen-message", "PX50", "clear-screen-message"},
        {"title", "PX50", "title 1 door"},
        {"clear-title", "PX50", "clear-title 2"},
        {"title-mode", "PX50", "title-mode text"},
        {"title-icon", "PX50", "title-icon FILE.ico"},
        {"facility-code", "PX60", "facility-code 12"},
        {"add-finger", "PX60", "add-finger 1"},
        {"delete-finger", "PX60", "delete-finger 1"},
        {"get-finger-id", "PX60", "get-finger-id 1"},
        {"set-finger-id", "PX60", "set-finger-id 1 0011223344556677"},
        {"scan-mode", "PX60", "scan-mode sensor"},
        {"get-template", "PX60", "get-template 1"},
        {"put-template", "PX60", "put-template 1 FILE.fpt"},
        {"stand-alone", "PX60", "stand-alone"},
        {"door-time", "PX60", "door-time 5"},
        {"alarm-time", "PX60", "alarm-time 30"},
        {"add-card", "PX60", "add-card"},
        {"duress-card", "PX60", "duress-card"},
        {"clear-card", "PX60", "clear-card"},
        {"stand-alone-default", "PX60", "stand-alone-default"},
    };
    return examples;
}

QStringList Where(const QString& type) { return {"--port", "COM1", "--id", "1", "--type", type}; }

// The words of an example's run: "FILE..." a file in `files`, made as the subcommand needs it.
QStringList Prepared(CliRig& rig, const QTemporaryDir& files, const QString& args,
                     const QStringList& where) {
    if (args.contains("FILE.fpt"))
        rig.run(QStringList{"get-template", "1", "--out", files.filePath("FILE.fpt")} + where);
    QFile profile(files.filePath("FILE.tbprofile"));
    if (profile.open(QIODevice::WriteOnly))
        profile.write("[profile]\nformat = 1\ntype = PX40\n[settings]\nset-key-number = 4\n");
    QFile icon(files.filePath("FILE.ico"));
    if (icon.open(QIODevice::WriteOnly)) icon.write(QByteArray(70 + 256, '\0'));
    QFile plan(files.filePath("FILE.csv"));
    if (plan.open(QIODevice::WriteOnly)) plan.write("port,id,new_id\nCOM1,1,5\nCOM1,7,8\n");
    QStringList words;
    for (const QString& word : args.split(' '))
        words << (word.startsWith("FILE") ? files.filePath(word) : word);
    return words + where;
}

// Reader actions no subcommand declares, and why. None today.
const std::vector<std::pair<actions::ActionId, const char*>> kExempt = {};

}  // namespace

class TestCliActions : public QObject {
    Q_OBJECT
private slots:
    void censusOfABusWithThreeReaders();
    void censusAtAShorterSilence();
    void readerBytesReachNoTerminal();
    void commandFrames_data();
    void commandFrames();
    void inputRules_data();
    void inputRules();
    void newIdAlreadyTaken();
    void applyPlans_data();
    void applyPlans();
    void portsAndCauses_data();
    void portsAndCauses();
    void everyActionHasASubcommand_data();
    void everyActionHasASubcommand();
    void examplePerformsItsDeclaredAction_data();
    void examplePerformsItsDeclaredAction();
    void jsonLinesKeepTheSchema_data();
    void jsonLinesKeepTheSchema();
};

void TestCliActions::censusOfABusWithThreeReaders() {
    CliRig rig;
    rig.addReader(ReaderKind::PX10, 2, 1, "SER00002");
    rig.addReader(ReaderKind::PX10, 17, 1, "SER00017");
    rig.addReader(ReaderKind::PX10, 99, 1, "SER00099");
    rig.addReader(ReaderKind::PX40, 5, 1, "SER00005");  // another family: "A05B" is not for it
    const CliRun run = rig.run({"census", "--port", "COM1", "--json"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(Readers(run),
             QStringList({"COM1 19200,e,8,1 02 SER00002", "COM1 19200,e,8,1 17 SER00017",
                          "COM1 19200,e,8,1 99 SER00099"}));
    for (const QJsonObject& reader : run.objects("reader"))
        QCOMPARE(reader.value("version").toString(),
                 QString::fromStdString(tbsim::DefaultVersion(ReaderKind::PX10)).trimmed());
    QVERIFY(clitest::OutcomeAgrees(run));
    // One reader check to every ID in turn, and the version of each reader that answered.
    QStringList expected;
    for (int id = 1; id <= 99; ++id) {
        expected << QString("A%1B").arg(id, 2, 10, QChar('0'));
        if (id == 2 || id == 17 || id == 99) expected << QString("A%1V").arg(id, 2, 10, QChar('0'));
    }
    QCOMPARE(rig.heard(), expected.join(' '));
    // Each silent ID waits out its pause and the silence limit: about 35 s of line time.
    QVERIFY(rig.clock.Elapsed() > std::chrono::seconds(30));
}

// The same bus as a table, each reader as it answered, waiting 50 ms for each silent ID.
void TestCliActions::censusAtAShorterSilence() {
    CliRig rig;
    for (const char* id : {"02", "17", "99"})
        rig.addReader(ReaderKind::PX10, std::stoi(id), 1, std::string("SER000") + id);
    const CliRun run = rig.run({"census", "-p", "COM1", "--silence", "50"});
    QCOMPARE(run.exit, 0);
    QCOMPARE(run.out, QString("PORT  SETTINGS     ID  SERIAL    VERSION\n"
                              "COM1  19200,e,8,1  02  SER00002  V2.31-0542 PX10\n"
                              "COM1  19200,e,8,1  17  SER00017  V2.31-0542 PX10\n"
                              "COM1  19200,e,8,1  99  SER00099  V2.31-0542 PX10\n"));
    QCOMPARE(run.err, QString());
    // 96 silent IDs at 50 ms pause and 50 ms silence, no longer 35 s.
    QVERIFY(rig.clock.Elapsed() < std::chrono::seconds(12));
}

// A reply with an escape sequence and a byte that is no character: escaped in the text, and
// JSON that stays UTF-8.
void TestCliActions::readerBytesReachNoTerminal() {
    CliRig rig;
    tbsim::SimReader* reader = rig.addReader(ReaderKind::PX10, 1);
    auto config = reader->config();
    config.version = "\x1B[2J\x81\\ok";
    reader->setConfig(config);
    CliRun run = rig.run({"send", "V", "-p", "1", "-i", "1"});
    QCOMPARE(run.out, QString("reply  \\x1B[2J\\x81\\\\ok\n"));
    QCOMPARE(run.err, QString("Command test ok.\n"));  // a message, not a result
    QCOMPARE(rig.run({"send", "V", "-p", "1", "-i", "1", "-q"}).err, QString());
    run = rig.run({"send", "V", "-p", "1", "-i", "1", "--json"});
    QCOMPARE(run.outcome().value("reply").toString(), QString("\\x1B[2J\\x81\\\\ok"));
}

void TestCliActions::commandFrames_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("args");    // "_" stands for a space inside an argument
    QTest::addColumn<QString>("silent");  // "all": the line's replies are lost; else a command
    QTest::addColumn<QString>("heard");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("values");  // what a get read

    QTest::newRow("set-id: a reader check to the new ID first")
        << "PX10"
        << "set-id 5 --id 1"
        << ""
        << "A05B A01B A01CCAFE004205" << 0 << "Set ID ok."
        << "";
    QTest::newRow("set-id to the reader's own ID: no check")
        << "PX10"
        << "set-id 1 --id 1"
        << ""
        << "A01B A01CCAFE004201" << 0 << "Set ID ok."
        << "";
    QTest::newRow("set-line 230400,e,8,1 sends ED")
        << "PX10"
        << "set-line 230400,e,8,1 --id 1"
        << ""
        << "A01B A01ED" << 0 << "Set Reader baud rate ok."
        << "";
    QTest::newRow("set-line 57600,e,8,1 sends E9")
        << "PX10"
        << "set-line 9 --id 1"
        << ""
        << "A01B A01E9" << 0 << "Set Reader baud rate ok."
        << "";
    QTest::newRow("set-interface RS485, Wiegand 34, RS485 32")
        << "PX10"
        << "set-interface rs485 34 32 --id 1"
        << ""
        << "A01B A01A111" << 0 << "Set reader interface ok."
        << "";
    QTest::newRow("get-interface") << "PX10"
                                   << "get-interface --id 1"
                                   << ""
                                   << "A01B A01A" << 0 << "Get reader interface ok."
                                   << "interface=Wiegand wiegand=Wiegand 26 rs485=RS485 32";
    QTest::newRow("set-card-type SECURITY") << "PX60"
                                            << "set-card-type SECURITY --id 1"
                                            << ""
                                            << "I01B I01A2" << 0 << "Set card type ok."
                                            << "";
    QTest::newRow("set-read-mode enabled") << "PX10"
                                           << "set-read-mode enabled --id 1"
                                           << ""
                                           << "A01B A01W100" << 0 << "Set card read mode ok."
                                           << "";
    QTest::newRow("set-read-mode disable") << "PX10"
                                           << "set-read-mode disable --id 1"
                                           << ""
                                           << "A01B A01W000" << 0 << "Set card read mode ok."
                                           << "";
    QTest::newRow("set-key-parity with") << "PX40"
                                         << "set-key-parity with --id 1"
                                         << ""
                                         << "H01B H01M1" << 0 << "Set key parity ok."
                                         << "";
    QTest::newRow("get-key-parity") << "PX40"
                                    << "get-key-parity --id 1"
                                    << ""
                                    << "H01B H01M" << 0 << "Get key parity ok."
                                    << "keyParity=No Parity 4 bits";
    QTest::newRow("set-key-number 4 travels as two digits")
        << "PX40"
        << "set-key-number 4 --id 1"
        << ""
        << "H01B H01L04" << 0 << "Set key number ok."
        << "";
    QTest::newRow("get-key-number") << "PX40M"
                                    << "get-key-number --id 1"
                                    << ""
                                    << "H01B H01L" << 0 << "Get key number ok."
                                    << "keyNumber=4";
    QTest::newRow("set-key-status 2 15") << "PX50"
                                         << "set-key-status 2 15 --id 1"
                                         << ""
                                         << "J01B J01N0215" << 0 << "Set key status code ok."
                                         << "";
    QTest::newRow("set-key-status with a delay of 0")
        << "PX40"
        << "set-key-status 0 0 --id 1"
        << ""
        << "H01B H01N0000" << 0 << "Set key status code ok."
        << "";
    QTest::newRow("get-key-status") << "PX40"
                                    << "get-key-status --id 1"
                                    << ""
                                    << "H01B H01N" << 0 << "Get key status code ok."
                                    << "keyStatusNumber=0 keyDelaySeconds=3";
    QTest::newRow("send: the command test") << "PX10"
                                            << "send V --id 1"
                                            << ""
                                            << "A01V" << 0 << "Command test ok."
                                            << "";
    QTest::newRow("send --raw: the text carries its own address")
        << "PX10"
        << "send 00H1 --raw"
        << ""
        << "A00H1" << 0 << "Command test ok."
        << "";
    QTest::newRow("send to an ID nobody has") << "PX10"
                                              << "send V --id 2"
                                              << ""
                                              << "A02V" << 1 << "Command test error!"
                                              << "";
    QTest::newRow("silent reader: two attempts, each with its reader check")
        << "PX10"
        << "set-id 5 --id 1"
        << "all"
        << "A05B A01B A01B" << 1 << "Set ID error!"
        << "";
    QTest::newRow("a get whose command is never answered")
        << "PX40"
        << "get-key-number --id 1"
        << "L"
        << "H01B H01L H01B H01L" << 1 << "Get key number error!"
        << "";
    QTest::newRow("reboot: HR without the reader check") << "PX10"
                                                         << "reboot --id 1"
                                                         << ""
                                                         << "A01HR" << 0 << "Set reboot ok."
                                                         << "";
    QTest::newRow("card-ID location with Key B and the LED")
        << "PX30M"
        << "set-id-location 1 2 4 --key B --id 1"
        << ""
        << "A01B A01a0102040101" << 0 << "Set sector/block/byte ok."
        << "";
    QTest::newRow("store-key: sector 39 as Key B")
        << "PX40M"
        << "store-key 39 " + kKey + " --key B --id 1"
        << ""
        << "H01B H01d6127" + kKey << 0 << "Set key EEPROM ok."
        << "";
    QTest::newRow("write-trailer with the delivery values")
        << "PX30M"
        << "write-trailer 1 --id 1"
        << ""
        << "A01B A01i60" + kKey + "07" + kKey + "FF0780AA" + kKey << 0 << "Set card key ok."
        << "";
    QTest::newRow("write-trailer of sector 39: card block FF")
        << "PX60M"
        << "write-trailer 39 --conditions 000,000,000,001 --id 1"
        << ""
        << "I01B I01i60" + kKey + "FF" + kKey + "FF0780AA" + kKey << 0 << "Set card key ok."
        << "";
    QTest::newRow("write-trailer opened with Key B, which the delivery trailer lets write nothing")
        << "PX30M"
        << "write-trailer 4 --key B --id 1"
        << ""
        << "A01B A01i61" + kKey + "13" + kKey + "FF0780AA" + kKey + " A01B A01i61" + kKey + "13" +
               kKey + "FF0780AA" + kKey
        << 1 << "Set card key error!"
        << "";
    QTest::newRow("write-trailer with a wrong old key: two attempts")
        << "PX30M"
        << "write-trailer 2 --old-key 000000000000 --id 1"
        << ""
        << "A01B A01i60" + QString(12, '0') + "0B" + kKey + "FF0780AA" + kKey + " A01B A01i60" +
               QString(12, '0') + "0B" + kKey + "FF0780AA" + kKey
        << 1 << "Set card key error!"
        << "";
    QTest::newRow("read-block with the typed key")
        << "PX30M"
        << "read-block 1 2 --id 1"
        << ""
        << "A01B A01f" + kKey + " A01h6006" << 0 << "Read card data ok."
        << "";
    QTest::newRow("read-block with the stored key names the sector")
        << "PX30M"
        << "read-block 1 2 --eeprom --id 1"
        << ""
        << "A01B A01e6001 A01h6006" << 0 << "Read card data ok."
        << "";
    QTest::newRow("read-block of sector 32, block 0: card block 80")
        << "PX30M"
        << "read-block 32 0 --id 1"
        << ""
        << "A01B A01f" + kKey + " A01h6080" << 0 << "Read card data ok."
        << "";
    QTest::newRow("write-block of a whole block")
        << "PX40M"
        << "write-block 1 1 00112233445566778899AABBCCDDEEFF --id 1"
        << ""
        << "H01B H01f" + kKey + " H01i600500112233445566778899AABBCCDDEEFF" << 0
        << "Write card data ok."
        << "";
    QTest::newRow("display-language traditional sends N1")
        << "PX50"
        << "display-language traditional --id 1"
        << ""
        << "J01B J01N1" << 0 << "Set language ok."
        << "";
    QTest::newRow("an empty password is O alone") << "PX50"
                                                  << "display-password '' --id 1"
                                                  << ""
                                                  << "J01B J01O" << 0 << "Set password ok."
                                                  << "";
    QTest::newRow("display-screen-mode time") << "PX50M"
                                              << "display-screen-mode time --id 1"
                                              << ""
                                              << "J01B J01K31" << 0 << "Set screen mode ok."
                                              << "";
    QTest::newRow("small-message padded to 64 bytes")
        << "PX50"
        << "small-message Hello! --id 1"
        << ""
        << "J01B J01HHello!" + Spaces(58) << 0 << "Set small message ok."
        << "";
    QTest::newRow("an empty screen message is 128 spaces")
        << "PX50"
        << "screen-message '' --id 1"
        << ""
        << "J01B J01L4" + Spaces(128) << 0 << "Set screen message ok."
        << "";
    QTest::newRow("clear-screen-message goes to ID 00 with the title messages")
        << "PX50"
        << "clear-screen-message --id 1"
        << ""
        << "J01B J00L4" + Spaces(128) << 0 << "Set title ok."
        << "";
    QTest::newRow("title 1, then the text-title mode")
        << "PX50"
        << "title 1 Lobby --id 1"
        << ""
        << "J01B J01L1Lobby" + Spaces(11) + " J01L1" << 0 << "Set title ok."
        << "";
    QTest::newRow("clear-title 2 leaves the mode")
        << "PX50"
        << "clear-title 2 --id 1"
        << ""
        << "J01B J01L3" + Spaces(16) << 0 << "Set title ok."
        << "";
    QTest::newRow("title-mode none") << "PX50M"
                                     << "title-mode none --id 1"
                                     << ""
                                     << "J01B J01L0" << 0 << "Set title mode ok."
                                     << "";
    QTest::newRow("facility-code 7 is five digits")
        << "PX60"
        << "facility-code 7 --id 1"
        << ""
        << "I01B I01K00007" << 0 << "Set facility code ok."
        << "";
    QTest::newRow("add-finger of the last slot") << "PX60"
                                                 << "add-finger 9500 --id 1"
                                                 << ""
                                                 << "I01B I01M009500" << 0 << "Add fingerprint ok."
                                                 << "";
    QTest::newRow("delete-finger of slot 0") << "PX60M"
                                             << "delete-finger 0 --id 1"
                                             << ""
                                             << "I01B I01N000000" << 0 << "Del fingerprint ok."
                                             << "";
    QTest::newRow("get-finger-id") << "PX60"
                                   << "get-finger-id 5 --id 1"
                                   << ""
                                   << "I01B I01O000005" << 0 << "Get fingerprint ID ok."
                                   << "";
    QTest::newRow("scan-mode sensor-reset") << "PX60"
                                            << "scan-mode sensor-reset --id 1"
                                            << ""
                                            << "I01B I01r3" << 0 << "Set fingerprint scan mode ok."
                                            << "";
    QTest::newRow("get-template: L0, part 0, the three parts, L1, no reader check")
        << "PX60"
        << "get-template 1 --id 1"
        << ""
        << "I01L0 I01P0000010 I01P0000011 I01P0000012 I01P0000013 I01L1" << 0
        << "Get template data ok."
        << "";
    QTest::newRow("stand-alone") << "PX60"
                                 << "stand-alone --id 1"
                                 << ""
                                 << "I01B I01R01" << 0 << "Set stand alone mode ok."
                                 << "";
    QTest::newRow("door-time: blanks dropped, no zeros added")
        << "PX60"
        << "door-time __12 --id 1"
        << ""
        << "I01B I01R112" << 0 << "Set door time ok."
        << "";
    QTest::newRow("alarm-time empty: R2 alone, which the reader does not take")
        << "PX60"
        << "alarm-time '' --id 1"
        << ""
        << "I01B I01R2 I01B I01R2" << 1 << "Set alarm time error!"
        << "";
    QTest::newRow("add-card") << "PX60M"
                              << "add-card --id 1"
                              << ""
                              << "I01B I01R3" << 0 << "Set add card ok."
                              << "";
    QTest::newRow("duress-card") << "PX60"
                                 << "duress-card --id 1"
                                 << ""
                                 << "I01B I01R4" << 0 << "Set duress card ok."
                                 << "";
    QTest::newRow("clear-card") << "PX60"
                                << "clear-card --id 1"
                                << ""
                                << "I01B I01R5" << 0 << "Set clear card ok."
                                << "";
}

void TestCliActions::commandFrames() {
    QFETCH(QString, type);
    QFETCH(QString, args);
    QFETCH(QString, silent);
    QFETCH(QString, heard);
    QFETCH(int, exit);
    QFETCH(QString, message);
    QFETCH(QString, values);
    CliRig rig;
    const tbsim::ReaderKind kind = *tbsim::ReaderKindFromName(type.toStdString());
    tbsim::SimReader* reader = rig.addReader(kind, 1);
    // A -M reader holds a 4K card as delivered.
    if (tbsim::HasMifare(kind))
        reader->presentMifareCard(
            tbsim::MakeMifareCard(tbsim::MifareSize::Classic4K, {0x5A, 0x6B, 0x7C, 0x8D}));
    if (silent == "all") {
        rig.line().setFault({tbsim::Fault::Silence});
    } else if (!silent.isEmpty()) {
        auto config = reader->config();
        config.silentCommands.insert(silent.toStdString());
        reader->setConfig(config);
    }
    QStringList words;
    for (QString word : args.split(' ', Qt::SkipEmptyParts))
        words << (word == "''" ? QString() : word.replace('_', ' '));
    const CliRun run = rig.run(words + QStringList{"--port", "COM1", "--type", type, "--json"});
    QCOMPARE(rig.heard(), heard);
    QCOMPARE(run.exit, exit);
    QCOMPARE(run.outcome().value("message").toString(), message);
    QVERIFY(clitest::OutcomeAgrees(run));
    const auto read = run.objects("settings");
    QCOMPARE(read.isEmpty() ? QString() : SettingsOf(read.front()), values);
}

// The rules of each reader function's inputs hold the command line to what the window's controls
// admit: a value outside them is a usage error and nothing is sent; texts count in bytes of
// their code page.
void TestCliActions::inputRules_data() {
    QTest::addColumn<QString>("args");  // before --port and --id; "_" stands for a space
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("says");  // a part of standard error

    const QString px50 = " --type PX50";
    const QString px60 = " --type PX60";
    const QString px30m = " --type PX30M";
    QTest::newRow("new ID 0") << "set-id 0" << 2 << "set-id: new-id 0 is outside 1 to 99";
    QTest::newRow("new ID 100") << "set-id 100" << 2 << "new-id 100 is outside 1 to 99";
    QTest::newRow("key number above 16")
        << "set-key-number 17 --type PX40" << 2 << "key-number 17 is outside 0 to 16";
    QTest::newRow("key status number above 8")
        << "set-key-status 9 5 --type PX40" << 2 << "key-status-number 9 is outside 0 to 8";
    QTest::newRow("delay above 99")
        << "set-key-status 1 100 --type PX40" << 2 << "key-delay 100 is outside 0 to 99";
    QTest::newRow("sector 40") << "store-key 40 FFFFFFFFFFFF" + px30m << 2
                               << "sector 40 is outside 0 to 39";
    QTest::newRow("ID block 4: 0 to 3 in every sector")
        << "set-id-location 35 4 0" + px30m << 2 << "block 4 is outside 0 to 3";
    QTest::newRow("ID byte 32") << "set-id-location 1 0 32" + px30m << 2
                                << "byte 32 is outside 0 to 31";
    QTest::newRow("block data of 31 characters: no short frame")
        << "write-block 1 0 " + QString(31, 'F') + px30m << 2 << "is not 32 hexadecimal characters";
    QTest::newRow("a small message of 64 bytes in 1252: é is one byte")
        << "small-message " + QString(63, 'x') + "é" + px50 << 0 << "";
    QTest::newRow("a small message of 65 bytes")
        << "small-message " + QString(65, 'x') + px50 << 2
        << "small-message: text is 65 bytes long; it takes at most 64";
    QTest::newRow("a title of 8 Chinese characters: 16 bytes in GBK")
        << "title 2 门门门门门门门门 --code-page gbk" + px50 << 0 << "";
    QTest::newRow("a title of 9 Chinese characters: 18 bytes in Big5")
        << "title 1 門門門門門門門門門 --code-page big5" + px50 << 2
        << "text is 18 bytes long; it takes at most 16";
    QTest::newRow("a password of 5 bytes")
        << "display-password 12345" + px50 << 2 << "password is 5 bytes long; it takes at most 4";
    QTest::newRow("a character GBK lacks")
        << "send V© --code-page gbk" << 2 << "send: Cannot send \"©\" (U+00A9) in code page GBK";
    QTest::newRow("a tab in a display text")
        << "small-message a\tb" + px50 << 2 << "a line break or a tab";
    QTest::newRow("finger number 9501")
        << "delete-finger 9501" + px60 << 2 << "finger 9501 is outside 0 to 9500";
    QTest::newRow("facility code 65536")
        << "facility-code 65536" + px60 << 2 << "facility-code 65536 is outside 0 to 65535";
    QTest::newRow("scan mode 4") << "scan-mode 4" + px60 << 2 << "scan-mode 4 is outside 0 to 3";
    QTest::newRow("a door time of five digits")
        << "door-time 12345" + px60 << 2 << "seconds is 5 bytes long; it takes at most 4";
}

void TestCliActions::inputRules() {
    QFETCH(QString, args);
    QFETCH(int, exit);
    QFETCH(QString, says);
    CliRig rig;
    QStringList words;
    for (QString word : args.split(' ', Qt::SkipEmptyParts)) words << word.replace('_', ' ');
    const int typeAt = static_cast<int>(words.indexOf("--type"));
    const QString type = typeAt < 0 ? "PX10" : words.at(typeAt + 1);
    rig.addReader(*tbsim::ReaderKindFromName(type.toStdString()), 1);
    const CliRun run = rig.run(words + QStringList{"--port", "COM1", "--id", "1"});
    QCOMPARE(run.exit, exit);
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    if (exit == 2) QCOMPARE(rig.heard(), QString());
}

// A new ID that a reader on the line answers is refused before anything else is sent, so that
// two readers never share an ID.
void TestCliActions::newIdAlreadyTaken() {
    CliRig rig;
    rig.addReader(ReaderKind::PX10, 1);
    rig.addReader(ReaderKind::PX10, 18, 1, "10000018");
    QTemporaryDir files;
    QFile plan(files.filePath("plan.csv"));
    QVERIFY(plan.open(QIODevice::WriteOnly) && plan.write("port,id,new_id\nCOM1,1,18\n") > 0);
    plan.close();
    for (const QStringList& args :
         {QStringList{"set-id", "18", "--id", "1"}, QStringList{"apply", plan.fileName()}}) {
        const CliRun run = rig.run(args + QStringList{"--port", "COM1"});
        QCOMPARE(rig.heard(), QString("A18B"));
        QCOMPARE(run.exit, 1);
        QVERIFY2((run.out + run.err).contains("ID 18 is already taken on COM1 by reader 10000018"),
                 qPrintable(run.out + run.err));
    }
    QCOMPARE(rig.run({"set-id", "18", "--id", "1", "--force", "--port", "COM1"}).exit, 0);
    QCOMPARE(rig.heard(), QString("A01B A01CCAFE004218"));
}

void TestCliActions::applyPlans_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("plan");
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("out");  // a line of standard output
    QTest::newRow("a spreadsheet's file: byte-order mark, semicolons, notes")
        << "PX10" << QByteArray("\xEF\xBB\xBFport;id;new_id;notes\nCOM1;1;5;\"hall; left\"\n")
        << "--ignore-column notes"
        << "A05B A01B A01B A01CCAFE004205 A05B"
        << "2;COM1;PX10;CAFE0042;05;19200,e,8,1;ok;\"Set ID ok.; Reader find ok. (COM : #1)\";;";
    QTest::newRow("settings through their subcommands' actions")
        << "PX50"
        << QByteArray("port,type,id,title_2,display_language\nCOM1,PX50,1,Gate B,simplified\n")
        << ""
        << "J01B J01B J01L3Gate B           J01L1 J01B J01N2 J01B"
        << "2,COM1,PX50,CAFE0042,01,\"19200,e,8,1\",ok,Set title ok.; Set language ok.; Reader "
           "find ok. (COM : #1),,";
    QTest::newRow("--dry-run: the frames, none sent")
        << "PX10" << QByteArray("port,id,new_id,read_mode\nCOM1,1,5,enabled\n") << "--dry-run"
        << ""
        << "COM1 > [09]A01C????????050F[0D]";
}

// A plan runs each row through the same actions as the subcommands; a dry run prints the frames
// of a reader that takes every command and sends nothing.
void TestCliActions::applyPlans() {
    QFETCH(QString, type);
    QFETCH(QByteArray, plan);
    QFETCH(QString, args);
    QFETCH(QString, heard);
    QFETCH(QString, out);
    CliRig rig;
    rig.addReader(*tbsim::ReaderKindFromName(type.toStdString()), 1);
    QTemporaryDir files;
    QFile file(files.filePath("plan.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(plan) == plan.size());
    file.close();
    const CliRun run =
        rig.run(QStringList{"apply", file.fileName()} + args.split(' ', Qt::SkipEmptyParts));
    QVERIFY2(run.exit == 0, qPrintable(run.out + run.err));
    QCOMPARE(rig.heard(), heard);
    QVERIFY2(run.out.split('\n').contains(out), qPrintable(run.out));
}

// --port by path, a malformed TAGBENCH_PORTS item, line settings refused on a socket:// port
// (were anything sent first, its open would fail: exit 3), and what a probe nobody answered saw
// instead. `reader` is TYPE:LINESETTINGS[:bad-checksum] of reader 01 on COM1; `ports` are items
// after the rig's, so they may rename COM1; FILE is a plan that changes COM1's line settings.
void TestCliActions::portsAndCauses_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("ports");
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("says");
    const QString px10 = "PX10:19200,e,8,1", fast = "PX10:230400,n,8,1", none;
    const QString socket = "COM1=socket://door:4002";
    const QString fixed =
        "COM1 is a socket:// port, where the server's own line settings apply; "
        "use rfc2217:// or change the server's settings";
    QTest::newRow("a device path")
        << px10 << none << "info --id 1 --port /dev/ttyTB1" << 0 << "Reader find ok. (COM : #1)";
    QTest::newRow("a malformed item")
        << px10 << "COM7:/dev/pts/7"
        << "info --port 1" << 2 << "TAGBENCH_PORTS: 'COM7:/dev/pts/7' is not COMn=PATH";
    QTest::newRow("set-line, socket://")
        << px10 << socket << "set-line 2 --id 1 --port COM1" << 2 << "set-line: " + fixed;
    QTest::newRow("apply, socket://")
        << px10 << socket << "apply FILE" << 1 << "new_settings: " + fixed;
    QTest::newRow("another type, at ID 00") << "PX60M:19200,e,8,1" << none << "set-id 5 --port 1"
                                            << 1 << "a PX60 answered; use --type PX60";
    QTest::newRow("230400") << fast << none << "info --id 1 --port 1" << 1
                            << "a reader answered at 230400,n,8,1; use --settings 12";
    QTest::newRow("230400, scan") << fast << none << "scan --port 1" << 1
                                  << "which the scan does not walk; use --settings 12 --lock";
    QTest::newRow("wrong checksums") << px10 + ":bad-checksum" << none << "info --id 1 --port 1"
                                     << 1 << "3 replies with a wrong checksum";
    QTest::newRow("scan --type any")
        << "PX50M:9600,n,8,1" << none << "scan --type any --port 1 --json" << 0
        << R"("type":"PX50")";
}

void TestCliActions::portsAndCauses() {
    QFETCH(QString, reader);
    QFETCH(QString, ports);
    QFETCH(QString, args);
    QFETCH(int, exit);
    QFETCH(QString, says);
    const QStringList parts = reader.split(':');
    CliRig rig;
    rig.addReader(*tbsim::ReaderKindFromName(parts[0].toStdString()), 1, 1, "CAFE0042",
                  parts[1].toStdString());
    if (parts.value(2) == "bad-checksum") rig.line().setFault({tbsim::Fault::WrongChecksum});
    rig.extraPorts = ports;
    QTemporaryDir files;
    QFile plan(files.filePath("plan.csv"));
    QVERIFY(plan.open(QIODevice::WriteOnly) &&
            plan.write("port,id,new_settings\nCOM1,1,\"9600,n,8,1\"\n") > 0);
    plan.close();
    const CliRun run = rig.run(args.replace("FILE", plan.fileName()).split(' '));
    QCOMPARE(run.exit, exit);
    QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
}

void TestCliActions::everyActionHasASubcommand_data() {
    QTest::addColumn<int>("action");
    for (const actions::ActionInfo& info : actions::Table())
        QTest::newRow(info.name) << static_cast<int>(info.id);
}

// Each reader function of the window is declared by a subcommand of the registry, unless exempt.
void TestCliActions::everyActionHasASubcommand() {
    QFETCH(int, action);
    const auto id = static_cast<actions::ActionId>(action);
    int declared = 0;
    for (const cli::Subcommand& entry : cli::Subcommands())
        declared += static_cast<int>(std::count(entry.actions.begin(), entry.actions.end(), id));
    const bool exempt = std::any_of(kExempt.begin(), kExempt.end(),
                                    [&](const auto& each) { return each.first == id; });
    QVERIFY2(declared == 1 || exempt, "no subcommand, or more than one, declares this action");
}

void TestCliActions::examplePerformsItsDeclaredAction_data() {
    QTest::addColumn<QString>("subcommand");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("args");
    for (const Example& example : Examples())
        QTest::newRow(example.args) << example.subcommand << example.type << example.args;
}

// A subcommand's example performs exactly the reader action it declares.
void TestCliActions::examplePerformsItsDeclaredAction() {
    QFETCH(QString, subcommand);
    QFETCH(QString, type);
    QFETCH(QString, args);
    const cli::Subcommand* entry = cli::SubcommandNamed(subcommand.toStdString());
    QVERIFY(entry);
    CliRig rig;
    rig.addReader(*tbsim::ReaderKindFromName(type.toStdString()), 1);
    QTemporaryDir files;
    const QStringList words = Prepared(rig, files, args, Where(type));
    std::vector<actions::ActionId> performed;
    actions::SetPerformObserver([&](actions::ActionId each) { performed.push_back(each); });
    const CliRun run = rig.run(words);
    actions::SetPerformObserver({});
    QVERIFY2(run.exit != 2, qPrintable(run.err));
    // The k-th example of a subcommand performs the k-th action it declares.
    std::size_t k = 0;
    for (const Example& example : Examples()) {
        if (args == example.args) break;
        k += subcommand == example.subcommand;
    }
    QVERIFY(k < entry->actions.size());
    QCOMPARE(performed, std::vector<actions::ActionId>{entry->actions[k]});
}

void TestCliActions::jsonLinesKeepTheSchema_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("args");
    QTest::addColumn<bool>("where");  // the reader's port, ID and type added
    for (const Example& example : Examples())
        QTest::newRow(example.args) << example.type << example.args << true;
    QTest::newRow("ports") << "PX10"
                           << "ports" << false;
    QTest::newRow("scan") << "PX10"
                          << "scan --ports COM1 --lock" << false;
    QTest::newRow("census") << "PX40"
                            << "census -p 1 -t PX40 --ids 1-2" << false;
    QTest::newRow("info") << "PX40"
                          << "info -p 1 -t PX40" << false;
    QTest::newRow("info, not found") << "PX10"
                                     << "info -p 1 -i 7" << false;
    QTest::newRow("read-cards") << "PX10"
                                << "read-cards -p 1 --count 2" << false;
    QTest::newRow("apply, a row failing") << "PX10"
                                          << "apply FILE.csv" << false;
    QTest::newRow("apply --dry-run") << "PX10"
                                     << "apply FILE.csv --dry-run" << false;
    for (const char* profile : {"profile diff FILE.tbprofile", "profile apply FILE.tbprofile",
                                "profile apply FILE.tbprofile --dry-run"})
        QTest::newRow(profile) << "PX40" << profile << true;
    QTest::newRow("access-bits") << "PX10"
                                 << "access-bits FF0780AA" << false;
    QTest::newRow("access-bits, invalid") << "PX10"
                                          << "access-bits FF0781AA" << false;
    QTest::newRow("a usage error") << "PX10"
                                   << "set-id 100 -p 1" << false;
    QTest::newRow("a usage error the parser finds") << "PX10"
                                                    << "frobnicate" << false;
}

// Every object any subcommand prints keeps docs/tagbench-cli.schema.json, the outcome last.
void TestCliActions::jsonLinesKeepTheSchema() {
    QFETCH(QString, type);
    QFETCH(QString, args);
    QFETCH(bool, where);
    QFile file(TAGBENCH_CLI_SCHEMA);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const clitest::JsonSchema schema(QJsonDocument::fromJson(file.readAll()).object());
    CliRig rig;
    tbsim::SimReader* reader = rig.addReader(*tbsim::ReaderKindFromName(type.toStdString()), 1);
    reader->presentCardId("00A0B0C0");
    reader->presentKeys("1234");
    QTemporaryDir files;
    const CliRun run =
        rig.run(Prepared(rig, files, args, where ? Where(type) : QStringList()) << "--json");
    const QList<QJsonObject> objects = run.objects();
    QVERIFY2(!objects.isEmpty(), qPrintable(run.out));
    for (const QJsonObject& object : objects) {
        const QString broken = schema.check(object);
        QVERIFY2(broken.isEmpty(), qPrintable(broken + " in " + QJsonDocument(object).toJson()));
    }
    QVERIFY(clitest::OutcomeAgrees(run));
}

QTEST_GUILESS_MAIN(TestCliActions)
#include "tst_cli_actions.moc"
