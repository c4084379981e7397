// The configuration commands on the simulated readers: every frame byte for byte, the pause
// that opens each attempt, and how many attempts a silent or wrong reader gets.
#include <QtTest>
#include <functional>

#include "CommandRig.h"
#include "commands/config/CardReading.h"
#include "commands/config/Identity.h"
#include "commands/config/Keypad.h"

using namespace commands;
using tbsim::ReaderKind;
using Commands = std::vector<std::string>;

namespace {

struct Case {
    const char* name;
    ReaderKind kind;
    const char* prefix;
    std::function<bool(const Session&)> run;
    Commands sent;       // after the reader's answers
    const char* pauses;  // RecordingPacer::pausesText()
    std::function<void(tbsim::ReaderConfig&)> configure = {};
};

bool Got(const std::optional<int>& value, int expected) { return value && *value == expected; }

// Each row: the reader answers everything, so one attempt succeeds.
const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"set ID to 05",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetReaderId(s, "05"); },
         {"A01B", "A01C1234567805"},
         "K100"},
        {"line settings 230400,e,8,1 is ED",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetLineSettings(s, 13); },
         {"A01B", "A01ED"},
         "K100"},
        {"line settings 57600,e,8,1 is E9",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetLineSettings(s, 9); },
         {"A01B", "A01E9"},
         "K100"},
        {"interface RS485, Wiegand 34, RS485 32",
         ReaderKind::PX40,
         "H01",
         [](const Session& s) {
             return SetInterface(s, {1, 1, 1});
         },
         {"H01B", "H01A111"},
         "K100"},
        {"get interface",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) {
             const auto read = GetInterface(s);
             return read && read->mode == 0 && read->wiegand == 1 && read->rs485 == 2;
         },
         {"A01B", "A01A"},
         "K100",
         [](tbsim::ReaderConfig& c) {
             c.wiegandIndex = 1;
             c.rs485Index = 2;
         }},
        {"card type KORVA: 100 ms plain after the check",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetCardType(s, 1); },
         {"A01B", "A01A1"},
         "K100 P100"},
        {"card type EM",
         ReaderKind::PX60,
         "I01",
         [](const Session& s) { return SetCardType(s, 0); },
         {"I01B", "I01A0"},
         "K100 P100"},
        {"read mode Disable",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetCardReadMode(s, 0); },
         {"A01B", "A01W000"},
         "P50"},
        {"read mode Enabled",
         ReaderKind::PX10,
         "A01",
         [](const Session& s) { return SetCardReadMode(s, 1); },
         {"A01B", "A01W100"},
         "P50"},
        {"key parity none",
         ReaderKind::PX40,
         "H01",
         [](const Session& s) { return SetKeyParity(s, 0); },
         {"H01B", "H01M0"},
         "K100"},
        {"key parity with parity",
         ReaderKind::PX40,
         "H01",
         [](const Session& s) { return SetKeyParity(s, 1); },
         {"H01B", "H01M1"},
         "K100"},
        {"get key parity",
         ReaderKind::PX40,
         "H01",
         [](const Session& s) { return Got(GetKeyParity(s), 1); },
         {"H01B", "H01M"},
         "K100",
         [](tbsim::ReaderConfig& c) { c.keyParity = 1; }},
        {"key number 4 as L04",
         ReaderKind::PX40,
         "H01",
         [](const Session& s) { return SetKeyNumber(s, "04"); },
         {"H01B", "H01L04"},
         "K100"},
        {"get key number: plain pause",
         ReaderKind::PX40M,
         "H01",
         [](const Session& s) { return Got(GetKeyNumber(s), 12); },
         {"H01B", "H01L"},
         "P50",
         [](tbsim::ReaderConfig& c) { c.keyNumber = 12; }},
        {"key status 2 with 15 s as N0215",
         ReaderKind::PX40M,
         "H01",
         [](const Session& s) { return SetKeyStatus(s, "02", "15"); },
         {"H01B", "H01N0215"},
         "P50"},
        {"get key status",
         ReaderKind::PX40M,
         "H01",
         [](const Session& s) {
             const auto status = GetKeyStatus(s);
             return status && status->keyNumber == 3 && status->delaySeconds == 5;
         },
         {"H01B", "H01N"},
         "P50",
         [](tbsim::ReaderConfig& c) {
             c.keyStatusNumber = 3;
             c.keyDelaySeconds = 5;
         }},
    };
    return cases;
}

