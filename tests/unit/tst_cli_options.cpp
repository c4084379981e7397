// tagbench-cli's command line, its provisioning table and its JSON lines, without a process or a
// port: what each argument becomes, and which ones are refused before anything is sent.
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "cli/Json.h"
#include "cli/Options.h"
#include "cli/Plan.h"
#include "cli/Registry.h"
#include "commands/config/ListItems.h"

using namespace cli;

namespace {

// The words of a command line; "_" stands for a space inside one argument, "''" for an empty
// argument.
std::vector<std::string> Args(const QString& line) {
    std::vector<std::string> args;
    for (QString word : line.split(' ', Qt::SkipEmptyParts))
        args.push_back(word == "''" ? std::string() : word.replace('_', ' ').toStdString());
    return args;
}

QString Slot(commands::mifare::KeySlot slot) {
    return slot == commands::mifare::KeySlot::A ? "A" : "B";
}

QString Opt(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString("-");
}

QString Opt(const std::optional<std::string>& value) {
    return value ? QString::fromStdString(*value) : QString("-");
}

// The values a command line turned into, those that matter for its subcommand.
QString Summary(const Invocation& run) {
    QStringList parts{QString::fromStdString(run.name())};
    if (run.help)
        parts << "help" << (run.helpTopic ? QString::fromStdString(run.helpTopic->name) : "-");
    parts << "port=" + Opt(run.port) << "settings=" + QString::number(run.lineSettings())
          << "id=" + Opt(run.id) << QString("type=") + commands::Info(run.readerType()).name;
    const std::string name = run.name();
    if (name == "set-id") {
        parts << "new=" + QString::number(run.newId);
    } else if (name == "set-line") {
        parts << "line=" + QString::number(run.lineSettingsIndex);
    } else if (name == "set-interface") {
        parts << QString("interface=%1%2%3")
                     .arg(run.interface.mode)
                     .arg(run.interface.wiegand)
                     .arg(run.interface.rs485);
    } else if (name == "set-card-type") {
        parts << "card=" + QString::number(run.cardType);
    } else if (name == "set-read-mode") {
        parts << "mode=" + QString::number(run.readMode);
    } else if (name == "set-key-parity") {
        parts << "parity=" + QString::number(run.keyParity);
    } else if (name == "set-key-number") {
        parts << "key=" + QString::number(run.keyNumber);
    } else if (name == "set-key-status") {
        parts << QString("status=%1/%2").arg(run.keyStatusNumber).arg(run.keyDelaySeconds);
    } else if (name == "scan") {
        QStringList ports;
        for (int port : run.ports) ports << QString::number(port);
        parts << "ports=" + (ports.isEmpty() ? "all" : ports.join(','));
        if (run.lock) parts << "lock";
        if (run.parallel) parts << "parallel";
        if (run.all) parts << "all";
        parts << "silence=" + QString::number(run.silenceMs);
    } else if (name == "census") {
        parts
            << QString("ids=%1..%2x%3").arg(run.ids.front()).arg(run.ids.back()).arg(run.ids.size())
            << "silence=" + QString::number(run.silenceMs);
    } else if (name == "read-cards") {
        parts << (run.twoWay ? "two-way" : "plain") << "count=" + Opt(run.count)
              << "timeout=" + (run.timeoutSeconds ? QString::number(*run.timeoutSeconds) : "-");
        if (run.invalid) parts << "invalid";
        if (run.timestamps) parts << "timestamps";
    } else if (name == "send") {
        parts << "text=" + QString::fromStdString(run.text) << (run.raw ? "raw" : "prefixed");
    } else if (name == "set-id-location") {
        parts << QString("location=%1/%2/%3").arg(run.sector).arg(run.block).arg(run.idByte)
              << "key=" + Slot(run.keySlot) << "error=" + QString::number(run.keyError);
    } else if (name == "store-key") {
        parts << "sector=" + QString::number(run.sector) << "key=" + Slot(run.keySlot)
              << "text=" + QString::fromStdString(run.key);
    } else if (name == "write-trailer") {
        parts << "sector=" + QString::number(run.sector) << "key=" + Slot(run.keySlot)
              << "old=" + QString::fromStdString(run.oldKey)
              << "a=" + QString::fromStdString(run.keyA)
              << "access=" + QString::fromStdString(run.access)
              << "b=" + QString::fromStdString(run.keyB);
    } else if (name == "read-block" || name == "write-block") {
        parts << QString("block=%1/%2").arg(run.sector).arg(run.block) << "key=" + Slot(run.keySlot)
              << (run.eeprom ? QString("eeprom") : "text=" + QString::fromStdString(run.key));
        if (name == "write-block") parts << "data=" + QString::fromStdString(run.data);
    } else if (name == "access-bits") {
        if (run.accessText) parts << "text=" + QString::fromStdString(*run.accessText);
        if (run.conditions)
            parts << QString("conditions=%1,%2,%3,%4")
                         .arg((*run.conditions)[0])
                         .arg((*run.conditions)[1])
                         .arg((*run.conditions)[2])
                         .arg((*run.conditions)[3]);
    } else if (name == "display-language") {
        parts << "language=" + QString::number(static_cast<int>(run.displayLanguage));
    } else if (name == "display-screen-mode") {
        parts << "mode=" + QString::number(static_cast<int>(run.screenMode));
    } else if (name == "display-clock") {
        QString clock = "now";
        if (const auto& c = run.clockAt)
            clock = QString::asprintf("%04d%02d%02d%02d%02d%02d", c->year, c->month, c->day,
                                      c->hour, c->minute, c->second);
        parts << "clock=" + clock << "hour=" + QString::number(static_cast<int>(run.hourFormat));
    } else if (name == "display-password" || name == "small-message" || name == "screen-message") {
        parts << "text=" + QString::fromStdString(run.text);
    } else if (name == "title") {
        parts << "line=" + QString::number(run.titleLine)
              << "text=" + QString::fromStdString(run.text);
    } else if (name == "clear-title") {
        parts << "line=" + QString::number(run.titleLine);
    } else if (name == "title-mode") {
        parts << "mode=" + QString::number(run.titleMode);
    } else if (name == "title-icon") {
        parts << "file=" + QString::fromStdString(run.iconPath);
    } else if (name == "facility-code") {
        parts << "facility=" + QString::number(run.facilityCode);
    } else if (name == "add-finger" || name == "delete-finger" || name == "get-finger-id" ||
               name == "set-finger-id" || name == "get-template" || name == "put-template") {
        parts << "finger=" + QString::number(run.fingerNumber);
        if (name == "set-finger-id") parts << "fid=" + QString::fromStdString(run.fingerId);
        if (!run.outPath.empty()) parts << "out=" + QString::fromStdString(run.outPath);
        if (!run.templatePath.empty()) parts << "file=" + QString::fromStdString(run.templatePath);
    } else if (name == "scan-mode") {
        parts << "mode=" + QString::number(run.scanMode);
    } else if (name == "door-time" || name == "alarm-time") {
        parts << "seconds=" + QString::fromStdString(run.seconds);
    }
    if (run.json) parts << "json";
    if (run.quiet) parts << "quiet";
    return parts.join(' ');
}

QString Records(const std::vector<CsvRecord>& records) {
    QStringList lines;
    for (const CsvRecord& record : records) {
        QStringList fields;
        for (const std::string& field : record.fields) fields << QString::fromStdString(field);
        lines << QString::number(record.line) + ":" + fields.join('|');
    }
    return lines.join(' ');
}

QString Row(const PlanRow& row) {
    if (!row.error.empty())
        return QString("%1 error %2").arg(row.line).arg(QString::fromStdString(row.error));
    QStringList parts{QString::number(row.line),
                      "port=" + Opt(row.port),
                      "settings=" + Opt(row.settingsIndex),
                      QString("type=") + (row.type ? commands::Info(*row.type).name : "-"),
                      "id=" + Opt(row.id),
                      "new_id=" + Opt(row.newId)};
    parts << (row.interface ? QString("interface=%1%2%3")
                                  .arg(row.interface->mode)
                                  .arg(row.interface->wiegand)
                                  .arg(row.interface->rs485)
                            : "interface=-")
          << "card=" + Opt(row.cardType) << "new_settings=" + Opt(row.newSettingsIndex);
    QStringList steps;
    for (const PlanStep& step : row.steps) {
        const Invocation& run = step.run;
        QString each = QString::fromStdString(run.name());
        if (run.name() == "title")
            each += QString(":%1 %2").arg(run.titleLine).arg(run.text.c_str());
        if (run.name() == "set-id-location")
            each += QString(":%1,%2,%3,%4")
                        .arg(run.sector)
                        .arg(run.block)
                        .arg(run.idByte)
                        .arg(run.keyError);
        steps << each;
    }
    if (!steps.isEmpty()) parts << steps.join('/');
    return parts.join(' ');
}

}  // namespace

