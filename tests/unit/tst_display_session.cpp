// The display's commands against a simulated PX50 on the scripted channel: the frames each
// sends, its pauses and pumps, its attempts and the silence limit of each text command. Expected
// frames are written out from the command tables, not printed by the code under test.
#include <QtTest>
#include <functional>

#include "CommandRig.h"
#include "commands/display/MessagesAndTitles.h"
#include "commands/display/SystemParameters.h"

using namespace commands::display;
using commands::Session;

namespace {

using Run = std::function<bool(const Session&)>;

constexpr int kId = 1;
const ClockValue kFebruary{2027, 2, 1, 9, 5, 3};

QByteArray Spaces(int count) { return QByteArray(count, ' '); }

QByteArrayList Commands(const std::vector<std::string>& commands) {
    QByteArrayList list;
    for (const auto& command : commands) list << QByteArray::fromStdString(command);
    return list;
}

// The pacer's calls in order: "U" a pump, "P50" a plain pause, "K100" a kept-alive one.
QString CallsText(const RecordingPacer& pacer) {
    QStringList calls;
    for (const auto& call : pacer.calls()) {
        switch (call.kind) {
            case RecordingPacer::Call::Kind::Pump:
                calls << "U";
                break;
            case RecordingPacer::Call::Kind::Plain:
                calls << QString("P%1").arg(call.ms);
                break;
            case RecordingPacer::Call::Kind::KeptAlive:
                calls << QString("K%1").arg(call.ms);
                break;
            case RecordingPacer::Call::Kind::Tick:
                calls << "T";
                break;
        }
    }
    return calls.join(' ');
}

// A picture with its top-left and bottom-right pixels dark.
IconBitmap Corners() {
    IconBitmap icon;
    icon.setDark(0, 0, true);
    icon.setDark(127, 15, true);
    return icon;
}

QByteArrayList CornerParts() {
    const QByteArray zeros(64, '0');
    QByteArrayList parts;
    for (int n = 0; n < 8; ++n) parts << "J00M" + QByteArray::number(n) + zeros;
    parts[0] = "J00M001" + QByteArray(62, '0');
    parts[7] = "J00M7" + QByteArray(62, '0') + "80";
    return parts;
}

bool SendIcon(const Session& s) {
    return SetTitleIcon(s, [] { return std::optional<IconBitmap>(Corners()); }) ==
           IconOutcome::Sent;
}

// A reader that never answers these command texts (after the prefix).
tbsim::ReaderConfig Px50(const QByteArrayList& silent = {}) {
    tbsim::ReaderConfig config;
    config.kind = tbsim::ReaderKind::PX50;
    config.id = kId;
    config.serial = CommandRig::kSerial;
    config.version = tbsim::DefaultVersion(config.kind);
    for (const auto& command : silent) config.silentCommands.insert(command.toStdString());
    return config;
}

}  // namespace

Q_DECLARE_METATYPE(Run)

class TestDisplaySession : public QObject {
    Q_OBJECT
private slots:
    void oneAttempt_data();
    void oneAttempt();
    void attempts_data();
    void attempts();
    void silenceLimits_data();
    void silenceLimits();
    void titleIcon_data();
    void titleIcon();
};

