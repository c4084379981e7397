// Transactions against the simulated reader on a real pseudo-terminal: what goes over the wire,
// what the status bar is shown, and how every kind of bad reply ends.
#include <QtTest>
#include <memory>

#include "CommandRig.h"
#include "SimLine.h"
#include "link/Frame.h"
#include "link/ReaderLink.h"
#include "platform/PosixSerialChannel.h"

using tblink::ReaderLink;
using tblink::TransactResult;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(TransactResult)

namespace {

constexpr int kPort = 12;  // two digits, to show they need no other device-name form

struct RecordingEcho : tblink::EchoSink {
    std::string sent;
    std::string received;
    void showSentEcho(const std::string& echo) override { sent = echo; }
    void showReceivedEcho(const std::string& echo) override { received = echo; }
};

}  // namespace

class TestTransact : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void scanProbeOnTheWireAndInTheStatusBar();
    void replyFieldsOfSerialAndVersion();
    void badReplies_data();
    void badReplies();
    void lateReplyNeedsTheLongerLimit();
    void tricklingReplySucceedsHoweverLong();
    void timeoutKeepsThePreviousReplyText();
    void checksumErrorStillReplacesReplyText();
    void overlongReplyWrapsAndEchoStaysBounded();
    void vanishingLineFailsAtOnce();
    void overlongCommandIsRefusedUnsent();
    void wrongLineSpeedIsSilence();
    void waitingKeepsPumpingMessages();
    void unmappedOrClosedPortFails();
    void longFrameAtLowSpeedHasItsWholeLimit();

private:
    std::unique_ptr<tbsim::SimLine> line_;
    tbsim::SimReader* reader_ = nullptr;
    std::unique_ptr<ReaderLink> link_;
    RecordingEcho echo_;
    int pumps_ = 0;
};

void TestTransact::init() {
    line_ = std::make_unique<tbsim::SimLine>();
    QVERIFY(line_->start());
    tbsim::ReaderConfig config;
    config.serial = "12345678";
    reader_ = line_->addReader(config);
    const std::string device = line_->devicePath();
    link_ = std::make_unique<ReaderLink>(
        std::make_unique<platform::PosixSerialChannel>(),
        [device](int port) { return port == kPort ? device : std::string(); });
    link_->SetEchoSink(&echo_);
    pumps_ = 0;
    link_->SetMessagePump([this] { ++pumps_; });
    QVERIFY(link_->OpenPort(kPort, "19200,e,8,1"));
}

void TestTransact::cleanup() {
    link_.reset();
    line_.reset();
    echo_ = RecordingEcho();
}

void TestTransact::scanProbeOnTheWireAndInTheStatusBar() {
    QCOMPARE(link_->Transact("A00B"), 1);
    const auto frames = line_->receivedFrames();
    QCOMPARE(frames.size(), std::size_t{1});
    QCOMPARE(QByteArray::fromStdString(frames[0]), QByteArray::fromHex("09413030423041 0D"));
    QCOMPARE(echo_.sent, std::string("[09]A00B0A[0D]"));
    QCOMPARE(link_->ReplyLength(), 16);
    QCOMPARE(echo_.received.substr(0, 4), std::string("[0A]"));
    QCOMPARE(echo_.received.substr(echo_.received.size() - 4), std::string("[0D]"));
    QCOMPARE(echo_.received.size(), std::size_t{16 - 2 + 8});
}

void TestTransact::replyFieldsOfSerialAndVersion() {
    QCOMPARE(link_->Transact("A01B"), 1);
    QCOMPARE(link_->ReplyField(3, 2), std::string("01"));
    QCOMPARE(link_->ReplyField(6, 8), std::string("12345678"));
    QCOMPARE(link_->Transact("A01V"), 1);
    QCOMPARE(link_->ReplyLength(), 24);
    QCOMPARE(link_->ReplyField(6, 16), reader_->config().version);
}

void TestTransact::badReplies_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<TransactResult>("result");
    QTest::newRow("silence") << int(tbsim::Fault::Silence) << TransactResult::Silence;
    QTest::newRow("stray byte before the LF")
        << int(tbsim::Fault::StrayByte) << TransactResult::Silence;
    QTest::newRow("wrong checksum")
        << int(tbsim::Fault::WrongChecksum) << TransactResult::ChecksumError;
    QTest::newRow("garbage") << int(tbsim::Fault::Garbage) << TransactResult::Silence;
    QTest::newRow("line gone before replying")
        << int(tbsim::Fault::LineGone) << TransactResult::LineGone;
}

void TestTransact::badReplies() {
    QFETCH(int, fault);
    QFETCH(TransactResult, result);
    tbsim::FaultPlan plan;
    plan.fault = static_cast<tbsim::Fault>(fault);
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), result);
}

void TestTransact::lateReplyNeedsTheLongerLimit() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::LateReply;
    plan.delay = 400ms;
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::Silence);
    QCOMPARE(link_->TransactTimed("A01B", 500), 1);
    QCOMPARE(link_->ReplyLength(), 16);
}