class TestCliOptions : public QObject {
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void refused_data();
    void refused();
    void pageArguments_data();
    void pageArguments() { arguments(); }
    void pageRefused_data();
    void pageRefused() { refused(); }
    void values_data();
    void values();
    void listItems_data();
    void listItems();
    void csv_data();
    void csv();
    void csvFieldsSurviveTheRoundTrip();
    void plan_data();
    void plan();
    void jsonLinesParse();
};

void TestCliOptions::arguments_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("summary");
    QTest::newRow("set-id, port by COM name") << "set-id 5 --port COM3"
                                              << "set-id port=3 settings=5 id=- type=PX10 new=5";
    QTest::newRow("--option=value and a port by number")
        << "set-id --port=12 --id=7 99"
        << "set-id port=12 settings=5 id=07 type=PX10 new=99";
    QTest::newRow("line settings as text, any case") << "info --port 1 --settings 9600,N,8,1"
                                                     << "info port=1 settings=2 id=- type=PX10";
    QTest::newRow("line settings by index") << "set-line 13 --port 1 --settings 0"
                                            << "set-line port=1 settings=0 id=- type=PX10 line=13";
    QTest::newRow("set-line by text") << "set-line 57600,e,8,1 --port 1"
                                      << "set-line port=1 settings=5 id=- type=PX10 line=9";
    QTest::newRow("type with a hyphen, lower case")
        << "info --port 1 --type px40-m --json"
        << "info port=1 settings=5 id=- type=PX40M json";
    QTest::newRow("interface by item names and numbers")
        << "set-interface RS485 34 64 --port 1"
        << "set-interface port=1 settings=5 id=- type=PX10 interface=113";
    QTest::newRow("interface by whole item texts")
        << "set-interface wiegand Wiegand_42 RS485_24 --port 1"
        << "set-interface port=1 settings=5 id=- type=PX10 interface=020";
    QTest::newRow("card type by the start of its name")
        << "set-card-type sec --port 1"
        << "set-card-type port=1 settings=5 id=- type=PX10 card=2";
    QTest::newRow("read mode: enable names Enabled")
        << "set-read-mode enable --port 1"
        << "set-read-mode port=1 settings=5 id=- type=PX10 mode=1";
    QTest::newRow("read mode: disable") << "set-read-mode DISABLE --port 1"
                                        << "set-read-mode port=1 settings=5 id=- type=PX10 mode=0";
    QTest::newRow("key parity: with") << "set-key-parity with --port 1 --type PX40"
                                      << "set-key-parity port=1 settings=5 id=- type=PX40 parity=1";
    QTest::newRow("key parity: no") << "set-key-parity no --port 1 --type PX50"
                                    << "set-key-parity port=1 settings=5 id=- type=PX50 parity=0";
    QTest::newRow("key number at the top of its range")
        << "set-key-number 16 --port 1 --type PX40M"
        << "set-key-number port=1 settings=5 id=- type=PX40M key=16";
    QTest::newRow("key status at the ends of its ranges")
        << "set-key-status 8 0 --port 1 --type PX40"
        << "set-key-status port=1 settings=5 id=- type=PX40 status=8/0";
    QTest::newRow("scan without a port: no quick try, every port")
        << "scan"
        << "scan port=- settings=5 id=- type=PX10 ports=all silence=300";
    QTest::newRow("scan ports listed once each, in the given order")
        << "scan --ports COM5,3,com5 --lock --parallel --all --port 3"
        << "scan port=3 settings=5 id=- type=PX10 ports=5,3 lock parallel all silence=300";
    QTest::newRow("scan: the walk's slowest line settings allow the silence")
        << "scan --silence 58"
        << "scan port=- settings=5 id=- type=PX10 ports=all silence=58";
    QTest::newRow("census: IDs 1 to 99 by default")
        << "census --port 2"
        << "census port=2 settings=5 id=- type=PX10 ids=1..99x99 silence=300";
    QTest::newRow("census: IDs given as ranges, the silence at the floor of 19200,e,8,1")
        << "census --port 2 --ids 99,2,17-19 --silence 30"
        << "census port=2 settings=5 id=- type=PX10 ids=2..99x5 silence=30";
    QTest::newRow("short options, --quiet")
        << "census -p 2 -s 9600,n,8,1 -t PX40 -q --silence=50"
        << "census port=2 settings=2 id=- type=PX40 ids=1..99x99 silence=50 quiet";
    QTest::newRow("read-cards two-way, refusing, with count and timeout")
        << "read-cards --port 1 --two-way --invalid --count 3 --timeout 0.5 -i 4 --timestamps"
        << "read-cards port=1 settings=5 id=04 type=PX10 two-way count=3 timeout=0.5 invalid "
           "timestamps";
    QTest::newRow("send: a text that looks like an option after --")
        << "send --port 1 -- --V"
        << "send port=1 settings=5 id=- type=PX10 text=--V prefixed";
    QTest::newRow("send --raw") << "send 00H1 --raw --port 1"
                                << "send port=1 settings=5 id=- type=PX10 text=00H1 raw";
    QTest::newRow("help of one subcommand") << "help census"
                                            << "help help census port=- settings=5 id=- type=PX10";
    QTest::newRow("-h needs neither arguments nor --port")
        << "set-id -h"
        << "set-id help - port=- settings=5 id=- type=PX10 new=0";
}

