// The serial channel on real pseudo-terminals: line settings, exclusive use, restoring the
// device's own settings, refusing what is not a terminal, and a line that vanishes.
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/LineSettings.h"
#include "platform/PosixSerialChannel.h"

using namespace platform;

namespace {

// A pseudo-terminal whose slave side plays the serial device; the test holds the master.
struct Pty {
    int master = -1;
    std::string slavePath;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        slavePath = ptsname(master);
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    termios settings() const {
        termios tio{};
        tcgetattr(master, &tio);
        return tio;
    }
};

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

pid_t DeadPid() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

class TestSerialChannel : public QObject {
    Q_OBJECT
private slots:
    void parseLineSettings_data();
    void parseLineSettings();
    void applyParity_data();
    void applyParity();
    void unparsedFieldsLeaveThePortAsItWas();
    void openAppliesLineSettingsAndCloseRestoresThem();
    void flowControlIsOffWhileOpen();
    void secondOpenIsRefusedWithoutLeavingAHandle();
    void whatIsNotATerminalNeverOpens_data();
    void whatIsNotATerminalNeverOpens();
    void liveUucpLockKeepsPortClosed();
    void purgeDropsWaitingBytes();
    void vanishedLineIsReportedAtOnce();
};

void TestSerialChannel::parseLineSettings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");    // 0: not parsed
    QTest::addColumn<int>("parity");  // -1: not parsed
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    const int none = static_cast<int>(Parity::None), even = static_cast<int>(Parity::Even),
              odd = static_cast<int>(Parity::Odd), mark = static_cast<int>(Parity::Mark);
    const int one = static_cast<int>(StopBits::One), half = static_cast<int>(StopBits::OneAndHalf),
              two = static_cast<int>(StopBits::Two);
    QTest::newRow("default") << "19200,e,8,1" << 19200 << even << 8 << one;
    QTest::newRow("fastest in the list") << "230400,n,8,1" << 230400 << none << 8 << one;
    QTest::newRow("upper-case parity") << "9600,O,7,2" << 9600 << odd << 7 << two;
    QTest::newRow("mark, 1.5 stop bits") << "4800,m,5,1.5" << 4800 << mark << 5 << half;
    QTest::newRow("spaces around fields") << " 38400 , e , 8 , 1 " << 38400 << even << 8 << one;
    QTest::newRow("bad baud only") << "fast,e,8,1" << 0 << even << 8 << one;
    QTest::newRow("bad parity and bits") << "19200,x,9,3" << 19200 << -1 << 0 << -1;
    QTest::newRow("baud alone") << "57600" << 57600 << -1 << 0 << -1;
    QTest::newRow("empty") << "" << 0 << -1 << 0 << -1;
    QTest::newRow("negative baud") << "-9600,n,8,1" << 0 << none << 8 << one;
}

void TestSerialChannel::parseLineSettings() {
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    const LineSettings parsed = ParseLineSettings(text.toStdString());
    QCOMPARE(parsed.baud.value_or(0), baud);
    QCOMPARE(parsed.parity ? static_cast<int>(*parsed.parity) : -1, parity);
    QCOMPARE(parsed.dataBits.value_or(0), dataBits);
    QCOMPARE(parsed.stopBits ? static_cast<int>(*parsed.stopBits) : -1, stopBits);
}

void TestSerialChannel::applyParity_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("parityFlags");
    QTest::newRow("none") << "9600,n,8,1" << 0u;
    QTest::newRow("even") << "9600,e,8,1" << uint(PARENB);
    QTest::newRow("odd") << "9600,o,8,1" << uint(PARENB | PARODD);
    QTest::newRow("mark") << "9600,m,8,1" << uint(PARENB | PARODD | CMSPAR);
    QTest::newRow("space") << "9600,s,8,1" << uint(PARENB | CMSPAR);
}

void TestSerialChannel::applyParity() {
    QFETCH(QString, text);
    QFETCH(uint, parityFlags);
    termios tio{};
    tio.c_cflag = PARENB | PARODD | CMSPAR | CS7 | CSTOPB;  // everything the text must undo
    ApplyLineSettings(ParseLineSettings(text.toStdString()), tio);
    QCOMPARE(uint(tio.c_cflag & (PARENB | PARODD | CMSPAR)), parityFlags);
    QCOMPARE(uint(tio.c_cflag & CSIZE), uint(CS8));
    QCOMPARE(uint(tio.c_cflag & CSTOPB), 0u);
    QCOMPARE(cfgetospeed(&tio), speed_t(B9600));
}

void TestSerialChannel::unparsedFieldsLeaveThePortAsItWas() {
    termios tio{};
    cfsetospeed(&tio, B4800);
    cfsetispeed(&tio, B4800);
    tio.c_cflag |= PARENB | CS7 | CSTOPB;
    const termios before = tio;
    ApplyLineSettings(ParseLineSettings("12345,q,4,3"), tio);  // 12345 baud has no constant
    QCOMPARE(tio.c_cflag, before.c_cflag);
    QCOMPARE(cfgetospeed(&tio), speed_t(B4800));
}