// A reader that answers everything: one attempt, opened by the reader check after a plain
// 50 ms pause; the commands that change the title list pump first.
void TestDisplaySession::oneAttempt_data() {
    QTest::addColumn<Run>("run");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QString>("calls");
    const auto english = TextCodePage::SingleByte;

    QTest::newRow("language") << Run([](const Session& s) {
        return SetDisplayLanguage(s, DisplayLanguage::TraditionalChinese);
    }) << QByteArrayList{"J01B", "J01N1"}
                              << "P50";
    QTest::newRow("empty password")
        << Run([](const Session& s) { return SetDisplayPassword(s, ""); })
        << QByteArrayList{"J01B", "J01O"} << "P50";
    QTest::newRow("screen mode") << Run([](const Session& s) {
        return SetScreenMode(s, ScreenMode::TimeOnly);
    }) << QByteArrayList{"J01B", "J01K31"}
                                 << "P50";
    QTest::newRow("clock, then 24H")
        << Run([](const Session& s) { return SetClock(s, kFebruary, HourFormat::TwentyFourHour); })
        << QByteArrayList{"J01B", "J01T20270201090503", "J01T1"} << "P50";
    QTest::newRow("small message")
        << Run([=](const Session& s) { return SetSmallMessage(s, "Hello!", english); })
        << QByteArrayList{"J01B", "J01HHello!" + Spaces(58)} << "P50";
    QTest::newRow("screen message")
        << Run([=](const Session& s) { return SetScreenMessage(s, "Welcome", english); })
        << QByteArrayList{"J01B", "J01L4Welcome" + Spaces(121)} << "P50";
    QTest::newRow("clear screen message")
        << Run([](const Session& s) { return ClearScreenMessage(s); })
        << QByteArrayList{"J01B", "J00L4" + Spaces(128)} << "P50";
    QTest::newRow("title mode") << Run([](const Session& s) {
        return SetTitleMode(s, TitleMode::TextAndIconTitle);
    }) << QByteArrayList{"J01B", "J01L2"}
                                << "P50";
    QTest::newRow("title 2, then the text-title mode")
        << Run([=](const Session& s) { return SetTitle(s, TitleLine::Second, "Lobby", english); })
        << QByteArrayList{"J01B", "J01L3Lobby" + Spaces(11), "J01L1"} << "U P50";
    QTest::newRow("clear title 1")
        << Run([](const Session& s) { return ClearTitle(s, TitleLine::First); })
        << QByteArrayList{"J01B", "J01L1" + Spaces(16)} << "P50";
    QTest::newRow("title icon") << Run(SendIcon)
                                << QByteArrayList{"J01B"} + CornerParts() + QByteArrayList{"J01L2"}
                                << "U P50 P200 P200 P200 P200 P200 P200 P200 P200";
}

void TestDisplaySession::oneAttempt() {
    QFETCH(Run, run);
    QFETCH(QByteArrayList, sent);
    QFETCH(QString, calls);
    CommandRig rig;
    rig.addReader(Px50());
    QVERIFY(rig.open());
    QVERIFY(run(Session{rig.link, rig.pacer, "J01"}));
    QCOMPARE(Commands(rig.commands()), sent);
    QCOMPARE(CallsText(rig.pacer), calls);
}