void TestCliOptions::arguments() {
    QFETCH(QString, line);
    QFETCH(QString, summary);
    const Parsed parsed = ParseArguments(Args(line));
    QVERIFY2(parsed.invocation, parsed.error.c_str());
    QCOMPARE(Summary(*parsed.invocation), summary);
}

void TestCliOptions::refused_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("says");  // a part of the error message
    QTest::newRow("no subcommand") << ""
                                   << "no subcommand";
    QTest::newRow("unknown subcommand") << "frobnicate"
                                        << "unknown subcommand 'frobnicate'";
    QTest::newRow("unknown option") << "info --port 1 --fast"
                                    << "unknown option '--fast'";
    QTest::newRow("another subcommand's option") << "info --port 1 --parallel"
                                                 << "info does not take --parallel";
    QTest::newRow("option without its value") << "set-id 5 --port"
                                              << "--port needs a value";
    QTest::newRow("flag with a value") << "scan --lock=yes"
                                       << "--lock takes no value";
    QTest::newRow("a reader command without --port") << "set-id 5"
                                                     << "set-id needs --port";
    QTest::newRow("too many arguments") << "set-id 5 6 --port 1"
                                        << "set-id takes NEW_ID";
    QTest::newRow("a missing argument") << "set-key-status 2 --port 1 --type PX40"
                                        << "set-key-status takes N DELAY";
    QTest::newRow("port COM0") << "info --port COM0"
                               << "--port: 'COM0'";
    QTest::newRow("port with a leading zero") << "info --port COM03"
                                              << "--port: 'COM03'";
    QTest::newRow("line settings not in the list") << "info --port 1 --settings 19200,e,8,2"
                                                   << "--settings: '19200,e,8,2'";
    QTest::newRow("line settings index 14") << "info --port 1 --settings 14"
                                            << "--settings: '14'";
    QTest::newRow("reader ID 00") << "info --port 1 --id 00"
                                  << "--id: '00'";
    QTest::newRow("unknown reader type") << "info --port 1 --type PX70"
                                         << "--type: 'PX70'";
    QTest::newRow("negative number") << "set-key-number -1 --port 1 --type PX40"
                                     << "'-1' is not a number";
    QTest::newRow("keypad settings of a type without keypad")
        << "set-key-number 4 --port 1"
        << "PX10 has no keypad settings (--type PX40, PX40M, PX50, PX50M)";
    QTest::newRow("card type of a MIFARE type") << "set-card-type EM --port 1 --type PX30M"
                                                << "PX30M has no card type setting";
    QTest::newRow("interface words out of order") << "set-interface 34 wiegand 32 --port 1"
                                                  << "is not MODE WIEGAND RS485";
    QTest::newRow("Wiegand format that does not exist") << "set-interface wiegand 36 32 --port 1"
                                                        << "is not MODE WIEGAND RS485";
    QTest::newRow("card type the list does not have") << "set-card-type MIFARE --port 1"
                                                      << "is not EM, KORVA or SECURITY";
    QTest::newRow("--invalid without --two-way") << "read-cards --port 1 --invalid"
                                                 << "--invalid needs --two-way";
    QTest::newRow("count 0") << "read-cards --port 1 --count 0"
                             << "--count: '0'";
    QTest::newRow("timeout that is not a number") << "read-cards --port 1 --timeout 5s"
                                                  << "--timeout: '5s'";
    QTest::newRow("IDs range backwards") << "census --port 1 --ids 9-3"
                                         << "--ids: '9-3'";
    QTest::newRow("ID 0 in a list") << "census --port 1 --ids 0-4"
                                    << "--ids: '0-4'";
    QTest::newRow("help of an unknown subcommand") << "help frob"
                                                   << "unknown subcommand 'frob' (see "
                                                      "tagbench-cli --help)";
    QTest::newRow("an option given twice") << "info -p 1 --port 2"
                                           << "--port is given twice";
    QTest::newRow("a flag given twice") << "scan --lock --lock"
                                        << "--lock is given twice";
    QTest::newRow("an option every other subcommand takes") << "census --port 1 --id 3"
                                                            << "census does not take --id";
    QTest::newRow("a short option nobody has") << "info -p 1 -z"
                                               << "unknown option '-z'";
    QTest::newRow("a silence shorter than a reply at the line settings")
        << "census --port 1 --silence 29"
        << "--silence 29: a reply at 19200,e,8,1 needs at least 30 ms";
    QTest::newRow("a silence the walk's 4800,e,8,1 would not survive")
        << "scan --silence 50"
        << "--silence 50: a reply at 4800,e,8,1 needs at least 57 ms";
    QTest::newRow("--silence of a subcommand without probes") << "info --port 1 --silence 50"
                                                              << "info does not take --silence";
}