tbsim::ReaderConfig ConfigFor(const Case& c) {
    tbsim::ReaderConfig config;
    config.kind = c.kind;
    config.id = 1;
    config.serial = CommandRig::kSerial;
    config.version = tbsim::DefaultVersion(c.kind);
    if (c.configure) c.configure(config);
    return config;
}

}  // namespace

class TestConfigCommands : public QObject {
    Q_OBJECT
private slots:
    void firstAttemptSucceeds_data();
    void firstAttemptSucceeds();
    void silentReaderGetsTwoAttempts_data();
    void silentReaderGetsTwoAttempts();
    void everyLineSettingsDigit();
    void getWithUndecodableReplyIsRetried();
    void plainCardLoop();
    void twoWayCardLoopAnswersEveryCard_data();
    void twoWayCardLoopAnswersEveryCard();
    void cardLoopEndsOnAFailedPoll();
    void stopClickEndsTheLoopAfterItsPoll();
};

void TestConfigCommands::firstAttemptSucceeds_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < static_cast<int>(Cases().size()); ++i) QTest::newRow(Cases()[i].name) << i;
}

void TestConfigCommands::firstAttemptSucceeds() {
    QFETCH(int, row);
    const Case& c = Cases()[row];
    CommandRig rig;
    rig.addReader(ConfigFor(c));
    QVERIFY(rig.open());
    const Session session{rig.link, rig.pacer, c.prefix};
    QVERIFY(c.run(session));
    QCOMPARE(rig.takeCommands(), c.sent);
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), QString(c.pauses));
}

void TestConfigCommands::silentReaderGetsTwoAttempts_data() { firstAttemptSucceeds_data(); }

// The reader check goes unanswered: each attempt sends only "B", after its own pause.
void TestConfigCommands::silentReaderGetsTwoAttempts() {
    QFETCH(int, row);
    const Case& c = Cases()[row];
    CommandRig rig;
    tbsim::ReaderConfig config = ConfigFor(c);
    config.silentCommands.insert("B");
    rig.addReader(config);
    QVERIFY(rig.open());
    const Session session{rig.link, rig.pacer, c.prefix};
    QVERIFY(!c.run(session));
    const std::string check = std::string(c.prefix) + "B";
    QCOMPARE(rig.takeCommands(), (Commands{check, check}));
    const QString attemptPause = QString(c.pauses).section(' ', 0, 0);
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), attemptPause + " " + attemptPause);
}

void TestConfigCommands::everyLineSettingsDigit() {
    const std::string digits = "0123456789ABCD";
    for (int index = 0; index < 14; ++index) {
        CommandRig rig;
        rig.addReader(ReaderKind::PX10, 1);
        QVERIFY(rig.open());
        QVERIFY(SetLineSettings({rig.link, rig.pacer, "A01"}, index));
        QCOMPARE(rig.takeCommands().back(), std::string("A01E") + digits[index]);
    }
}

// A reply whose field is no number counts as a failed attempt, so the get is asked again.
void TestConfigCommands::getWithUndecodableReplyIsRetried() {
    CommandRig rig;
    tbsim::ReaderConfig config;
    config.kind = ReaderKind::PX10;
    config.settingsDataOverride = "0X1";
    rig.addReader(config);
    QVERIFY(rig.open());
    QVERIFY(!GetInterface({rig.link, rig.pacer, "A01"}));
    QCOMPARE(rig.takeCommands(), (Commands{"A01B", "A01A", "A01B", "A01A"}));
}

