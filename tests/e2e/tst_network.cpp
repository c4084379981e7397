// Network serial ports against a real serial device server: ser2net on 127.0.0.1 bridging to
// pseudo-terminals, reached through rfc2217:// and socket:// port map entries, by the channel
// alone and by the window.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

#include "Ser2net.h"
#include "SimLines.h"
#include "WindowFixture.h"
#include "link/ReaderLink.h"
#include "platform/AnyChannel.h"

using tbsim::ReaderKind;

namespace {

// A bare pseudo-terminal the test holds the master side of: what ser2net bridges to when the
// test wants to see the bytes themselves.
class BarePty {
public:
    BarePty() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
            path_ = name;
            ::close(slave);
            fcntl(master_, F_SETFL, O_NONBLOCK);
        }
    }
    ~BarePty() {
        if (master_ >= 0) ::close(master_);
    }
    const std::string& path() const { return path_; }
    void write(const std::string& bytes) {
        QCOMPARE(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything that arrives until `count` bytes are in or nothing came for a while.
    std::string read(std::size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd ready{master_, POLLIN, 0};
            if (poll(&ready, 1, 5000) <= 0) break;
            char buffer[512];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, std::size_t(n));
        }
        return got;
    }

private:
    int master_ = -1;
    std::string path_;
};

std::string AllByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes.push_back(char(value));
    return bytes + "\xFF\xFF\r\n\r" + std::string(1, '\0') + "\xFF";
}

std::string ReadAll(platform::SerialChannel& channel, std::size_t count) {
    std::string got;
    std::uint8_t byte = 0;
    while (got.size() < count && channel.readByte(byte, 5000) == platform::ReadStatus::Byte)
        got.push_back(char(byte));
    return got;
}

QString UrlOf(const Ser2net& server, const QString& form) {
    return form == "rfc2217" ? server.rfc2217Url() : server.socketUrl();
}

void BothForms() {
    QTest::addColumn<QString>("form");
    QTest::newRow("rfc2217") << "rfc2217";
    QTest::newRow("socket") << "socket";
}

}  // namespace

class TestNetwork : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bytesCrossUnchanged_data() { BothForms(); }
    void bytesCrossUnchanged();
    void scanReadOutAndSetIdCrossByteForByte_data() { BothForms(); }
    void scanReadOutAndSetIdCrossByteForByte();
    void lineSettingsReachTheReaderThroughRfc2217();
    void serverStoppedMidExchangeIsALineGone_data() { BothForms(); }
    void serverStoppedMidExchangeIsALineGone();
    void windowIsEnabledAfterTheServerStops();
    void refusedConnectionIsAPortThatDoesNotOpen();
    void typedUrlTakesTheNextFreeComNumberAndIsKept();
};

void TestNetwork::initTestCase() {
    // The server is part of the test set-up, not optional.
    QVERIFY2(!Ser2net::Program().isEmpty(), "ser2net is not installed (run scripts/setup)");
}

void TestNetwork::bytesCrossUnchanged() {
    QFETCH(QString, form);
    BarePty pty;
    Ser2net server;
    QVERIFY2(server.start(pty.path()), qPrintable(server.error()));
    platform::AnyChannel channel;
    QVERIFY(channel.open(UrlOf(server, form).toStdString(), "19200,n,8,1"));

    const std::string bytes = AllByteValues();
    channel.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    QCOMPARE(pty.read(bytes.size()), bytes);

    pty.write(bytes);
    QCOMPARE(ReadAll(channel, bytes.size()), bytes);
    channel.close();
}

void TestNetwork::scanReadOutAndSetIdCrossByteForByte() {
    QFETCH(QString, form);
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    Ser2net server;
    QVERIFY2(server.start(line.devicePath()), qPrintable(server.error()));

    WindowFixture f;
    app::TfrmModule& window = f.open("COM20=" + UrlOf(server, form));
    f.click("btnScan");
    QVERIFY(window.linked());
    QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #20)"));
    QCOMPARE(f.text("pnSerial"), QString("S/N : CAFE0042"));
    QCOMPARE(f.text("pnVersion"), "VER : " + QString::fromStdString(reader->config().version));
    QCOMPARE(line.receivedFrames().front(), std::string("\tA00B0A\r"));

    line.clearLog();
    f.control<QScrollBar>("sbID")->setValue(5);
    f.click("btnID");
    QCOMPARE(f.text("pnMsg"), QString("Set ID ok."));
    QCOMPARE(line.receivedFrames(),
             (std::vector<std::string>{"\tA01B0B\r", "\tA01CCAFE00420508\r"}));
    QCOMPARE(reader->config().id, 5);
    QCOMPARE(f.commLamp(), app::kLampYellow);
}

// The reader answers only at its own speed: after "E" it hears the window only because the
// server's side of the line follows the window's line settings.
void TestNetwork::lineSettingsReachTheReaderThroughRfc2217() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    auto* reader = lines.addReader(line, ReaderKind::PX10, 1);
    Ser2net server;
    QVERIFY2(server.start(line.devicePath()), qPrintable(server.error()));
    WindowFixture f;
    app::TfrmModule& window = f.open("COM20=" + server.rfc2217Url());
    f.control<QComboBox>("cmbPort")->setEditText("COM20");
    f.click("btnLink");
    QVERIFY(window.linked());

    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(2);  // 9600,n,8,1
    f.click("btnBaudRate");
    QCOMPARE(f.text("pnMsg"), QString("Set Reader baud rate ok."));
    QCOMPARE(reader->config().lineSettings, std::string("9600,n,8,1"));
    f.click("btnGetMode");
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface ok."));
    QCOMPARE(line.currentBaud(), 9600);

    f.control<QComboBox>("cmbBaudRate")->setCurrentIndex(5);  // the old 19200,e,8,1
    f.click("btnLink");
    QVERIFY(!window.linked());
    QCOMPARE(f.text("pnMsg"), QString("Reader not find"));
}