// Faults in the first or in both attempts: which frames go out again, and the result.
void TestDisplaySession::attempts_data() {
    QTest::addColumn<Run>("run");
    QTest::addColumn<QByteArrayList>("silent");  // commands the reader never answers
    QTest::addColumn<int>("silencedReplies");    // replies the line swallows first
    QTest::addColumn<int>("checkReplyData");     // data characters of every "B" reply; 8 is right
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<bool>("result");
    const auto english = TextCodePage::SingleByte;
    const Run language = [](const Session& s) {
        return SetDisplayLanguage(s, DisplayLanguage::SimplifiedChinese);
    };
    const Run clock = [](const Session& s) {
        return SetClock(s, kFebruary, HourFormat::TwelveHour);
    };
    const Run title = [=](const Session& s) {
        return SetTitle(s, TitleLine::First, "Door", english);
    };
    const QByteArray time = "J01T20270201090503";
    const QByteArray door = "J01L1Door" + Spaces(12);

    QTest::newRow("first check unanswered, second attempt succeeds")
        << language << QByteArrayList{} << 1 << 8 << QByteArrayList{"J01B", "J01B", "J01N2"}
        << true;
    QTest::newRow("24-byte check reply: the set command never goes")
        << language << QByteArrayList{} << 0 << 16 << QByteArrayList{"J01B", "J01B"} << false;
    QTest::newRow("set command unanswered twice")
        << language << QByteArrayList{"N2"} << 0 << 8
        << QByteArrayList{"J01B", "J01N2", "J01B", "J01N2"} << false;
    QTest::newRow("clock unanswered: the same time again, no hour format")
        << clock << QByteArrayList{"T20270201090503"} << 0 << 8
        << QByteArrayList{"J01B", time, "J01B", time} << false;
    QTest::newRow("hour format unanswered: the clock goes again")
        << clock << QByteArrayList{"T0"} << 0 << 8
        << QByteArrayList{"J01B", time, "J01T0", "J01B", time, "J01T0"} << false;
    QTest::newRow("title mode unanswered: the title goes again")
        << title << QByteArrayList{"L1"} << 0 << 8
        << QByteArrayList{"J01B", door, "J01L1", "J01B", door, "J01L1"} << false;
    QTest::newRow("title unanswered: no title mode")
        << title << QByteArrayList{"L1Door" + Spaces(12)} << 0 << 8
        << QByteArrayList{"J01B", door, "J01B", door} << false;
    QTest::newRow("cleared screen message unanswered")
        << Run([](const Session& s) { return ClearScreenMessage(s); })
        << QByteArrayList{"L4" + Spaces(128)} << 0 << 8
        << QByteArrayList{"J01B", "J00L4" + Spaces(128), "J01B", "J00L4" + Spaces(128)} << false;
}

void TestDisplaySession::attempts() {
    QFETCH(Run, run);
    QFETCH(QByteArrayList, silent);
    QFETCH(int, silencedReplies);
    QFETCH(int, checkReplyData);
    QFETCH(QByteArrayList, sent);
    QFETCH(bool, result);
    CommandRig rig;
    rig.addReader(Px50(silent));
    if (silencedReplies > 0) {
        tbsim::FaultPlan plan;
        plan.fault = tbsim::Fault::Silence;
        plan.times = silencedReplies;
        rig.line().setFault(plan);
    } else if (checkReplyData != 8) {
        tbsim::FaultPlan plan;
        plan.fault = tbsim::Fault::OverlongReply;
        plan.length = static_cast<std::size_t>(checkReplyData);
        rig.line().setFault(plan);
    }
    QVERIFY(rig.open());
    QCOMPARE(run(Session{rig.link, rig.pacer, "J01"}), result);
    QCOMPARE(Commands(rig.commands()), sent);
    // Every attempt is opened by the plain pause, never the kept-alive one.
    const int attempts = static_cast<int>(sent.count("J01B"));
    QCOMPARE(rig.pacer.pausesText(), QStringList(attempts, "P50").join(' ').toStdString());
}

// A command the reader never answers is given up after its silence limit; the next frame
// follows after that limit and the pause that comes next.
void TestDisplaySession::silenceLimits_data() {
    QTest::addColumn<Run>("run");
    QTest::addColumn<QByteArray>("silent");  // after the prefix, or the whole unprefixed text
    QTest::addColumn<int>("limitMs");
    QTest::addColumn<int>("pauseAfterMs");
    const auto english = TextCodePage::SingleByte;

    QTest::newRow("small message 500")
        << Run([=](const Session& s) { return SetSmallMessage(s, "", english); })
        << "H" + Spaces(64) << 500 << 50;
    QTest::newRow("screen message 1500")
        << Run([=](const Session& s) { return SetScreenMessage(s, "", english); })
        << "L4" + Spaces(128) << 1500 << 50;
    QTest::newRow("clearing the screen message 1500")
        << Run([](const Session& s) { return ClearScreenMessage(s); }) << "L4" + Spaces(128) << 1500
        << 50;
    QTest::newRow("title 500") << Run([=](const Session& s) {
        return SetTitle(s, TitleLine::First, "", english);
    }) << "L1" + Spaces(16) << 500
                               << 50;
    QTest::newRow("cleared title 500")
        << Run([](const Session& s) { return ClearTitle(s, TitleLine::Second); })
        << "L3" + Spaces(16) << 500 << 50;
    QTest::newRow("title mode 300")
        << Run([](const Session& s) { return SetTitleMode(s, TitleMode::NoTitle); })
        << QByteArray("L0") << 300 << 50;
    QTest::newRow("clock 300") << Run([](const Session& s) {
        return SetClock(s, kFebruary, HourFormat::TwelveHour);
    }) << QByteArray("T20270201090503")
                               << 300 << 50;
    QTest::newRow("icon part 500, then its 200 ms")
        << Run(SendIcon) << CornerParts()[3].mid(3) << 500 << 200;
}

