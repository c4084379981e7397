// Network serial ports against a real serial device server: ser2net on 127.0.0.1 bridging to
// pseudo-terminals, reached through rfc2217:// and socket:// port map entries, by the channel
// alone and by the window.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QComboBox>
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

QTEST_MAIN(TestNetwork)
#include "tst_network.moc"