void TestCliOptions::refused() {
    QFETCH(QString, line);
    QFETCH(QString, says);
    const Parsed parsed = ParseArguments(Args(line));
    QVERIFY(!parsed.invocation);
    QVERIFY2(QString::fromStdString(parsed.error).contains(says), parsed.error.c_str());
}

// The MIFARE, display and system-utility subcommands: the values the window's controls would
// hold. Texts for the reader as bytes in hexadecimal.
void TestCliOptions::pageArguments_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("summary");
    const QString px30m = "port=1 settings=5 id=- type=PX30M ";
    const QString px50 = "port=1 settings=5 id=- type=PX50 ";
    QTest::newRow("factory-default with its type")
        << "factory-default --port 1 --type PX60"
        << "factory-default port=1 settings=5 id=- type=PX60";
    QTest::newRow("reboot") << "reboot --port 1"
                            << "reboot port=1 settings=5 id=- type=PX10";
    QTest::newRow("send in Big5") << "send 門 --code-page BIG5 --port 1"
                                  << "send port=1 settings=5 id=- type=PX10 text=門 prefixed";
    QTest::newRow("card-ID location at the top of every range")
        << "set-id-location 39 3 31 --key b --key-error beep+led --port 1 --type PX30M"
        << "set-id-location " + px30m + "location=39/3/31 key=B error=3";
    QTest::newRow("card-ID location: the window's key and signal by default")
        << "set-id-location 0 0 0 --port 1 --type PX30M"
        << "set-id-location " + px30m + "location=0/0/0 key=A error=1";
    QTest::newRow("key error 'beep' is BEEP, not BEEP+LED")
        << "set-id-location 1 2 4 --key-error beep --port 1 --type PX30M"
        << "set-id-location " + px30m + "location=1/2/4 key=A error=2";
    QTest::newRow("store-key: letters in upper case, as the edit box forces them")
        << "store-key 10 ffffffffff0a --key B --port 1 --type PX30M"
        << "store-key " + px30m + "sector=10 key=B text=FFFFFFFFFF0A";
    QTest::newRow("write-trailer: the delivery values by default")
        << "write-trailer 1 --port 1 --type PX30M"
        << "write-trailer " + px30m +
               "sector=1 key=A old=FFFFFFFFFFFF a=FFFFFFFFFFFF access=FF0780AA b=FFFFFFFFFFFF";
    QTest::newRow("write-trailer: conditions encoded with the user byte AA")
        << "write-trailer 31 --conditions 110,110,110,011 --key-a 112233445566 --old-key "
           "a0a1a2a3a4a5 --key B --key-b 665544332211 --port 1 --type PX30M"
        << "write-trailer " + px30m +
               "sector=31 key=B old=A0A1A2A3A4A5 a=112233445566 access=08778FAA b=665544332211";
    QTest::newRow("write-trailer: access bits locked for good, forced")
        << "write-trailer 2 --access 00f87faa --force --port 1 --type PX30M"
        << "write-trailer " + px30m +
               "sector=2 key=A old=FFFFFFFFFFFF a=FFFFFFFFFFFF access=00F87FAA b=FFFFFFFFFFFF";
    QTest::newRow("read-block: the last block of a 4K card with the stored Key B")
        << "read-block 39 15 --eeprom --key B --port 1 --type PX30M"
        << "read-block " + px30m + "block=39/15 key=B eeprom";
    QTest::newRow("read-block: a typed key")
        << "read-block 31 3 --key-hex 0123456789ab --port 1 --type PX30M"
        << "read-block " + px30m + "block=31/3 key=A text=0123456789AB";
    QTest::newRow("write-block: data in upper case")
        << "write-block 32 0 00112233445566778899aabbccddeeff --port 1 --type PX30M"
        << "write-block " + px30m +
               "block=32/0 key=A text=FFFFFFFFFFFF data=00112233445566778899AABBCCDDEEFF";
    QTest::newRow("write-block: a data block of a large sector holds any bytes")
        << "write-block 32 3 FFFFFFFFFFFF00F87FAAFFFFFFFFFFFF --port 1 --type PX30M"
        << "write-block " + px30m +
               "block=32/3 key=A text=FFFFFFFFFFFF data=FFFFFFFFFFFF00F87FAAFFFFFFFFFFFF";
    QTest::newRow("access-bits reads a text, no port needed")
        << "access-bits ff0780aa"
        << "access-bits port=- settings=5 id=- type=PX10 text=FF0780AA";
    QTest::newRow("access-bits encodes conditions")
        << "access-bits --conditions 000,001,110,111"
        << "access-bits port=- settings=5 id=- type=PX10 conditions=0,1,6,7";
    QTest::newRow("traditional Chinese is the display's 1, not the window's 2")
        << "display-language trad --port 1 --type PX50"
        << "display-language " + px50 + "language=1";
    QTest::newRow("simplified Chinese is the display's 2")
        << "display-language simplified --port 1 --type PX50M"
        << "display-language port=1 settings=5 id=- type=PX50M language=2";
    QTest::newRow("an empty password") << "display-password '' --port 1 --type PX50"
                                       << "display-password " + px50 + "text=";
    QTest::newRow("screen mode time") << "display-screen-mode time --port 1 --type PX50"
                                      << "display-screen-mode " + px50 + "mode=1";
    QTest::newRow("screen mode date and time") << "display-screen-mode date --port 1 --type PX50"
                                               << "display-screen-mode " + px50 + "mode=0";
    QTest::newRow("clock: the run's time, 12H as the window starts")
        << "display-clock --port 1 --type PX50"
        << "display-clock " + px50 + "clock=now hour=0";
    QTest::newRow("clock at a leap day, 24H")
        << "display-clock --at 2028-02-29_23:59:58 --hour-format 24h --port 1 --type PX50"
        << "display-clock " + px50 + "clock=20280229235958 hour=1";
    QTest::newRow("clock with a T between date and time")
        << "display-clock --at 2027-02-01T09:05:03 --port 1 --type PX50"
        << "display-clock " + px50 + "clock=20270201090503 hour=0";
    QTest::newRow("a text goes on as typed, for its code page")
        << "title 2 门门门门门门门门 --code-page gbk --port 1 --type PX50"
        << "title " + px50 + "line=2 text=门门门门门门门门";
    QTest::newRow("title-mode text+icon") << "title-mode text+icon --port 1 --type PX50"
                                          << "title-mode " + px50 + "mode=2";
    QTest::newRow("title-mode none") << "title-mode NONE --port 1 --type PX50"
                                     << "title-mode " + px50 + "mode=0";
    QTest::newRow("clear-title 2") << "clear-title 2 --port 1 --type PX50"
                                   << "clear-title " + px50 + "line=2";
    QTest::newRow("title-icon: .ico in any case") << "title-icon logo.ICO --port 1 --type PX50"
                                                  << "title-icon " + px50 + "file=logo.ICO";
    const QString px60 = "port=1 settings=5 id=- type=PX60 ";
    QTest::newRow("facility code at the top of its range")
        << "facility-code 65535 --port 1 --type PX60"
        << "facility-code " + px60 + "facility=65535";
    QTest::newRow("finger number at both ends of its range") << "add-finger 0 --port 1 --type PX60"
                                                             << "add-finger " + px60 + "finger=0";
    QTest::newRow("a fingerprint ID goes out as typed, in lower case")
        << "set-finger-id 9500 a1b2c3d4e5f60718 --port 1 --type PX60M"
        << "set-finger-id port=1 settings=5 id=- type=PX60M finger=9500 fid=a1b2c3d4e5f60718";
    QTest::newRow("scan mode by name") << "scan-mode sensor --port 1 --type PX60"
                                       << "scan-mode " + px60 + "mode=2";
    QTest::newRow("scan mode as the list's item") << "scan-mode 1 --port 1 --type PX60"
                                                  << "scan-mode " + px60 + "mode=1";
    QTest::newRow("door time: blanks dropped, no zeros added")
        << "door-time __12 --port 1 --type PX60"
        << "door-time " + px60 + "seconds=12";
    QTest::newRow("an empty alarm time") << "alarm-time '' --port 1 --type PX60"
                                         << "alarm-time " + px60 + "seconds=";
    QTest::newRow("get-template into a file") << "get-template 7 --out t.fpt --port 1 --type PX60"
                                              << "get-template " + px60 + "finger=7 out=t.fpt";
    QTest::newRow("put-template: the slot, then the file")
        << "put-template 9 t.fpt --port 1 --type PX60"
        << "put-template " + px60 + "finger=9 file=t.fpt";
}