void TestDisplaySession::silenceLimits() {
    QFETCH(Run, run);
    QFETCH(QByteArray, silent);
    QFETCH(int, limitMs);
    QFETCH(int, pauseAfterMs);
    CommandRig rig;
    rig.addReader(Px50({silent}));
    QVERIFY(rig.open());
    run(Session{rig.link, rig.pacer, "J01"});

    const auto& sent = rig.channel.sent();
    const auto at = std::find_if(sent.begin(), sent.end(), [&](const ScriptedChannel::Sent& s) {
        return QByteArray::fromStdString(s.command).endsWith(silent);
    });
    QVERIFY(at != sent.end() && at + 1 != sent.end());
    // 11 bits a character at 19200 baud.
    const auto frameTime = std::chrono::nanoseconds(11'000'000'000LL / 19200) *
                           static_cast<long long>(at->frame.size());
    const auto silence =
        (at + 1)->at - at->at - frameTime - std::chrono::milliseconds(pauseAfterMs);
    // The link waits in slices of up to 20 ms: the limit, and less than a slice more.
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(silence).count();
    QVERIFY2(waited >= limitMs && waited < limitMs + 20, qPrintable(QString::number(waited)));
}

// The icon source decides: read each attempt, nothing more sent when it cannot be read; the
// icon data's own replies never count.
void TestDisplaySession::titleIcon_data() {
    QTest::addColumn<QByteArrayList>("silent");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("reads");

    QTest::newRow("sent") << QByteArrayList{} << true << int(IconOutcome::Sent) << 10 << 1;
    QTest::newRow("unanswered icon data does not count")
        << QByteArrayList{CornerParts()[0].mid(3), CornerParts()[5].mid(3)} << true
        << int(IconOutcome::Sent) << 10 << 1;
    QTest::newRow("unreadable: only the reader check")
        << QByteArrayList{} << false << int(IconOutcome::Unreadable) << 1 << 1;
    QTest::newRow("title mode unanswered: read and sent twice")
        << QByteArrayList{"L2"} << true << int(IconOutcome::Failed) << 20 << 2;
    QTest::newRow("no reader check: never read")
        << QByteArrayList{"B"} << true << int(IconOutcome::Failed) << 2 << 0;
}

void TestDisplaySession::titleIcon() {
    QFETCH(QByteArrayList, silent);
    QFETCH(bool, readable);
    QFETCH(int, outcome);
    QFETCH(int, frames);
    QFETCH(int, reads);
    CommandRig rig;
    rig.addReader(Px50(silent));
    QVERIFY(rig.open());
    int read = 0;
    const IconSource source = [&]() -> std::optional<IconBitmap> {
        ++read;
        if (!readable) return std::nullopt;
        return Corners();
    };
    QCOMPARE(int(SetTitleIcon(Session{rig.link, rig.pacer, "J01"}, source)), outcome);
    const auto sent = rig.commands();
    QCOMPARE(int(sent.size()), frames);
    QCOMPARE(read, reads);
    if (!readable) QCOMPARE(Commands(sent), QByteArrayList{"J01B"});
}

QTEST_APPLESS_MAIN(TestDisplaySession)
#include "tst_display_session.moc"