void TestTransact::tricklingReplySucceedsHoweverLong() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::Trickle;
    plan.delay = 120ms;  // 16 bytes: about two seconds in all, never 300 ms of silence
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01B"), 1);
    QCOMPARE(link_->ReplyField(6, 8), std::string("12345678"));
}

void TestTransact::timeoutKeepsThePreviousReplyText() {
    QCOMPARE(link_->Transact("A01B"), 1);
    const std::string before = link_->ReplyText();
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::LateReply;
    plan.delay = 400ms;
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01V"), 0);
    QCOMPARE(link_->ReplyText(), before);
    QCOMPARE(link_->ReplyLength(), 0);  // nothing of the late reply came within the limit
}

void TestTransact::checksumErrorStillReplacesReplyText() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::WrongChecksum;
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01V"), 0);
    QCOMPARE(link_->ReplyLength(), 24);
    QCOMPARE(link_->ReplyField(6, 16), reader_->config().version);
}

void TestTransact::overlongReplyWrapsAndEchoStaysBounded() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::OverlongReply;
    plan.length = 2000;
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::Silence);
    // 2008 bytes: the wrap leaves the last 958 of them, the LF long overwritten.
    QCOMPARE(link_->ReplyLength(), int((2000 + 8) % tblink::kBufferSize));
    QVERIFY(echo_.received.size() <= tblink::kBufferSize);
    QCOMPARE(echo_.received.size(), std::size_t(958 - 1 + 4));
    QCOMPARE(echo_.received.substr(echo_.received.size() - 4), std::string("[0D]"));

    line_->clearFault();
    QCOMPARE(link_->Transact("A01B"), 1);  // the next exchange starts clean
}

void TestTransact::vanishingLineFailsAtOnce() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::LineGone;
    plan.length = 5;  // half a reply, then the adapter is pulled
    line_->setFault(plan);
    const int pumpsBefore = pumps_;
    QCOMPARE(link_->TransactTimed("A01B", 60000), 0);
    QCOMPARE(link_->LastResult(), TransactResult::LineGone);
    QVERIFY(pumps_ - pumpsBefore < 100);  // no busy loop on the dead line
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::LineGone);
    link_->ClosePort();
}

void TestTransact::overlongCommandIsRefusedUnsent() {
    const std::string longest = "A01" + std::string(tblink::kMaxCommandLength - 3, 'x');
    QCOMPARE(link_->Transact(longest + "x"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::CommandTooLong);
    QVERIFY(line_->receivedFrames().empty());

    link_->Transact(longest);  // the reader does not know it, but it goes out whole
    QTRY_COMPARE(line_->receivedFrames().size(), std::size_t{1});
    QCOMPARE(line_->receivedFrames()[0].size(), longest.size() + 4);
    QCOMPARE(echo_.sent.size(), tblink::kBufferSize);
}

void TestTransact::wrongLineSpeedIsSilence() {
    link_->ClosePort();
    QVERIFY(link_->OpenPort(kPort, "9600,e,8,1"));
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::Silence);
    link_->ClosePort();
    QVERIFY(link_->OpenPort(kPort, "19200,e,8,1"));
    QCOMPARE(link_->Transact("A01B"), 1);
}

void TestTransact::waitingKeepsPumpingMessages() {
    tbsim::FaultPlan plan;
    plan.fault = tbsim::Fault::Silence;
    line_->setFault(plan);
    QCOMPARE(link_->Transact("A01B"), 0);
    // 300 ms of silence in slices of at most 20 ms, a pump before each.
    QVERIFY2(pumps_ >= 300 / ReaderLink::kWaitSliceMs, qPrintable(QString::number(pumps_)));
}

void TestTransact::unmappedOrClosedPortFails() {
    link_->ClosePort();
    QCOMPARE(link_->Transact("A01B"), 0);
    QCOMPARE(link_->LastResult(), TransactResult::NotOpen);
    QVERIFY(!link_->OpenPort(3, "19200,e,8,1"));
    QVERIFY(!link_->IsOpen());
}

// 137 bytes at 4800 baud take about 314 ms on the wire: the 300 ms silence limit starts only
// once the reader has heard the whole frame.
void TestTransact::longFrameAtLowSpeedHasItsWholeLimit() {
    CommandRig rig;
    rig.addReader(tbsim::ReaderKind::PX50, 1, 1, "4800,e,8,1");
    QVERIFY(rig.open(1, "4800,e,8,1"));
    const std::string screenMessage = "J01L4" + std::string(128, ' ');
    QCOMPARE(tblink::CommandFrame(screenMessage).size(), std::size_t{137});
    QCOMPARE(rig.link.Transact(screenMessage), 1);
    QVERIFY(rig.clock.Elapsed() > 310ms);
}

QTEST_GUILESS_MAIN(TestTransact)
#include "tst_transact.moc"