void TestCliOptions::pageRefused_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("says");
    QTest::newRow("factory default without a type: no sequence to send")
        << "factory-default --port 1"
        << "factory-default needs --type";
    QTest::newRow("MIFARE on a reader without it")
        << "read-block 1 0 --port 1"
        << "PX10 has no MIFARE functions (--type PX30M, PX40M, PX50M, PX60M)";
    QTest::newRow("display on a reader without one") << "small-message hi --port 1 --type PX40M"
                                                     << "PX40M has no display (--type PX50, PX50M)";
    QTest::newRow("block 4 of a small sector") << "read-block 31 4 --port 1 --type PX30M"
                                               << "block '4' is not 0 to 3 (sector 31)";
    QTest::newRow("block 16 of a large sector") << "write-block 32 16 00 --port 1 --type PX30M"
                                                << "block '16' is not 0 to 15 (sector 32)";
    QTest::newRow("a key slot C") << "read-block 1 0 --key C --port 1 --type PX30M"
                                  << "--key: 'C' is not A or B";
    QTest::newRow("a key-error signal not in the list")
        << "set-id-location 1 0 0 --key-error flash --port 1 --type PX30M"
        << "--key-error: 'flash'";
    QTest::newRow("the stored key and a typed one") << "read-block 1 0 --eeprom --key-hex "
                                                       "FFFFFFFFFFFF --port 1 --type PX30M"
                                                    << "--key-hex or --eeprom, not both";
    QTest::newRow("a write always loads the typed key")
        << "write-block 1 0 00 --eeprom --port 1 --type PX30M"
        << "write-block does not take --eeprom";
    QTest::newRow("access bits both typed and from conditions")
        << "write-trailer 1 --access FF0780AA --conditions 000,000,000,001 --port 1 --type PX30M"
        << "--access or --conditions, not both";
    QTest::newRow("access bits whose copies disagree")
        << "write-trailer 1 --access FF0781AA --port 1 --type PX30M"
        << "FF0781AA would make the sector unusable for good";
    QTest::newRow("access bits of 6 characters")
        << "write-trailer 1 --access FF0780 --port 1 --type PX30M"
        << "--access: 'FF0780' is not 8 hexadecimal characters";
    QTest::newRow("a key with a letter that is no hexadecimal digit")
        << "write-trailer 1 --key-b FFFFFFFFFFFG --port 1 --type PX30M"
        << "--key-b: 'FFFFFFFFFFFG' is not 12 hexadecimal characters";
    QTest::newRow("a stored key of 10 characters") << "store-key 0 ffffffffff --port 1 --type PX30M"
                                                   << "store-key: KEY 'ffffffffff' is not 12";
    QTest::newRow("a fingerprint ID of 15 characters")
        << "set-finger-id 1 " + QString(15, '0') + " --port 1 --type PX60"
        << "set-finger-id: ID '" + QString(15, '0') + "' is not 16 hexadecimal characters";
    QTest::newRow("a trailer whose access bits no key may change again")
        << "write-block 1 3 FFFFFFFFFFFF00F87FAAFFFFFFFFFFFF --port 1 --type PX30M"
        << "write-block: access bits 00F87FAA would let no key change them ever again";
    QTest::newRow("the trailer of a large sector, access bits whose copies disagree")
        << "write-block 39 15 FFFFFFFFFFFFFF0781AAFFFFFFFFFFFF --port 1 --type PX30M"
        << "access bits FF0781AA would make the sector unusable for good";
    QTest::newRow("access bits no key may change again")
        << "write-trailer 1 --conditions 111,111,111,110 --port 1 --type PX30M"
        << "00F87FAA would let no key change them ever again";
    QTest::newRow("access-bits with nothing to read or encode") << "access-bits"
                                                                << "one of them";
    QTest::newRow("access-bits with both") << "access-bits FF0780AA --conditions 000,000,000,001"
                                           << "one of them";
    QTest::newRow("access-bits of a text that is not 8 hexadecimal digits")
        << "access-bits FF07G0AA"
        << "'FF07G0AA' is not 8 hexadecimal characters";
    QTest::newRow("three conditions") << "access-bits --conditions 000,000,001"
                                      << "--conditions: '000,000,001'";
    QTest::newRow("a condition that is not three bits")
        << "access-bits --conditions 000,000,002,001"
        << "--conditions: '000,000,002,001'";
    QTest::newRow("a day that does not exist")
        << "display-clock --at 2027-02-29_10:00:00 --port 1 --type PX50"
        << "--at: '2027-02-29 10:00:00'";
    QTest::newRow("hour 24") << "display-clock --at 2027-02-28_24:00:00 --port 1 --type PX50"
                             << "--at: '2027-02-28 24:00:00'";
    QTest::newRow("a time without seconds")
        << "display-clock --at 2027-02-28_10:00 --port 1 --type PX50"
        << "--at: '2027-02-28 10:00'";
    QTest::newRow("an hour format of 13") << "display-clock --hour-format 13 --port 1 --type PX50"
                                          << "--hour-format: '13' is not 12 or 24";
    QTest::newRow("an unknown code page")
        << "small-message hi --code-page utf8 --port 1 --type PX50"
        << "--code-page: 'utf8' is not 1252, gbk or big5";
    QTest::newRow("title line 3") << "clear-title 3 --port 1 --type PX50"
                                  << "title line '3' is not 1 or 2";
    QTest::newRow("a language the display does not have")
        << "display-language klingon --port 1 --type PX50"
        << "'klingon' is not english, traditional or simplified";
    QTest::newRow("fingerprints on a reader without them")
        << "add-finger 1 --port 1 --type PX50M"
        << "PX50M has no fingerprint functions (--type PX60, PX60M)";
    QTest::newRow("a door time the box would not take") << "alarm-time 1_2 --port 1 --type PX60"
                                                        << "alarm-time: '1 2' is not 0 to 4";
    QTest::newRow("put-template writes no file")
        << "put-template 1 t.fpt --out x --port 1 --type PX60"
        << "put-template does not take --out";
}

