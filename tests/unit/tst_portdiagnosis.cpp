// Why a port would not open, on real pseudo-terminals held by real processes: the reason from the
// error number, the holder's process ID and name (flock, exclusive mode, UUCP lock file), a
// permission failure with the group and the command that fixes it, and a line that vanishes.
//
// Root opens what it likes, so the cases that need an ordinary user run this program again as
// "nobody" (--hold and --probe below) when the test runs as root.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "platform/PortDiagnosis.h"
#include "platform/PosixSerialChannel.h"

using platform::DeviceAccess;
using platform::PortDiagnosis;
using platform::PortProblem;
using platform::PortWording;

Q_DECLARE_METATYPE(PortWording)
Q_DECLARE_METATYPE(PortProblem)

namespace {

// --hold PATH flock|excl: holds the device until stdin closes; prints "held" once it does.
int Hold(const char* path, const std::string& how) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return 2;
    if (how == "flock" && flock(fd, LOCK_EX | LOCK_NB) != 0) return 3;
    if (how == "excl" && ioctl(fd, TIOCEXCL) != 0) return 4;
    std::printf("held\n");
    std::fflush(stdout);
    char byte;
    while (::read(0, &byte, 1) > 0) {
    }
    return 0;
}

// --probe PATH: opens the device as a port and prints what the channel says, one key=value a line.
int Probe(const char* path) {
    platform::PosixSerialChannel channel;
    const bool opened = channel.open(path, "9600,n,8,1");
    const PortDiagnosis d = channel.diagnosis();
    std::printf("opened=%d\nproblem=%d\npid=%d\nname=%s\nuser=%s\ngroup=%s\nwording=%d\ntext=%s\n",
                opened ? 1 : 0, static_cast<int>(d.problem), static_cast<int>(d.holderPid),
                d.holderName.c_str(), d.user.c_str(), d.group.c_str(),
                static_cast<int>(platform::WordsOf(d).wording),
                platform::DescribePortProblem(d).c_str());
    return 0;
}

struct Probed {
    bool opened = false;
    PortProblem problem = PortProblem::None;
    int pid = 0;
    QString name, user, group, text;
    PortWording wording = PortWording::None;
};

Probed Parse(const QByteArray& output) {
    Probed p;
    for (const QByteArray& line : output.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) continue;
        const QByteArray key = line.left(equals);
        const QString value = QString::fromUtf8(line.mid(equals + 1));
        if (key == "opened") p.opened = value == "1";
        if (key == "problem") p.problem = static_cast<PortProblem>(value.toInt());
        if (key == "pid") p.pid = value.toInt();
        if (key == "name") p.name = value;
        if (key == "user") p.user = value;
        if (key == "group") p.group = value;
        if (key == "wording") p.wording = static_cast<PortWording>(value.toInt());
        if (key == "text") p.text = value;
    }
    return p;
}

bool Root() { return geteuid() == 0; }

// The ordinary user the root run becomes.
passwd* Nobody() { return getpwnam("nobody"); }

void AsNobody(QProcess& process) {
    const passwd* nobody = Nobody();
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    process.setChildProcessModifier([uid, gid] {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(9);
    });
}

// A copy of this program that nobody can run: the build tree may lie below a home folder that
// only its owner may enter (Debian's default for new homes), and the test runs there as root.
QString CopyNobodyCanRun() {
    static QTemporaryDir folder;
    static const QString copy = [] {
        const QString path = folder.filePath("tst_portdiagnosis");
        QFile::copy(QCoreApplication::applicationFilePath(), path);
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        ::chmod(QFile::encodeName(path).constData(), 0755);
        return path;
    }();
    return copy;
}

// This program again, in one of its helper roles; `ordinary`: as nobody when running as root.
void StartSelf(QProcess& process, const QStringList& arguments, bool ordinary) {
    if (ordinary && Root()) {
        AsNobody(process);
        process.start(CopyNobodyCanRun(), arguments);
        return;
    }
    process.start(QCoreApplication::applicationFilePath(), arguments);
}

Probed ProbeAsChild(const std::string& path, bool ordinary) {
    QProcess probe;
    StartSelf(probe, {"--probe", QString::fromStdString(path)}, ordinary);
    if (!probe.waitForFinished(30000)) return {};
    return Parse(probe.readAllStandardOutput());
}

// A pseudo-terminal whose slave side plays the serial device; the test holds the master.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        slave = ptsname(master);
    }
    ~Pty() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
};

// The first line, once the holder has the device.
bool WaitHeld(QProcess& holder) {
    while (!holder.canReadLine()) {
        if (!holder.waitForReadyRead(30000)) return false;
    }
    return holder.readLine().trimmed() == "held";
}

void EndHolder(QProcess& holder) {
    holder.closeWriteChannel();
    holder.waitForFinished(30000);
}

QString CommandName(qint64 pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return QString::fromStdString(name);
}

}  // namespace

