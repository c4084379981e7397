// The window says what the command-line program and the log file say: in English, the
// catalogue's port reasons, advice and history outcomes read exactly as the plain texts of
// platform/ and link/, and in the two Chinese languages every wording has texts of its own with
// every argument in its place. And the history's table keeps in step with a bounded history
// that moves faster than the table refreshes.
#include <netdb.h>
#include <QAbstractItemModelTester>
#include <QtTest>

#include "app/history/FrameHistoryModel.h"
#include "app/history/HistoryText.h"
#include "text/Catalogue.h"

using platform::PortDiagnosis;
using platform::PortProblem;

Q_DECLARE_METATYPE(PortDiagnosis)

namespace {

PortDiagnosis Diagnosis(PortProblem problem, const char* device = "/dev/ttyUSB0") {
    PortDiagnosis d;
    d.problem = problem;
    d.device = device;
    d.error = 5;
    d.user = "ana";
    d.group = "dialout";
    return d;
}

// A network port's diagnosis; `error` is what the channel would keep for it.
PortDiagnosis Network(PortProblem problem, int error = 0) {
    PortDiagnosis d = Diagnosis(problem, "rfc2217://door-server:4001");
    d.error = error;
    d.limitMs = 1500;
    return d;
}

}  // namespace

class TestHistoryText : public QObject {
    Q_OBJECT
private slots:
    void everyWording_data();
    void everyWording();
    void outcomesReadAlike();
    void tableKeepsInStepWithTheBound();
};

void TestHistoryText::everyWording_data() {
    QTest::addColumn<PortDiagnosis>("diagnosis");
    QTest::newRow("not mapped") << Diagnosis(PortProblem::NotMapped);
    QTest::newRow("no such device") << Diagnosis(PortProblem::NoSuchDevice);
    QTest::newRow("not in the group") << Diagnosis(PortProblem::PermissionDenied);
    PortDiagnosis inactive = Diagnosis(PortProblem::PermissionDenied);
    inactive.memberNotActive = true;
    QTest::newRow("not in this login") << inactive;
    PortDiagnosis ownerOnly = Diagnosis(PortProblem::PermissionDenied);
    ownerOnly.groupMayOpen = false;
    QTest::newRow("owner only") << ownerOnly;
    PortDiagnosis named = Diagnosis(PortProblem::HeldByProgram);
    named.holderPid = 4242;
    named.holderName = "minicom";
    named.heldBy = "/run/lock/LCK..ttyUSB0";
    QTest::newRow("held, holder known") << named;
    PortDiagnosis unknown = Diagnosis(PortProblem::HeldByProgram);
    unknown.heldBy = "TIOCEXCL";
    QTest::newRow("held, holder unseen") << unknown;
    QTest::newRow("held here") << Diagnosis(PortProblem::HeldHere);
    QTest::newRow("not a terminal") << Diagnosis(PortProblem::NotATerminal);
    QTest::newRow("vanished") << Diagnosis(PortProblem::Vanished);
    QTest::newRow("hung up") << Diagnosis(PortProblem::HungUp);
    PortDiagnosis stalled = Diagnosis(PortProblem::Stalled);
    stalled.limitMs = 2044;
    QTest::newRow("stalled") << stalled;
    PortDiagnosis badSettings = Diagnosis(PortProblem::BadLineSettings);
    badSettings.lineSettings = "19200,e,8";
    QTest::newRow("bad line settings") << badSettings;
    QTest::newRow("other") << Diagnosis(PortProblem::Other);
    QTest::newRow("not a network address")
        << Diagnosis(PortProblem::BadAddress, "telnet://door-server:23");
    QTest::newRow("host not found") << Network(PortProblem::HostNotFound, EAI_NONAME);
    QTest::newRow("refused") << Network(PortProblem::Refused, ECONNREFUSED);
    QTest::newRow("unreachable") << Network(PortProblem::Unreachable, ENETUNREACH);
    QTest::newRow("no answer") << Network(PortProblem::NoAnswer, ETIMEDOUT);
    QTest::newRow("dropped") << Network(PortProblem::Dropped);
    QTest::newRow("not negotiated") << Network(PortProblem::NotNegotiated, ETIMEDOUT);
}