void TestCliOptions::values_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");  // "-": refused
    QTest::newRow("port COM12") << "port"
                                << "COM12"
                                << "12";
    QTest::newRow("port com3") << "port"
                               << "com3"
                               << "3";
    QTest::newRow("port 7") << "port"
                            << "7"
                            << "7";
    QTest::newRow("port COM") << "port"
                              << "COM"
                              << "-";
    QTest::newRow("port ttyUSB0") << "port"
                                  << "ttyUSB0"
                                  << "-";
    QTest::newRow("port 0") << "port"
                            << "0"
                            << "-";
    QTest::newRow("settings 230400,e,8,1") << "settings"
                                           << "230400,e,8,1"
                                           << "13";
    QTest::newRow("settings 4800,n,8,1") << "settings"
                                         << "4800,n,8,1"
                                         << "0";
    QTest::newRow("settings with a space") << "settings"
                                           << "19200, e,8,1"
                                           << "-";
    QTest::newRow("settings index 05") << "settings"
                                       << "05"
                                       << "5";
    QTest::newRow("settings -1") << "settings"
                                 << "-1"
                                 << "-";
    QTest::newRow("id 7") << "id"
                          << "7"
                          << "07";
    QTest::newRow("id 99") << "id"
                           << "99"
                           << "99";
    QTest::newRow("id 007") << "id"
                            << "007"
                            << "-";
    QTest::newRow("id empty") << "id"
                              << ""
                              << "-";
    QTest::newRow("ids overlapping") << "ids"
                                     << "1-3,2,3"
                                     << "1,2,3";
    QTest::newRow("ids 99") << "ids"
                            << "99"
                            << "99";
    QTest::newRow("ids empty part") << "ids"
                                    << "1,,2"
                                    << "-";
    QTest::newRow("ids beyond 99") << "ids"
                                   << "98-100"
                                   << "-";
    QTest::newRow("ids three-part range") << "ids"
                                          << "1-2-3"
                                          << "-";
}

