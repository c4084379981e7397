// A real serial device server for tests and benchmarks: Debian's ser2net, started as a child
// process on 127.0.0.1 with free ports and a generated configuration that bridges one device
// (a simulated reader's pseudo-terminal) twice: telnet with RFC 2217, and raw TCP.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <string>

class Ser2net {
public:
    Ser2net() = default;
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Starts ser2net for `devicePath` with the server's own line settings `serverSettings`
    // (ser2net's form, "19200e81") and waits until both ports listen. False, with error()
    // saying why, when ser2net is missing or does not come up.
    bool start(const std::string& devicePath, const QString& serverSettings = "19200e81");
    // Kills the server at once (its connections drop) and waits for it to be gone.
    void kill();
    bool running() const { return process_.state() != QProcess::NotRunning; }

    QString rfc2217Url() const { return QString("rfc2217://127.0.0.1:%1").arg(rfc2217Port_); }
    QString socketUrl() const { return QString("socket://127.0.0.1:%1").arg(socketPort_); }
    int rfc2217Port() const { return rfc2217Port_; }
    const QString& error() const { return error_; }

    // Where ser2net is installed; empty when it is not.
    static QString Program();
    // A TCP port on 127.0.0.1 that nothing listens on now.
    static int FreePort();

private:
    QTemporaryDir dir_;
    QProcess process_;
    int rfc2217Port_ = 0;
    int socketPort_ = 0;
    QString error_;
};
