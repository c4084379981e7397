#include "Ser2net.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace {

// Whether /proc/net/tcp lists a socket listening on `port` (state 0A). Looking there instead
// of connecting keeps the check from opening a session and the device behind it.
bool Listening(int port) {
    QFile table("/proc/net/tcp");
    if (!table.open(QIODevice::ReadOnly)) return false;
    const QByteArray local = QString(":%1 ").arg(port, 4, 16, QChar('0')).toUpper().toLatin1();
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && (fields[1] + ' ').endsWith(local) && fields[3] == "0A")
            return true;
    }
    return false;
}

}  // namespace

Ser2net::~Ser2net() { kill(); }

QString Ser2net::Program() {
    QString path = QStandardPaths::findExecutable("ser2net");
    if (path.isEmpty()) path = QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/sbin"});
    return path;
}

int Ser2net::FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool Ser2net::start(const std::string& devicePath, const QString& serverSettings) {
    kill();
    const QString program = Program();
    if (program.isEmpty()) {
        error_ = "ser2net is not installed (scripts/setup installs it)";
        return false;
    }
    rfc2217Port_ = FreePort();
    do socketPort_ = FreePort();
    while (socketPort_ == rfc2217Port_);

    // ser2net reads YAML only from a file whose name ends in .yaml.
    const QString device = QString::fromStdString(devicePath);
    QString config = "%YAML 1.1\n---\n";
    const auto connection = [&](const char* name, const QString& accepter) {
        config += QString(
                      "connection: &%1\n"
                      "  accepter: %2\n"
                      "  connector: serialdev,%3,%4,local\n"
                      "  options:\n"
                      "    kickolduser: true\n"
                      "    mdns: false\n")
                      .arg(name, accepter, device, serverSettings);
    };
    connection("rfc2217", QString("telnet(rfc2217),tcp,127.0.0.1,%1").arg(rfc2217Port_));
    connection("raw", QString("tcp,127.0.0.1,%1").arg(socketPort_));
    QFile file(dir_.filePath("ser2net.yaml"));
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0) {
        error_ = "cannot write " + file.fileName();
        return false;
    }
    file.close();

    // -n: stay in the foreground as our child; -u: no UUCP lock files.
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(program, {"-n", "-u", "-c", file.fileName()});
    if (!process_.waitForStarted()) {
        error_ = "ser2net did not start: " + process_.errorString();
        return false;
    }
    QDeadlineTimer limit(10000);
    while (!(Listening(rfc2217Port_) && Listening(socketPort_))) {
        if (process_.state() == QProcess::NotRunning || limit.hasExpired()) {
            error_ = "ser2net did not listen: " + QString::fromLocal8Bit(process_.readAll());
            kill();
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

void Ser2net::kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished();
}