void TestCliOptions::values() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, value);
    const std::string t = text.toStdString();
    QString got = "-";
    if (kind == "port") {
        got = Opt(ParsePort(t));
    } else if (kind == "settings") {
        got = Opt(ParseLineSettings(t));
    } else if (kind == "id") {
        got = Opt(ParseReaderId(t));
    } else if (const auto ids = ParseIdList(t)) {
        QStringList list;
        for (int id : *ids) list << QString::number(id);
        got = list.join(',');
    }
    QCOMPARE(got, value);
}

void TestCliOptions::listItems_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("item");  // -1: none
    QTest::newRow("whole text, other case") << "wiegand"
                                            << "WIEGAND 34" << 1;
    QTest::newRow("the number an item ends in") << "rs485"
                                                << "64" << 3;
    QTest::newRow("a number no item ends in") << "rs485"
                                              << "48" << -1;
    QTest::newRow("a digit is never a start") << "wiegand"
                                              << "2" << -1;
    QTest::newRow("the start of more than one item") << "wiegand"
                                                     << "wieg" << -1;
    QTest::newRow("the start of one item") << "mode"
                                           << "rs" << 1;
    QTest::newRow("whole text wins over a start") << "mode"
                                                  << "Wiegand" << 0;
    QTest::newRow("key parity 'n'") << "parity"
                                    << "n" << 0;
    QTest::newRow("empty text") << "mode"
                                << "" << -1;
}

void TestCliOptions::listItems() {
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(int, item);
    const std::string t = text.toStdString();
    std::optional<int> got;
    if (list == "wiegand") got = ItemNamed(commands::kWiegandItems, t);
    if (list == "rs485") got = ItemNamed(commands::kRs485Items, t);
    if (list == "mode") got = ItemNamed(commands::kModeItems, t);
    if (list == "parity") got = ItemNamed(commands::kKeyParityItems, t);
    QCOMPARE(got.value_or(-1), item);
}

void TestCliOptions::csv_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("records");  // "line:field|field ..."; "error: ..." when refused
    QTest::newRow("plain") << "a,b\n1,2\n"
                           << "1:a|b 2:1|2";
    QTest::newRow("no line break at the end") << "a,b\n1,2"
                                              << "1:a|b 2:1|2";
    QTest::newRow("quoted comma") << "port,settings\nCOM1,\"9600,n,8,1\"\n"
                                  << "1:port|settings 2:COM1|9600,n,8,1";
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",x\n"
                                   << "1:say \"hi\"|x";
    QTest::newRow("CRLF line ends") << "a,b\r\n1,2\r\n"
                                    << "1:a|b 2:1|2";
    QTest::newRow("comments and blank lines keep line numbers") << "# plan\na\n\n , \n#x,y\nb\n"
                                                                << "2:a 6:b";
    QTest::newRow("line break inside quotes") << "\"a\nb\",c\nd\n"
                                              << "1:a\nb|c 3:d";
    QTest::newRow("spaces trimmed outside quotes only") << " a , \" b \" \n"
                                                        << "1:a| b ";
    QTest::newRow("empty cells") << "a,,c\n"
                                 << "1:a||c";
    QTest::newRow("quote never closed") << "a,\"b\n"
                                        << "error: line 1: a quote that is never closed";
    QTest::newRow("text after a closing quote") << "\"a\"b,c\n"
                                                << "error: line 1: text after a closing quote";
}

void TestCliOptions::csv() {
    QFETCH(QString, text);
    QFETCH(QString, records);
    std::string error;
    const auto parsed = ParseCsv(text.toStdString(), error);
    QCOMPARE(parsed ? Records(*parsed) : "error: " + QString::fromStdString(error), records);
}

void TestCliOptions::csvFieldsSurviveTheRoundTrip() {
    const std::vector<std::string> fields = {"# not a comment",
                                             "19200,e,8,1",
                                             "say \"hi\"",
                                             "two\nlines",
                                             "",
                                             " padded ",
                                             "Set ID ok.; Reader find ok. (COM : #3)"};
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : ",") + CsvField(field);
    std::string error;
    const auto parsed = ParseCsv("h1,h2,h3,h4,h5,h6,h7\n" + line + "\n", error);
    QVERIFY2(parsed, error.c_str());
    QCOMPARE(parsed->size(), std::size_t(2));
    QCOMPARE(parsed->back().fields, fields);
}