void TestSerialChannel::openAppliesLineSettingsAndCloseRestoresThem() {
    Pty pty;
    QVERIFY(!pty.slavePath.empty());
    termios own = pty.settings();
    cfsetispeed(&own, B9600);
    cfsetospeed(&own, B9600);
    own.c_lflag |= ECHO | ICANON;
    QCOMPARE(tcsetattr(pty.master, TCSANOW, &own), 0);

    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "230400,n,8,1"));
    termios active = pty.settings();
    QCOMPARE(cfgetospeed(&active), speed_t(B230400));
    QCOMPARE(uint(active.c_lflag & (ECHO | ICANON)), 0u);  // raw bytes while we talk

    channel.close();
    QVERIFY(!channel.isOpen());
    const termios restored = pty.settings();
    QCOMPARE(cfgetospeed(&restored), speed_t(B9600));
    QCOMPARE(uint(restored.c_lflag & (ECHO | ICANON)), uint(ECHO | ICANON));
}

// A port that another program left with hardware or software flow control would send nothing.
void TestSerialChannel::flowControlIsOffWhileOpen() {
    Pty pty;
    QVERIFY(!pty.slavePath.empty());
    termios own = pty.settings();
    own.c_cflag |= CRTSCTS;
    own.c_iflag |= IXON | IXOFF | IXANY;
    QCOMPARE(tcsetattr(pty.master, TCSANOW, &own), 0);

    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "19200,e,8,1"));
    const termios active = pty.settings();
    QCOMPARE(uint(active.c_cflag & CRTSCTS), 0u);
    QCOMPARE(uint(active.c_iflag & (IXON | IXOFF | IXANY)), 0u);
    channel.close();
    const termios restored = pty.settings();
    QCOMPARE(uint(restored.c_cflag & CRTSCTS), uint(CRTSCTS));
    QCOMPARE(uint(restored.c_iflag & (IXON | IXOFF | IXANY)), uint(IXON | IXOFF | IXANY));
}

void TestSerialChannel::secondOpenIsRefusedWithoutLeavingAHandle() {
    Pty pty;
    PosixSerialChannel first;
    PosixSerialChannel second;
    QVERIFY(first.open(pty.slavePath, "19200,e,8,1"));
    const int descriptors = OpenDescriptorCount();
    QVERIFY(!second.open(pty.slavePath, "19200,e,8,1"));
    QVERIFY(!second.isOpen());
    QCOMPARE(OpenDescriptorCount(), descriptors);

    first.close();
    QVERIFY(second.open(pty.slavePath, "19200,e,8,1"));
}

void TestSerialChannel::whatIsNotATerminalNeverOpens_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("regular file") << "file";
    QTest::newRow("directory") << "directory";
    QTest::newRow("missing device") << "missing";
    QTest::newRow("empty path") << "empty";
}

void TestSerialChannel::whatIsNotATerminalNeverOpens() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.path() + "/port";
    if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == "directory") {
        QVERIFY(QDir(dir.path()).mkdir("port"));
    } else if (kind == "empty") {
        path.clear();
    }
    const int descriptors = OpenDescriptorCount();
    PosixSerialChannel channel;
    QVERIFY(!channel.open(path.toStdString(), "19200,e,8,1"));
    QCOMPARE(OpenDescriptorCount(), descriptors);
    if (kind == "file") QCOMPARE(QFileInfo(path).size(), qint64(0));
}

void TestSerialChannel::liveUucpLockKeepsPortClosed() {
    Pty pty;
    QTemporaryDir locks;
    PosixSerialChannel channel;
    channel.setLockDirectories(locks.path().toStdString(), locks.path().toStdString());
    const std::string lockFile =
        locks.path().toStdString() + "/LCK.." + pty.slavePath.substr(pty.slavePath.rfind('/') + 1);

    std::ofstream(lockFile) << "      " << getppid() << "\n";  // a live owner
    QVERIFY(!channel.open(pty.slavePath, "19200,e,8,1"));

    std::ofstream(lockFile) << "      " << DeadPid() << "\n";  // left behind by a dead one
    QVERIFY(channel.open(pty.slavePath, "19200,e,8,1"));
}

void TestSerialChannel::purgeDropsWaitingBytes() {
    Pty pty;
    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "19200,e,8,1"));
    QCOMPARE(::write(pty.master, "stale", 5), ssize_t(5));
    std::uint8_t byte = 0;
    QCOMPARE(channel.readByte(byte, 1000), ReadStatus::Byte);  // the rest is now read ahead
    channel.purge();
    QCOMPARE(channel.readByte(byte, 50), ReadStatus::Timeout);
    QCOMPARE(::write(pty.master, "N", 1), ssize_t(1));
    QCOMPARE(channel.readByte(byte, 1000), ReadStatus::Byte);
    QCOMPARE(byte, std::uint8_t('N'));
}

void TestSerialChannel::vanishedLineIsReportedAtOnce() {
    Pty pty;
    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "19200,e,8,1"));
    ::close(pty.master);
    pty.master = -1;
    std::uint8_t byte = 0;
    // A hang-up must not look like silence: a long wait still ends with LineGone.
    QCOMPARE(channel.readByte(byte, 60000), ReadStatus::LineGone);
    QCOMPARE(channel.readByte(byte, 60000), ReadStatus::LineGone);
    channel.write(reinterpret_cast<const std::uint8_t*>("x"), 1);  // must neither block nor crash
    channel.close();
}

QTEST_GUILESS_MAIN(TestSerialChannel)
#include "tst_serialchannel.moc"