void TestConfigCommands::plainCardLoop() {
    CommandRig rig;
    auto* reader = rig.addReader(ReaderKind::PX10, 1);
    QVERIFY(reader->presentCardId("00A0B0C0"));
    QVERIFY(reader->presentKeys("1234"));
    QVERIFY(rig.open());
    rig.pacer.stopAfter(3);
    std::vector<PollOutcome> shown;
    const auto end = ReadCards({rig.link, rig.pacer, "A01"}, CardLoop::Plain,
                               [&](const PollOutcome& o) { shown.push_back(o); }, {});
    QCOMPARE(end, CardLoopEnd::Stopped);
    // Three polls, each after five pumps 10 ms apart; nothing is answered in plain reading.
    QCOMPARE(rig.takeCommands(), (Commands{"A01F", "A01F", "A01F"}));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()),
             QString("P10 P10 P10 P10 P10 P10 P10 P10 P10 P10 P10 P10 P10 P10 P10"));
    QCOMPARE(rig.pacer.pumps() >= 15, true);
    QCOMPARE(static_cast<int>(shown.size()), 3);
    QCOMPARE(shown[0].text, std::string(" : 0010531008(D)  00A0B0C0(H)"));
    QCOMPARE(shown[1].text, std::string("KEY : 1234"));
    QVERIFY(!shown[2].data);
}

void TestConfigCommands::twoWayCardLoopAnswersEveryCard_data() {
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("accepted: H1") << false << "A01H1";
    QTest::newRow("refused (Invalid checked): H2") << true << "A01H2";
}

void TestConfigCommands::twoWayCardLoopAnswersEveryCard() {
    QFETCH(bool, refuse);
    QFETCH(QString, verdict);
    CommandRig rig;
    auto* reader = rig.addReader(ReaderKind::PX10, 1);
    QVERIFY(reader->presentCardId("00A0B0C0"));
    QVERIFY(rig.open());
    rig.pacer.stopAfter(2);
    const auto end =
        ReadCards({rig.link, rig.pacer, "A01"}, CardLoop::TwoWay, {}, [&] { return refuse; });
    QCOMPARE(end, CardLoopEnd::Stopped);
    // The card is answered (J, J, verdict after 10, 10 and 50 ms); the empty poll is not.
    QCOMPARE(rig.takeCommands(), (Commands{"A01I", "A01J", "A01J", verdict.toStdString(), "A01I"}));
    QCOMPARE(QString::fromStdString(rig.pacer.pausesText()),
             QString("P10 P10 P10 P10 P10 P10 P10 P50 P10 P10 P10 P10 P10"));
    const auto config = reader->config();
    QCOMPARE(config.confirmations, 2);
    QCOMPARE(config.cardsRefused, refuse ? 1 : 0);
    QCOMPARE(config.cardsAccepted, refuse ? 0 : 1);
}

void TestConfigCommands::cardLoopEndsOnAFailedPoll() {
    CommandRig rig;
    rig.addReader(ReaderKind::PX40, 1);
    QVERIFY(rig.open());
    rig.line().setFault({tbsim::Fault::Silence, {}, 0, 1});
    const auto end = ReadCards({rig.link, rig.pacer, "H01"}, CardLoop::Plain, {}, {});
    QCOMPARE(end, CardLoopEnd::PollFailed);
    QCOMPARE(rig.takeCommands(), (Commands{"H01F"}));
}

// The stop click arrives while the loop pumps before a poll: that poll is still made.
void TestConfigCommands::stopClickEndsTheLoopAfterItsPoll() {
    CommandRig rig;
    rig.addReader(ReaderKind::PX10, 1);
    QVERIFY(rig.open());
    bool clicked = false;
    rig.pacer.stopWhen = [&] { return clicked; };
    // The click is handled by the third of the five pumps before the first poll.
    rig.pacer.onPump = [&] { clicked = clicked || rig.pacer.pumps() == 3; };
    QCOMPARE(ReadCards({rig.link, rig.pacer, "A01"}, CardLoop::Plain, {}, {}),
             CardLoopEnd::Stopped);
    QCOMPARE(rig.takeCommands(), (Commands{"A01F"}));
    QCOMPARE(rig.pacer.stoppedQuestions(), 2);
}

QTEST_APPLESS_MAIN(TestConfigCommands)
#include "tst_config_commands.moc"