void TestCliOptions::plan_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("defaultPort");  // 0: none
    QTest::addColumn<QString>("ignored");  // --ignore-column
    QTest::addColumn<QString>("rows");     // rows joined by " / "; "error: ..." for the table
    QTest::newRow("every column, settings quoted")
        << QByteArray(
               "port,settings,type,id,new_id,interface,card_type,new_settings\n"
               "COM3,\"9600,n,8,1\",PX40,7,8,rs485 34 64,korva,\"115200,e,8,1\"\n")
        << 0 << ""
        << "2 port=3 settings=2 type=PX40 id=07 new_id=08 interface=113 card=1 new_settings=11";
    QTest::newRow("columns in any order and spelling, empty cells change nothing")
        << QByteArray("New-ID,PORT,Card Type\n5,COM1,\n") << 0 << ""
        << "2 port=1 settings=- type=- id=- new_id=05 interface=- card=- new_settings=-";
    QTest::newRow("--port fills a row without one")
        << QByteArray("id,new_id\n01,02\n") << 4 << ""
        << "2 port=4 settings=- type=- id=01 new_id=02 interface=- card=- new_settings=-";
    QTest::newRow("a row without a port")
        << QByteArray("port,new_id\n,02\nCOM2,03\n") << 0 << ""
        << "2 error port: empty, and no --port given / 3 port=2 settings=- type=- id=- new_id=03 "
           "interface=- card=- new_settings=-";
    QTest::newRow("a bad cell spoils only its row")
        << QByteArray("port,new_id\nCOM1,100\nCOM2,03\n") << 0 << ""
        << "2 error new_id: not a reader ID 1 to 99: '100' / 3 port=2 settings=- type=- id=- "
           "new_id=03 interface=- card=- new_settings=-";
    QTest::newRow("unquoted line settings spill into the next cells")
        << QByteArray("port,new_settings\nCOM1,9600,n,8,1\n") << 0 << ""
        << "2 error more cells than the header names (quote line settings: \"9600,n,8,1\")";
    QTest::newRow("two rows give one port the same new ID; another port may have it")
        << QByteArray("port,new_id\nCOM1,5\nCOM2,5\nCOM1,05\n") << 0 << ""
        << "error: lines 2 and 4 both give COM1 the new ID 05";
    QTest::newRow("a column named twice") << QByteArray("port,id,ID\n") << 0 << ""
                                          << "error: the plan's header names the column 'ID' twice";
    QTest::newRow("no header") << QByteArray("# nothing\n") << 0 << ""
                               << "error: the plan has no header row";
    QTest::newRow("a header and no rows") << QByteArray("port\n") << 0 << ""
                                          << "";
    QTest::newRow("spreadsheet: byte-order mark, semicolons, a column of notes")
        << QByteArray("\xEF\xBB\xBFport;new_id;Notes\nCOM1;5;\"hall; left\"\n") << 0 << "notes"
        << "2 port=1 settings=- type=- id=- new_id=05 interface=- card=- new_settings=-";
    QTest::newRow("a misspelt column is still one, beside the notes")
        << QByteArray("port,new_idd,notes\n") << 0 << "notes"
        << "error: the plan's header names an unknown column 'new_idd' (a column of notes: "
           "--ignore-column new_idd)";
    QTest::newRow("a column of notes the header lacks")
        << QByteArray("port,new_id\n") << 0 << "notes"
        << "error: --ignore-column: the plan's header has no column 'notes'";
    QTest::newRow("UTF-16")
        << QByteArray("\xFF\xFEp") << 0 << ""
        << "error: the file is UTF-16 text (\"Unicode text\"); save it as CSV UTF-8";
    QTest::newRow("not UTF-8") << QByteArray("port,new_id\nCOM1,5\n# caf\xE9\n") << 0 << ""
                               << "error: line 3 is not UTF-8 text; save the file as CSV UTF-8";
    QTest::newRow("a cell longer than 256 bytes")
        << "port,title_1\nCOM1,\"" + QByteArray(257, 'x') + "\"\n"
        << 0 << ""
        << "error: line 2, column title_1: a cell of 257 bytes; a cell holds at most 256";
    QTest::newRow("settings of subcommands, a title keeping its blanks, an option column")
        << QByteArray(
               "port,type,title_1,display_language,read_mode,key_error,id_location\n"
               "COM1,PX50M,Front  door,simplified,enabled,beep,1 2 3\n")
        << 0 << ""
        << "2 port=1 settings=- type=PX50M id=- new_id=- interface=- card=- new_settings=- "
           "title:1 Front  door/display-language/set-read-mode/set-id-location:1,2,3,2";
    QTest::newRow("a setting the row's type lacks")
        << QByteArray("port,key_parity\nCOM1,with\n") << 0 << ""
        << "2 error key_parity: PX10 has no keypad settings (--type PX40, PX40M, PX50, PX50M)";
    QTest::newRow("a title too long for the display")
        << QByteArray("port,type,title_2\nCOM1,PX50,seventeen bytes!!\n") << 0 << ""
        << "2 error title_2: text is 17 bytes long; it takes at most 16";
    QTest::newRow("an option no column of the row takes")
        << QByteArray("port,key,read_mode\nCOM1,B,enabled\n") << 0 << ""
        << "2 error key: no column of this row takes --key";
}

void TestCliOptions::plan() {
    QFETCH(QByteArray, text);
    QFETCH(int, defaultPort);
    QFETCH(QString, ignored);
    QFETCH(QString, rows);
    PlanRow defaults;
    if (defaultPort) defaults.port = defaultPort;
    std::string error;
    PlanFormat format;
    for (const QString& name : ignored.split(',', Qt::SkipEmptyParts))
        format.ignored.push_back(name.toStdString());
    const auto plan = ParsePlan(text.toStdString(), defaults, error, format);
    if (!plan) {
        QCOMPARE("error: " + QString::fromStdString(error), rows);
        return;
    }
    QStringList got;
    for (const PlanRow& row : *plan) got << Row(row);
    QCOMPARE(got.join(" / "), rows);
}

void TestCliOptions::jsonLinesParse() {
    // Texts that a reader or a user may bring: quotes, backslashes, control bytes, non-ASCII.
    const std::string awkward =
        "a\"b\\c\td\ne\x01\x7F"
        "\xC3\xA9";
    JsonObject object;
    object.add("kind", "reader").add("text", awkward).add("n", 17).add("ok", false);
    object.addNull("none").addStrings("list", {"x", "y,z"});
    const std::string line = object.text();
    QVERIFY(line.find('\n') == std::string::npos);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject json = document.object();
    QCOMPARE(json.value("text").toString(), QString::fromUtf8(awkward.c_str()));
    QCOMPARE(json.value("n").toInt(), 17);
    QCOMPARE(json.value("ok").toBool(true), false);
    QVERIFY(json.value("none").isNull());
    QCOMPARE(json.value("list").toVariant().toStringList(), QStringList({"x", "y,z"}));
    // A byte that starts no UTF-8 character is U+FFFD: the line stays UTF-8.
    QCOMPARE(JsonString("\xFF\xC3(\xE2\x82\xAC"), std::string("\"\\uFFFD\\uFFFD(\xE2\x82\xAC\""));
    // Members stay in the order they were added: "kind" first, for people reading the lines.
    QVERIFY(line.rfind("{\"kind\":\"reader\",", 0) == 0);
}

QTEST_APPLESS_MAIN(TestCliOptions)
#include "tst_cli_options.moc"