class TestPortDiagnosis : public QObject {
    Q_OBJECT
private slots:
    void reasonFromErrorNumber_data();
    void reasonFromErrorNumber();
    void placeholdersAreFilledOnce();
    void plainRefusals_data();
    void plainRefusals();
    void holderIsNamedWithItsProcessId_data();
    void holderIsNamedWithItsProcessId();
    void permissionNamesTheGroupAndTheCommand();
    void vanishedLineIsNamed();
};

void TestPortDiagnosis::reasonFromErrorNumber_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("groupMayOpen");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("inLogin");
    QTest::addColumn<PortWording>("wording");
    QTest::addColumn<QString>("description");
    const QString dev = "/dev/ttyUSB0";
    QTest::newRow("unplugged adapter")
        << ENOENT << true << false << false << PortWording::NoSuchDevice
        << dev +
               " does not exist: the adapter is unplugged or has "
               "another name now. Plug the adapter in again, or "
               "choose its port anew.";
    QTest::newRow("serial port without its chip")
        << ENXIO << true << false << false << PortWording::NoSuchDevice << QString();
    QTest::newRow("not in the group")
        << EACCES << true << false << false << PortWording::PermissionNotMember
        << "Permission denied on " + dev +
               ": the user ana is not in the group dialout that owns it. Add the user to the "
               "group: sudo usermod -aG dialout ana, then log out and in again.";
    QTest::newRow("EPERM reads as EACCES")
        << EPERM << true << false << false << PortWording::PermissionNotMember << QString();
    QTest::newRow("joined the group after logging in")
        << EACCES << true << true << false << PortWording::PermissionNotActive
        << "Permission denied on " + dev +
               ": the user ana joined the group dialout after this login. Log out and in again, "
               "or start the program from: newgrp dialout";
    QTest::newRow("the group may not open it either")
        << EACCES << false << true << true << PortWording::PermissionOwnerOnly
        << "Permission denied on " + dev +
               ": only its owner may open it, the group dialout may not. Ask the administrator "
               "for a udev rule that gives the group dialout read and write.";
    QTest::newRow("exclusive mode of another program, holder unseen")
        << EBUSY << true << false << false << PortWording::HeldByUnknown << QString();
    QTest::newRow("a directory") << EISDIR << true << false << false << PortWording::NotATerminal
                                 << QString();
    QTest::newRow("anything else keeps its error number")
        << EIO << true << false << false << PortWording::Other
        << dev + " did not open: " + QString::fromLocal8Bit(std::strerror(EIO)) +
               " (error 5). Check the device and its driver.";
}

void TestPortDiagnosis::reasonFromErrorNumber() {
    QFETCH(int, error);
    QFETCH(bool, groupMayOpen);
    QFETCH(bool, listed);
    QFETCH(bool, inLogin);
    QFETCH(PortWording, wording);
    QFETCH(QString, description);
    DeviceAccess access;
    access.user = "ana";
    access.group = "dialout";
    access.groupMayOpen = groupMayOpen;
    access.userListedInGroup = listed;
    access.groupInThisLogin = inLogin;
    const PortDiagnosis d = platform::DiagnoseOpenError("/dev/ttyUSB0", error, access);
    QCOMPARE(d.error, error);
    QCOMPARE(platform::WordsOf(d).wording, wording);
    if (!description.isEmpty())
        QCOMPARE(QString::fromStdString(platform::DescribePortProblem(d)), description);
}

void TestPortDiagnosis::placeholdersAreFilledOnce() {
    // A program may be called anything, "%2" included.
    QCOMPARE(platform::FillPlaceholders("Close %2, or end it with: kill %3", {"x", "a%3b", "77"}),
             std::string("Close a%3b, or end it with: kill 77"));
    QCOMPARE(platform::FillPlaceholders("%1 and %4 and 100%", {"one"}),
             std::string("one and %4 and 100%"));
}

void TestPortDiagnosis::plainRefusals_data() {
    QTest::addColumn<QString>("entry");  // made in a temporary directory
    QTest::addColumn<PortProblem>("problem");
    QTest::newRow("missing device") << "ttyUSB9" << PortProblem::NoSuchDevice;
    QTest::newRow("regular file") << "file" << PortProblem::NotATerminal;
    QTest::newRow("directory") << "dir" << PortProblem::NotATerminal;
}

void TestPortDiagnosis::plainRefusals() {
    QFETCH(QString, entry);
    QFETCH(PortProblem, problem);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("dir"));
    QFile file(dir.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const std::string path = dir.filePath(entry).toStdString();
    platform::PosixSerialChannel channel;
    QVERIFY(!channel.open(path, "9600,n,8,1"));
    QCOMPARE(channel.diagnosis().problem, problem);
    QCOMPARE(channel.diagnosis().device, path);
    // The reason names the device, so the user sees which entry of the port map is wrong.
    QVERIFY(platform::ReasonText(channel.diagnosis()).rfind(path, 0) == 0);
}

