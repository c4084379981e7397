// The serial channel on real pseudo-terminals: line settings, exclusive use, restoring the
// device's own settings, refusing what is not a terminal, and a line that vanishes.
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/LineSettings.h"
#include "platform/LockFile.h"
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

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Ignore(int) {}

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
    void lockFilePid_data();
    void lockFilePid();
    void lockFiles_data();
    void lockFiles();
    void unusableLineSettingsAreRefused_data();
    void unusableLineSettingsAreRefused();
    void signalDuringALongWriteLosesNothing();
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

// A port that another program left with hardware or software flow control would send nothing;
// one left with parity checking would drop, zero or mark a byte with a parity error.
void TestSerialChannel::flowControlIsOffWhileOpen() {
    Pty pty;
    QVERIFY(!pty.slavePath.empty());
    termios own = pty.settings();
    own.c_cflag |= CRTSCTS;
    const tcflag_t inherited = IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK;
    own.c_iflag |= inherited;
    QCOMPARE(tcsetattr(pty.master, TCSANOW, &own), 0);

    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "19200,e,8,1"));
    const termios active = pty.settings();
    QCOMPARE(uint(active.c_cflag & CRTSCTS), 0u);
    QCOMPARE(uint(active.c_iflag & inherited), 0u);
    channel.close();
    const termios restored = pty.settings();
    QCOMPARE(uint(restored.c_cflag & CRTSCTS), uint(CRTSCTS));
    QCOMPARE(uint(restored.c_iflag & inherited), uint(inherited));
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

void TestSerialChannel::lockFilePid_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<long>("pid");  // 0: not a lock file's process number
    const int binary = 4242;
    QTest::newRow("HDB form") << QByteArray("      4242\n") << 4242L;
    QTest::newRow("binary int") << QByteArray(reinterpret_cast<const char*>(&binary), 4) << 4242L;
    QTest::newRow("init") << QByteArray("         1\n") << 1L;
    QTest::newRow("negative") << QByteArray("        -1\n") << 0L;
    QTest::newRow("empty") << QByteArray() << 0L;
    QTest::newRow("garbage") << QByteArray("minicom\n") << 0L;
    QTest::newRow("digits then garbage") << QByteArray("42x\n") << 0L;
    QTest::newRow("overflows a long") << QByteArray("9999999999999999999\n") << 0L;
    QTest::newRow("wraps to 1 in 32 bits") << QByteArray("4294967297\n") << 0L;
    QTest::newRow("at the pid limit") << QByteArray("4194304\n") << 0L;
}

void TestSerialChannel::lockFilePid() {
    QFETCH(QByteArray, text);
    QFETCH(long, pid);
    QCOMPARE(ParseLockFilePid(std::string_view(text.constData(), text.size())).value_or(0), pid);
}

// Another program's lock file keeps us out only while its process lives; otherwise ours takes
// its place while the port is open.
void TestSerialChannel::lockFiles_data() {
    QTest::addColumn<QByteArray>("found");  // null: no lock file
    QTest::addColumn<bool>("opens");
    QTest::newRow("none") << QByteArray() << true;
    QTest::newRow("live owner") << QByteArray::number(getppid()) + "\n" << false;
    QTest::newRow("dead owner") << QByteArray::number(DeadPid()) + "\n" << true;
}

void TestSerialChannel::lockFiles() {
    QFETCH(QByteArray, found);
    QFETCH(bool, opens);
    Pty pty;
    QTemporaryDir locks;
    PosixSerialChannel channel;
    channel.setLockDirectories(locks.path().toStdString(), locks.path().toStdString());
    const std::string lockFile =
        locks.path().toStdString() + "/LCK.." + pty.slavePath.substr(pty.slavePath.rfind('/') + 1);
    if (!found.isNull()) std::ofstream(lockFile) << found.toStdString();

    QCOMPARE(channel.open(pty.slavePath, "19200,e,8,1"), opens);
    if (!opens) {
        QCOMPARE(channel.diagnosis().holderPid, getppid());
        QCOMPARE(ReadText(lockFile), found.toStdString());
        return;
    }
    char ours[16];
    std::snprintf(ours, sizeof ours, "%10d\n", int(getpid()));
    QCOMPARE(ReadText(lockFile), std::string(ours));
    channel.close();
    QCOMPARE(QDir(locks.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// Anything short of all four fields would leave the rest as the last program set them.
void TestSerialChannel::unusableLineSettingsAreRefused_data() {
    QTest::addColumn<QString>("settings");
    QTest::newRow("no stop bits") << "19200,e,8";
    QTest::newRow("no such speed") << "12345,n,8,1";
    QTest::newRow("words") << "fast";
}

void TestSerialChannel::unusableLineSettingsAreRefused() {
    QFETCH(QString, settings);
    Pty pty;
    const termios before = pty.settings();
    PosixSerialChannel channel;
    QVERIFY(!channel.open(pty.slavePath, settings.toStdString()));
    QCOMPARE(channel.diagnosis().problem, PortProblem::BadLineSettings);
    QCOMPARE(pty.settings().c_cflag, before.c_cflag);
}

// A signal is no lost line: a frame written while signals interrupt the waits for room in the
// output buffer arrives whole.
void TestSerialChannel::signalDuringALongWriteLosesNothing() {
    Pty pty;
    PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slavePath, "230400,n,8,1"));
    const std::vector<std::uint8_t> frame(256 * 1024, 'x');

    std::size_t received = 0;
    std::thread reader([&] {  // slow, so the output buffer fills; gives up after seconds of silence
        char chunk[512];
        pollfd more{pty.master, POLLIN, 0};
        for (ssize_t n = 1; n > 0 && received < frame.size() && poll(&more, 1, 5000) > 0;
             usleep(100))
            received += std::size_t(n = ::read(pty.master, chunk, sizeof chunk));
    });
    struct sigaction action {
    }, previous{};
    action.sa_handler = Ignore;  // no SA_RESTART: every wait in the kernel is cut short
    sigaction(SIGALRM, &action, &previous);
    std::atomic<bool> written{false};
    std::thread interrupter([&, writer = pthread_self()] {
        for (; !written; usleep(200)) pthread_kill(writer, SIGALRM);
    });
    channel.write(frame.data(), frame.size());
    channel.drain();
    written = true;
    interrupter.join();
    sigaction(SIGALRM, &previous, nullptr);
    reader.join();
    QCOMPARE(received, frame.size());
    QCOMPARE(channel.diagnosis().problem, PortProblem::None);
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