void TestHistoryText::everyWording() {
    QFETCH(PortDiagnosis, diagnosis);
    QCOMPARE(app::PortReason(diagnosis, text::kEnglish).toStdString(),
             platform::ReasonText(diagnosis));
    QCOMPARE(app::PortAdvice(diagnosis, text::kEnglish).toStdString(),
             platform::AdviceText(diagnosis));
    const platform::PortWords words = platform::WordsOf(diagnosis);
    for (int language : {text::kSimplifiedChinese, text::kTraditionalChinese}) {
        const QString both =
            app::PortReason(diagnosis, language) + app::PortAdvice(diagnosis, language);
        QVERIFY(!app::PortReason(diagnosis, language).isEmpty());
        QVERIFY2(!both.contains('%'), qPrintable(both));
        // The reason names the device in every language; the holder's process ID, the user and
        // the group appear wherever the English has them.
        QVERIFY(app::PortReason(diagnosis, language)
                    .contains(QString::fromStdString(diagnosis.device)));
        const std::string english = platform::DescribePortProblem(diagnosis);
        for (const std::string& argument : words.arguments) {
            if (english.find(argument) != std::string::npos)
                QVERIFY2(both.contains(QString::fromStdString(argument)),
                         qPrintable(both + " lacks " + QString::fromStdString(argument)));
        }
    }
}

void TestHistoryText::outcomesReadAlike() {
    using tblink::HistoryEvent;
    using tblink::TransactResult;
    std::vector<tblink::HistoryEntry> entries;
    for (TransactResult result :
         {TransactResult::Ok, TransactResult::ChecksumError, TransactResult::Silence,
          TransactResult::LineGone, TransactResult::Overflow, TransactResult::NotOpen,
          TransactResult::CommandTooLong}) {
        tblink::HistoryEntry entry;
        entry.result = result;
        entry.silenceMs = 301;
        entry.bytesReceived = 8400;
        if (result == TransactResult::LineGone)
            entry.diagnosis =
                std::make_shared<const PortDiagnosis>(Diagnosis(PortProblem::Vanished));
        entries.push_back(entry);
    }
    for (HistoryEvent event :
         {HistoryEvent::PortOpened, HistoryEvent::PortClosed, HistoryEvent::PortOpenFailed}) {
        tblink::HistoryEntry entry;
        entry.event = event;
        entry.diagnosis =
            std::make_shared<const PortDiagnosis>(Diagnosis(PortProblem::NoSuchDevice));
        entries.push_back(entry);
    }
    for (const tblink::HistoryEntry& entry : entries) {
        QCOMPARE(app::HistoryOutcome(entry, text::kEnglish).toStdString(),
                 tblink::OutcomeText(entry));
        for (int language : {text::kSimplifiedChinese, text::kTraditionalChinese}) {
            const QString outcome = app::HistoryOutcome(entry, language);
            QVERIFY(!outcome.isEmpty());
            QVERIFY2(!outcome.contains('%'), qPrintable(outcome));
            QVERIFY(outcome != app::HistoryOutcome(entry, text::kEnglish));
        }
    }
}

void TestHistoryText::tableKeepsInStepWithTheBound() {
    tblink::FrameHistory history(5);
    app::FrameHistoryModel model(history);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    int added = 0;
    const auto add = [&](int count) {
        for (int i = 0; i < count; ++i) {
            tblink::HistoryEntry entry;
            entry.port = std::make_shared<const tblink::PortInfo>(
                tblink::PortInfo{0, "COM" + std::to_string(++added), {}, {}});
            history.Add(std::move(entry));
        }
    };
    const auto portsShown = [&] {
        QStringList ports;
        for (int row = 0; row < model.rowCount(); ++row)
            ports << model.data(model.index(row, app::FrameHistoryModel::Port)).toString();
        return ports;
    };
    add(1);
    QCOMPARE(model.rowCount(), 1);  // after a quiet spell, at once
    add(2);                         // a burst waits for the next refresh
    QTRY_COMPARE(portsShown(), (QStringList{"COM1", "COM2", "COM3"}));
    add(9);  // past the bound: seven dropped from the top, some of them never shown
    QTRY_COMPARE(portsShown(), (QStringList{"COM8", "COM9", "COM10", "COM11", "COM12"}));
    add(1);
    QTRY_COMPARE(portsShown(), (QStringList{"COM9", "COM10", "COM11", "COM12", "COM13"}));
    history.Clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestHistoryText)
#include "tst_historytext.moc"