void TestPortDiagnosis::holderIsNamedWithItsProcessId_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("flock, as QSerialPort programs and picocom take it") << "flock";
    QTest::newRow("exclusive mode (TIOCEXCL)") << "excl";
    QTest::newRow("UUCP lock file, as minicom writes it") << "lockfile";
}

void TestPortDiagnosis::holderIsNamedWithItsProcessId() {
    QFETCH(QString, how);
    Pty pty;
    QVERIFY(!pty.slave.empty());
    QTemporaryDir locks;
    QProcess holder;
    Probed probed;
    QString expectedName;
    if (how == "lockfile") {
        holder.start("sleep", {"600"});
        QVERIFY(holder.waitForStarted(30000));
        const QString lockFile = locks.filePath(
            "LCK.." + QString::fromStdString(pty.slave.substr(pty.slave.rfind('/') + 1)));
        QFile lock(lockFile);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QString("%1\n").arg(holder.processId(), 10).toLatin1());
        lock.close();
        platform::PosixSerialChannel channel;
        channel.setLockDirectories(locks.path().toStdString(), "/nonexistent");
        QVERIFY(!channel.open(pty.slave, "9600,n,8,1"));
        const PortDiagnosis d = channel.diagnosis();
        probed = {false,
                  d.problem,
                  d.holderPid,
                  QString::fromStdString(d.holderName),
                  {},
                  {},
                  QString::fromStdString(platform::DescribePortProblem(d))};
        QCOMPARE(QString::fromStdString(d.heldBy), lockFile);
        expectedName = "sleep";
    } else {
        // Exclusive mode keeps out everyone but root: holder and probe run as an ordinary user.
        const bool ordinary = how == "excl";
        if (ordinary && Root()) QCOMPARE(::chmod(pty.slave.c_str(), 0666), 0);
        StartSelf(holder, {"--hold", QString::fromStdString(pty.slave), how}, ordinary);
        QVERIFY2(WaitHeld(holder), holder.readAllStandardError().constData());
        probed = ProbeAsChild(pty.slave, ordinary);
        expectedName = CommandName(holder.processId());
    }
    QVERIFY(!probed.opened);
    QCOMPARE(probed.problem, PortProblem::HeldByProgram);
    QCOMPARE(probed.pid, int(holder.processId()));
    QCOMPARE(probed.name, expectedName);
    const QString pid = QString::number(holder.processId());
    QVERIFY2(probed.text.contains("(process " + pid) && probed.text.contains("kill " + pid),
             qPrintable(probed.text));
    if (how == "lockfile")
        holder.kill();
    else
        EndHolder(holder);
    holder.waitForFinished(30000);
}

// As root the system refuses nothing, so the device is handed to a group and the probe drops
// to an ordinary user; as an ordinary user the device's owner bits shut its owner out.
void TestPortDiagnosis::permissionNamesTheGroupAndTheCommand() {
    Pty pty;
    QVERIFY(!pty.slave.empty());
    QString user;
    QString group;
    if (Root()) {
        const struct group* dialout = getgrnam("dialout");
        QVERIFY(dialout && Nobody());
        QCOMPARE(::chown(pty.slave.c_str(), 0, dialout->gr_gid), 0);
        QCOMPARE(::chmod(pty.slave.c_str(), 0660), 0);
        user = QString::fromLatin1(Nobody()->pw_name);
        group = "dialout";
    } else {
        QCOMPARE(::chmod(pty.slave.c_str(), 0060), 0);
        user = QString::fromLatin1(getpwuid(geteuid())->pw_name);
        struct stat device {};
        QCOMPARE(::stat(pty.slave.c_str(), &device), 0);
        group = QString::fromLatin1(getgrgid(device.st_gid)->gr_name);
    }
    const Probed probed = ProbeAsChild(pty.slave, true);
    QVERIFY(!probed.opened);
    QCOMPARE(probed.problem, PortProblem::PermissionDenied);
    QCOMPARE(probed.user, user);
    QCOMPARE(probed.group, group);
    if (Root()) {
        QCOMPARE(probed.wording, PortWording::PermissionNotMember);
        QVERIFY2(probed.text.contains("sudo usermod -aG " + group + " " + user),
                 qPrintable(probed.text));
    }
}

void TestPortDiagnosis::vanishedLineIsNamed() {
    Pty pty;
    platform::PosixSerialChannel channel;
    QVERIFY(channel.open(pty.slave, "9600,n,8,1"));
    QCOMPARE(channel.diagnosis().problem, PortProblem::None);
    pty.closeMaster();  // the adapter is pulled: its device node goes with it
    std::uint8_t byte = 0;
    QCOMPARE(channel.readByte(byte, 1000), platform::ReadStatus::LineGone);
    QCOMPARE(channel.diagnosis().problem, PortProblem::Vanished);
    QCOMPARE(platform::ReasonText(channel.diagnosis()),
             pty.slave + " vanished during the exchange: the adapter was unplugged.");
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--hold") return Hold(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "--probe") return Probe(argv[2]);
    QCoreApplication app(argc, argv);
    TestPortDiagnosis test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portdiagnosis.moc"