// The reader is slow to answer; the server goes away while the transaction waits for it.
void TestNetwork::serverStoppedMidExchangeIsALineGone() {
    QFETCH(QString, form);
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    tbsim::FaultPlan late;
    late.fault = tbsim::Fault::LateReply;
    late.delay = std::chrono::minutes(5);
    line.setFault(late);
    Ser2net server;
    QVERIFY2(server.start(line.devicePath()), qPrintable(server.error()));

    const std::string url = UrlOf(server, form).toStdString();
    tblink::ReaderLink link(platform::MakeSerialChannel(), [url](int) { return url; });
    link.SetMessagePump([&] {
        if (server.running() && !line.receivedCommands().empty()) server.kill();
    });
    QVERIFY(link.OpenPort(20, "19200,e,8,1"));
    // A limit far beyond the test's own: only a line gone ends this wait.
    QCOMPARE(link.TransactTimed("A01B", 10 * 60 * 1000), 0);
    QCOMPARE(link.LastResult(), tblink::TransactResult::LineGone);
    QVERIFY(!server.running());
    QCOMPARE(link.Transact("A01B"), 0);
    QCOMPARE(link.LastResult(), tblink::TransactResult::LineGone);
    link.ClosePort();
    QVERIFY(!link.OpenPort(20, "19200,e,8,1"));
}

void TestNetwork::windowIsEnabledAfterTheServerStops() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    Ser2net server;
    QVERIFY2(server.start(line.devicePath()), qPrintable(server.error()));
    WindowFixture f;
    app::TfrmModule& window = f.open("COM20=" + server.rfc2217Url());
    f.control<QComboBox>("cmbPort")->setEditText("COM20");
    f.click("btnLink");
    QVERIFY(window.linked());

    tbsim::FaultPlan late;
    late.fault = tbsim::Fault::LateReply;
    late.delay = std::chrono::minutes(5);
    line.setFault(late);
    line.clearLog();
    // The window pumps while it waits: the server is stopped as soon as the reader has heard
    // the reader check.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (server.running() && !line.receivedCommands().empty()) server.kill();
    });
    watch.start(1);
    f.click("btnGetMode");
    watch.stop();
    QVERIFY(!server.running());
    QVERIFY(window.isEnabled());
    QCOMPARE(f.commLamp(), app::kLampRed);
    QCOMPARE(f.text("pnMsg"), QString("Get reader interface error!"));
}

void TestNetwork::refusedConnectionIsAPortThatDoesNotOpen() {
    const int closed = Ser2net::FreePort();
    const std::string url = "rfc2217://127.0.0.1:" + std::to_string(closed);
    platform::AnyChannel channel;
    QVERIFY(!channel.open(url, "19200,e,8,1"));
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.diagnosis().problem, platform::PortProblem::Refused);

    // The scan goes past it to the next port.
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, ReaderKind::PX10, 1);
    WindowFixture f;
    app::TfrmModule& window = f.open(QString("COM1=%1,COM2=%2")
                                         .arg(QString::fromStdString(url))
                                         .arg(QString::fromStdString(line.devicePath())));
    f.click("btnScan");
    QVERIFY(window.linked());
    QCOMPARE(window.portNumber(), 2);
    // The message panel says why the first port did not open.
    QCOMPARE(f.control<QLabel>("pnMsg")->toolTip(),
             "COM1: " + QString::fromStdString(url) +
                 " refused the connection.\nCheck the address and TCP port, that the server "
                 "serves the serial line on that port, and that no other client has it.");
}

void TestNetwork::typedUrlTakesTheNextFreeComNumberAndIsKept() {
    SimLines lines;
    tbsim::SimLine& local = lines.add();   // COM1
    tbsim::SimLine& remote = lines.add();  // bridged below; its own COM2 mapping is not used
    lines.addReader(remote, ReaderKind::PX10, 1);
    Q_UNUSED(local);
    Ser2net server;
    QVERIFY2(server.start(remote.devicePath()), qPrintable(server.error()));

    WindowFixture f;
    app::TfrmModule& window = f.open("COM1=" + QString::fromStdString(local.devicePath()) +
                                     ",COM2=" + QString::fromStdString(local.devicePath()));
    auto* box = f.control<QComboBox>("cmbPort");
    box->setEditText(server.rfc2217Url());
    f.click("btnLink");
    QVERIFY(window.linked());
    QCOMPARE(window.portNumber(), 3);
    QCOMPARE(box->currentText(), QString("COM3"));
    QCOMPARE(box->itemData(box->currentIndex(), Qt::ToolTipRole).toString(), server.rfc2217Url());
    QCOMPARE(f.store().readString("ExtraPorts", "COM3").value, server.rfc2217Url());

    // Typed again: the same port, not a new number.
    box->setEditText(server.rfc2217Url());
    f.click("btnLink");
    QCOMPARE(window.portNumber(), 3);
    QCOMPARE(box->count(), 3);

    // The next start lists it.
    WindowFixture again;
    again.store() = f.store();
    again.open();
    auto* next = again.control<QComboBox>("cmbPort");
    const int item = next->findText("COM3");
    QVERIFY(item >= 0);
    QCOMPARE(next->itemData(item, Qt::ToolTipRole).toString(), server.rfc2217Url());
}

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
