// Network ports below the window: the URL forms of a port map entry, telnet's escaping and
// decoding, the COM-PORT-OPTION commands (vectors worked out by hand from RFC 2217), the
// client's option negotiation, and the channels against a server scripted in this thread.
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QtTest>

#include "platform/AnyChannel.h"
#include "platform/NetworkAddress.h"
#include "platform/Telnet.h"

using namespace platform;
namespace tn = platform::telnet;

Q_DECLARE_METATYPE(platform::PortProblem)

namespace {

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), int(text.size())); }
std::string Std(const QByteArray& bytes) { return std::string(bytes.constData(), bytes.size()); }

// "WILL 1;SB 44:0100004B00" for the events, in order.
QString Describe(const std::vector<tn::Event>& events) {
    QStringList parts;
    for (const tn::Event& event : events) {
        if (event.kind == tn::Event::Kind::Subnegotiation) {
            parts << QString("SB %1:%2")
                         .arg(event.option)
                         .arg(QString(Bytes(event.payload).toHex().toUpper()));
        } else {
            const char* verbs[] = {"WILL", "WONT", "DO", "DONT"};
            parts << QString("%1 %2").arg(verbs[event.verb - tn::kWill]).arg(event.option);
        }
    }
    return parts.join(';');
}

// A TCP server on 127.0.0.1 served from this thread: the channel's message pump (or the test)
// calls service(), which accepts, collects what the client sent and sends what is queued.
class ScriptedServer {
public:
    explicit ScriptedServer(int backlog = 4) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, backlog);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~ScriptedServer() {
        hangUp();
        ::close(listener_);
    }
    std::string url(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
    }
    int port() const { return port_; }
    void service() {
        if (client_ < 0) client_ = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK);
        if (client_ < 0) return;
        char buffer[512];
        ssize_t n;
        while ((n = ::recv(client_, buffer, sizeof buffer, 0)) > 0) heard.append(buffer, n);
        if (!queued.empty()) {
            ::send(client_, queued.data(), queued.size(), MSG_NOSIGNAL);
            queued.clear();
        }
        if (hangUpWhenAccepted) hangUp();
    }
    void hangUp() {
        if (client_ >= 0) ::close(client_);
        client_ = -1;
    }

    std::string heard;
    std::string queued;
    bool hangUpWhenAccepted = false;

private:
    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
};

std::string Agreement() {
    return tn::Command(tn::kDo, tn::kOptionBinary) + tn::Command(tn::kWill, tn::kOptionBinary) +
           tn::Command(tn::kDo, tn::kOptionSuppressGoAhead) +
           tn::Command(tn::kWill, tn::kOptionSuppressGoAhead) +
           tn::Command(tn::kDo, tn::kOptionComPort);
}

}  // namespace

class TestNetChannel : public QObject {
    Q_OBJECT
private slots:
    void networkAddress_data();
    void networkAddress();
    void onlySchemesAreUrls_data();
    void onlySchemesAreUrls();
    void escape_data();
    void escape();
    void decoder_data();
    void decoder();
    void comPortCommands_data();
    void comPortCommands();
    void negotiation_data();
    void negotiation();

    void settingsFollowTheServersAgreement_data();
    void settingsFollowTheServersAgreement();
    void serverSilentOnTheOptionDoesNotOpen();
    void connectThatHangsEndsAtTheLimitWithThePumpRunning();
    void serverThatClosesAtOnceDoesNotOpen();
    void serverClosingIsALineGone_data();
    void serverClosingIsALineGone();
    void dataFromTheServerIsUnescaped();
    void purgeDropsWhatAlreadyArrived_data() { serverClosingIsALineGone_data(); }
    void purgeDropsWhatAlreadyArrived();
    void portsThatDoNotOpenSayWhy_data();
    void portsThatDoNotOpenSayWhy();
};

void TestNetChannel::networkAddress_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("rfc2217 by name")
        << "rfc2217://door-server:4001" << true << true << "door-server" << 4001;
    QTest::newRow("socket by IPv4")
        << "socket://10.0.0.7:4001" << true << false << "10.0.0.7" << 4001;
    QTest::newRow("scheme in capitals") << "RFC2217://host:1" << true << true << "host" << 1;
    QTest::newRow("trailing slash") << "socket://host:2/" << true << false << "host" << 2;
    QTest::newRow("highest port") << "socket://host:65535" << true << false << "host" << 65535;
    QTest::newRow("IPv6 in brackets")
        << "rfc2217://[fe80::1]:4001" << true << true << "fe80::1" << 4001;
    QTest::newRow("IPv6 without brackets") << "rfc2217://fe80::1:4001" << false << false << "" << 0;
    QTest::newRow("brackets without IPv6") << "rfc2217://[host]:4001" << false << false << "" << 0;
    QTest::newRow("port 0") << "socket://host:0" << false << false << "" << 0;
    QTest::newRow("port 65536") << "socket://host:65536" << false << false << "" << 0;
    QTest::newRow("port with a sign") << "socket://host:+1" << false << false << "" << 0;
    QTest::newRow("no port") << "rfc2217://host" << false << false << "" << 0;
    QTest::newRow("empty port") << "rfc2217://host:" << false << false << "" << 0;
    QTest::newRow("no host") << "rfc2217://:4001" << false << false << "" << 0;
    QTest::newRow("blank in host") << "rfc2217://door server:4001" << false << false << "" << 0;
    QTest::newRow("comma in host") << "socket://a,b:4001" << false << false << "" << 0;
    QTest::newRow("path after port") << "socket://host:4001/x" << false << false << "" << 0;
    QTest::newRow("options after port")
        << "rfc2217://host:4001?ign_set_control" << false << false << "" << 0;
    QTest::newRow("another scheme") << "telnet://host:23" << false << false << "" << 0;
    QTest::newRow("device path") << "/dev/ttyUSB0" << false << false << "" << 0;
}

void TestNetChannel::networkAddress() {
    QFETCH(QString, url);
    QFETCH(bool, valid);
    const auto address = ParseNetworkAddress(url.toStdString());
    QCOMPARE(address.has_value(), valid);
    if (!valid) return;
    QFETCH(bool, rfc2217);
    QFETCH(QString, host);
    QFETCH(int, port);
    QCOMPARE(address->kind == NetworkKind::Rfc2217, rfc2217);
    QCOMPARE(QString::fromStdString(address->host), host);
    QCOMPARE(address->port, port);
    // What the store keeps reads back the same.
    const auto again = ParseNetworkAddress(FormatNetworkAddress(*address));
    QVERIFY(again);
    QCOMPARE(again->host, address->host);
    QCOMPARE(again->port, address->port);
    QCOMPARE(again->kind, address->kind);
}

void TestNetChannel::onlySchemesAreUrls_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("url");
    QTest::newRow("device") << "/dev/ttyUSB0" << false;
    QTest::newRow("relative path with colon") << "tmp/a:b" << false;
    QTest::newRow("COM name") << "COM5" << false;
    QTest::newRow("rfc2217") << "rfc2217://h:1" << true;
    QTest::newRow("unknown scheme") << "ssh://h" << true;
    QTest::newRow("no scheme") << "://h:1" << false;
    QTest::newRow("slash in scheme") << "/x://h:1" << false;
}

void TestNetChannel::onlySchemesAreUrls() {
    QFETCH(QString, text);
    QFETCH(bool, url);
    QCOMPARE(IsUrl(text.toStdString()), url);
}

void TestNetChannel::escape_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("frame without 0xFF") << QByteArray("\tA01B0B\r") << QByteArray("\tA01B0B\r");
    QTest::newRow("one 0xFF") << QByteArray(
                                     "A\xFF"
                                     "B")
                              << QByteArray(
                                     "A\xFF\xFF"
                                     "B");
    QTest::newRow("two 0xFF") << QByteArray("\xFF\xFF") << QByteArray("\xFF\xFF\xFF\xFF");
    QTest::newRow("CR NUL kept") << QByteArray("\r\0", 2) << QByteArray("\r\0", 2);
    QTest::newRow("other command bytes")
        << QByteArray("\xFA\xF0\xFB") << QByteArray("\xFA\xF0\xFB");
}

void TestNetChannel::escape() {
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, wire);
    QCOMPARE(Bytes(tn::Escape(Std(data))), wire);
}

void TestNetChannel::decoder_data() {
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("events");
    using Chunks = QList<QByteArray>;
    QTest::newRow("plain reply") << Chunks{"\nA01BCAFE00420B\r"} << true
                                 << QByteArray("\nA01BCAFE00420B\r") << "";
    QTest::newRow("doubled IAC is one 0xFF") << Chunks{"A\xFF\xFF" "B"} << true
                                             << QByteArray("A\xFF" "B") << "";
    QTest::newRow("doubled IAC cut between chunks") << Chunks{"A\xFF",
                                                              "\xFF"
                                                              "B"}
                                                    << true
                                                    << QByteArray(
                                                           "A\xFF"
                                                           "B")
                                                    << "";
    QTest::newRow("option between data") << Chunks{"A\xFF\xFD\x03" "B"} << true
                                         << QByteArray("AB") << "DO 3";
    QTest::newRow("option cut after IAC")
        << Chunks{"\xFF", "\xFB\x01"} << true << QByteArray() << "WILL 1";
    QTest::newRow("option cut after verb")
        << Chunks{"\xFF\xFE", "\x2C"} << true << QByteArray() << "DONT 44";
    QTest::newRow("COM-PORT answer")
        << Chunks{QByteArray("\xFF\xFA\x2C\x65\x00\x00\x4B\x00\xFF\xF0", 10)} << true
        << QByteArray() << "SB 44:6500004B00";
    QTest::newRow("0xFF inside a subnegotiation") << Chunks{"\xFF\xFA\x2C\x65\xFF",
                                                            "\xFF\xFF\xF0"
                                                            "Z"}
                                                  << true << QByteArray("Z") << "SB 44:65FF";
    QTest::newRow("NOP carries nothing") << Chunks{"A\xFF\xF1" "B"} << true << QByteArray("AB")
                                         << "";
    QTest::newRow("command ends an open subnegotiation")
        << Chunks{"\xFF\xFA\x2C\x01\xFF\xFB\x03" "C"} << true << QByteArray("C") << "WILL 3";
    QTest::newRow("CR NUL outside binary is a CR")
        << Chunks{QByteArray("\r\0\n", 3)} << false << QByteArray("\r\n") << "";
    QTest::newRow("CR NUL cut between chunks")
        << Chunks{"\r", QByteArray("\0", 1)} << false << QByteArray("\r") << "";
    QTest::newRow("CR NUL in binary is data")
        << Chunks{QByteArray("\r\0", 2)} << true << QByteArray("\r\0", 2) << "";
    QTest::newRow("NUL alone outside binary is data")
        << Chunks{QByteArray("A\0", 2)} << false << QByteArray("A\0", 2) << "";
}

void TestNetChannel::decoder() {
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(bool, binary);
    QFETCH(QByteArray, data);
    QFETCH(QString, events);
    tn::Decoder decoder;
    decoder.setDropNulAfterCr(!binary);
    std::string got;
    std::vector<tn::Event> seen;
    for (const QByteArray& chunk : chunks)
        decoder.feed(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                     std::size_t(chunk.size()), got, seen);
    QCOMPARE(Bytes(got), data);
    QCOMPARE(Describe(seen), events);
}

void TestNetChannel::comPortCommands_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("wire");
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    QTest::newRow("baud 19200") << Bytes(tn::SetBaudrate(19200)) << hex("FFFA2C0100004B00FFF0");
    QTest::newRow("baud 230400") << Bytes(tn::SetBaudrate(230400)) << hex("FFFA2C0100038400FFF0");
    QTest::newRow("baud with 0xFF bytes")
        << Bytes(tn::SetBaudrate(0xFFFF)) << hex("FFFA2C010000FFFFFFFFFFF0");
    QTest::newRow("8 data bits") << Bytes(tn::SetDatasize(8)) << hex("FFFA2C0208FFF0");
    QTest::newRow("even parity") << Bytes(tn::SetParity(tn::ComParity::Even))
                                 << hex("FFFA2C0303FFF0");
    QTest::newRow("no parity") << Bytes(tn::SetParity(tn::ComParity::None))
                               << hex("FFFA2C0301FFF0");
    QTest::newRow("1.5 stop bits")
        << Bytes(tn::SetStopsize(tn::ComStopsize::OneAndHalf)) << hex("FFFA2C0403FFF0");
    QTest::newRow("no flow control")
        << Bytes(tn::SetControl(tn::ComControl::NoFlowControl)) << hex("FFFA2C0501FFF0");
    QTest::newRow("DTR on") << Bytes(tn::SetControl(tn::ComControl::DtrOn))
                            << hex("FFFA2C0508FFF0");
    QTest::newRow("RTS off") << Bytes(tn::SetControl(tn::ComControl::RtsOff))
                             << hex("FFFA2C050CFFF0");
    QTest::newRow("purge both") << Bytes(tn::PurgeData(tn::ComPurge::Both))
                                << hex("FFFA2C0C03FFF0");
}

void TestNetChannel::comPortCommands() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, wire);
    QCOMPARE(command.toHex().toUpper(), wire.toHex().toUpper());
}

void TestNetChannel::negotiation_data() {
    QTest::addColumn<QByteArray>("server");   // verb, option pairs
    QTest::addColumn<QByteArray>("answers");  // everything the client says back
    QTest::addColumn<bool>("settled");
    QTest::addColumn<bool>("comPort");
    QTest::addColumn<bool>("binary");
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    QTest::newRow("nothing heard yet") << QByteArray() << QByteArray() << false << false << false;
    QTest::newRow("server agrees to all")
        << hex("FD00FB00FD03FB03FD2C") << QByteArray() << true << true << true;
    QTest::newRow("server refuses COM-PORT")
        << hex("FE2C") << QByteArray() << true << false << false;
    QTest::newRow("server offers echo") << hex("FB01") << hex("FFFE01") << false << false << false;
    QTest::newRow("server asks for the terminal type")
        << hex("FD18") << hex("FFFC18") << false << false << false;
    QTest::newRow("agreement repeated is not answered")
        << hex("FB00FB00") << QByteArray() << false << false << true;
    QTest::newRow("server leaves binary later")
        << hex("FB00FC00") << hex("FFFE00") << false << false << false;
    QTest::newRow("server asks again after agreeing")
        << hex("FD2CFE2CFD2C") << hex("FFFC2CFFFB2C") << true << true << false;
}

void TestNetChannel::negotiation() {
    QFETCH(QByteArray, server);
    QFETCH(QByteArray, answers);
    QFETCH(bool, settled);
    QFETCH(bool, comPort);
    QFETCH(bool, binary);
    tn::Negotiator negotiator(true);
    QCOMPARE(Bytes(negotiator.opening()).toHex().toUpper(),
             QByteArray("FFFB00FFFD00FFFB03FFFD03FFFB2C"));
    std::string said;
    for (int i = 0; i + 1 < server.size(); i += 2)
        said += negotiator.answer(std::uint8_t(server[i]), std::uint8_t(server[i + 1]));
    QCOMPARE(Bytes(said).toHex().toUpper(), answers.toHex().toUpper());
    QCOMPARE(negotiator.comPortSettled(), settled);
    QCOMPARE(negotiator.comPortEnabled(), comPort);
    QCOMPARE(negotiator.serverBinary(), binary);
}

void TestNetChannel::settingsFollowTheServersAgreement_data() {
    QTest::addColumn<QString>("lineSettings");
    QTest::addColumn<QByteArray>("settings");  // the COM-PORT commands before control
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    QTest::newRow("19200,e,8,1") << "19200,e,8,1"
                                 << hex("FFFA2C0100004B00FFF0FFFA2C0208FFF0FFFA2C0303FFF0"
                                        "FFFA2C0401FFF0");
    QTest::newRow("9600,n,7,2") << "9600,n,7,2"
                                << hex("FFFA2C0100002580FFF0FFFA2C0207FFF0FFFA2C0301FFF0"
                                       "FFFA2C0402FFF0");
    QTest::newRow("230400,o,8,1.5") << "230400,o,8,1.5"
                                    << hex("FFFA2C0100038400FFF0FFFA2C0208FFF0FFFA2C0302FFF0"
                                           "FFFA2C0403FFF0");
    QTest::newRow("only the speed parses") << "4800,x,9,3" << hex("FFFA2C01000012C0FFF0");
    QTest::newRow("nothing parses") << "fast" << QByteArray();
}

// What the server hears from open to close: the options, the line settings once it agreed,
// no flow control, DTR and RTS on; data with 0xFF doubled; a purge; at close a purge and DTR
// and RTS off.
void TestNetChannel::settingsFollowTheServersAgreement() {
    QFETCH(QString, lineSettings);
    QFETCH(QByteArray, settings);
    const auto hex = [](const char* text) { return QByteArray::fromHex(text); };
    ScriptedServer server;
    server.queued = Agreement();
    Rfc2217Channel channel;
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(channel.open(server.url("rfc2217"), lineSettings.toStdString()));
    const std::uint8_t data[] = {0x09, 0xFF, 0x0D};
    channel.write(data, sizeof data);
    channel.purge();
    channel.close();
    server.service();

    const QByteArray expected = hex("FFFB00FFFD00FFFB03FFFD03FFFB2C") + settings +
                                hex("FFFA2C0501FFF0FFFA2C0508FFF0FFFA2C050BFFF0") +
                                hex("09FFFF0D") + hex("FFFA2C0C03FFF0") +
                                hex("FFFA2C0C03FFF0FFFA2C0509FFF0FFFA2C050CFFF0");
    QCOMPARE(Bytes(server.heard).toHex().toUpper(), expected.toHex().toUpper());
}

void TestNetChannel::serverSilentOnTheOptionDoesNotOpen() {
    ScriptedServer server;
    Rfc2217Channel channel;
    channel.setOpenLimitMs(100);
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(!channel.open(server.url("rfc2217"), "19200,e,8,1"));
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.diagnosis().problem, PortProblem::NotNegotiated);
    QCOMPARE(ReasonText(channel.diagnosis()),
             server.url("rfc2217") +
                 " accepted the connection but did not take up RFC 2217 (the COM-PORT option) "
                 "within 100 ms.");
    server.service();
    // Only the offer: no COM-PORT command without the server's word.
    QCOMPARE(Bytes(server.heard).toHex().toUpper(), QByteArray("FFFB00FFFD00FFFB03FFFD03FFFB2C"));
}

// A listener whose queue is full drops new connection requests: the connect hangs as it would
// against a host that does not answer.
void TestNetChannel::connectThatHangsEndsAtTheLimitWithThePumpRunning() {
    ScriptedServer server(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(std::uint16_t(server.port()));
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(fd);
    }
    SocketChannel channel;
    channel.setOpenLimitMs(200);
    int pumps = 0;
    channel.setMessagePump([&] { ++pumps; });
    QVERIFY(!channel.open(server.url("socket"), "19200,e,8,1"));
    QCOMPARE(channel.diagnosis().problem, PortProblem::NoAnswer);
    QCOMPARE(ReasonText(channel.diagnosis()),
             server.url("socket") + " did not answer within 200 ms.");
    QVERIFY(pumps > 0);
    for (int fd : fillers) ::close(fd);
}

void TestNetChannel::serverThatClosesAtOnceDoesNotOpen() {
    ScriptedServer server;
    server.hangUpWhenAccepted = true;
    Rfc2217Channel channel;
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(!channel.open(server.url("rfc2217"), "19200,e,8,1"));
    QVERIFY(!channel.isOpen());
    // A server that serves one client at a time and has one: refused, not a line gone.
    QCOMPARE(channel.diagnosis().problem, PortProblem::Refused);
}

void TestNetChannel::serverClosingIsALineGone_data() {
    QTest::addColumn<QString>("scheme");
    QTest::newRow("socket") << "socket";
    QTest::newRow("rfc2217") << "rfc2217";
}

void TestNetChannel::serverClosingIsALineGone() {
    QFETCH(QString, scheme);
    ScriptedServer server;
    if (scheme == "rfc2217") server.queued = Agreement();
    AnyChannel channel;
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(channel.open(server.url(qPrintable(scheme)), "19200,e,8,1"));
    server.service();
    server.queued = "\nA";
    server.service();
    server.hangUp();
    std::uint8_t byte = 0;
    // Bytes sent before the close still arrive; then the line is gone, however long the wait.
    QCOMPARE(channel.readByte(byte, 60000), ReadStatus::Byte);
    QCOMPARE(byte, std::uint8_t('\n'));
    QCOMPARE(channel.readByte(byte, 60000), ReadStatus::Byte);
    QCOMPARE(channel.readByte(byte, 60000), ReadStatus::LineGone);
    QCOMPARE(channel.readByte(byte, 0), ReadStatus::LineGone);
    QCOMPARE(channel.diagnosis().problem, PortProblem::Dropped);
    QCOMPARE(channel.diagnosis().device, server.url(qPrintable(scheme)));
    channel.close();
}

void TestNetChannel::dataFromTheServerIsUnescaped() {
    ScriptedServer server;
    server.queued = Agreement();
    Rfc2217Channel channel;
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(channel.open(server.url("rfc2217"), "19200,e,8,1"));
    server.queued = std::string("\n\xFF\xFF\xFF\xFD\x01\r", 7);  // with a DO ECHO in between
    server.service();
    std::string got;
    std::uint8_t byte = 0;
    while (got.size() < 3 && channel.readByte(byte, 5000) == ReadStatus::Byte) got += char(byte);
    QCOMPARE(Bytes(got), QByteArray("\n\xFF\r"));
    server.heard.clear();
    server.service();
    QCOMPARE(Bytes(server.heard).toHex().toUpper(), QByteArray("FFFC01"));  // WONT ECHO
}

// Stale bytes, some of them read already and some still in the socket, must never be taken
// for the next reply.
void TestNetChannel::purgeDropsWhatAlreadyArrived() {
    QFETCH(QString, scheme);
    ScriptedServer server;
    if (scheme == "rfc2217") server.queued = Agreement();
    AnyChannel channel;
    channel.setMessagePump([&] { server.service(); });
    QVERIFY(channel.open(server.url(qPrintable(scheme)), "19200,e,8,1"));
    server.queued = "\nA01B";
    server.service();
    std::uint8_t byte = 0;
    QCOMPARE(channel.readByte(byte, 5000), ReadStatus::Byte);  // the rest waits in the channel
    server.queued = "stale";  // loopback delivers it into our socket before send returns
    server.service();
    channel.purge();
    QCOMPARE(channel.readByte(byte, 0), ReadStatus::Timeout);
    server.queued = "\n";
    server.service();
    QCOMPARE(channel.readByte(byte, 5000), ReadStatus::Byte);
    QCOMPARE(byte, std::uint8_t('\n'));
}

// A local socket bound to a port but not listening: connections to it are refused.
class ClosedPort {
public:
    ClosedPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~ClosedPort() { ::close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

void TestNetChannel::portsThatDoNotOpenSayWhy_data() {
    QTest::addColumn<QString>("path");  // "PORT" stands for a closed port on 127.0.0.1
    QTest::addColumn<PortProblem>("problem");
    QTest::addColumn<QString>("says");  // a part of the reason
    QTest::newRow("unknown scheme") << "telnet://host:23" << PortProblem::BadAddress
                                    << "telnet://host:23 is not a network port address.";
    QTest::newRow("no port") << "rfc2217://host" << PortProblem::BadAddress
                             << "rfc2217://host is not";
    QTest::newRow("missing device") << "/nonexistent/ttyS99" << PortProblem::NoSuchDevice
                                    << "/nonexistent/ttyS99 does not exist";
    QTest::newRow("nothing listens") << "socket://127.0.0.1:PORT" << PortProblem::Refused
                                     << "socket://127.0.0.1:PORT refused the connection.";
    // The reserved top-level name never resolves, wherever the test runs.
    QTest::newRow("a name that does not resolve")
        << "rfc2217://door-server.invalid:4001" << PortProblem::HostNotFound
        << "rfc2217://door-server.invalid:4001: the server name door-server.invalid is not known";
    // TCP to the broadcast address is refused by the local stack at once.
    QTest::newRow("no route") << "rfc2217://255.255.255.255:4001" << PortProblem::Unreachable
                              << "rfc2217://255.255.255.255:4001 cannot be reached: ";
}

void TestNetChannel::portsThatDoNotOpenSayWhy() {
    QFETCH(QString, path);
    QFETCH(PortProblem, problem);
    QFETCH(QString, says);
    const ClosedPort closed;
    const QString port = QString::number(closed.port());
    AnyChannel channel;
    // A slow name server still answers within this: the outcome never depends on timing.
    channel.rfc2217().setOpenLimitMs(60000);
    QVERIFY(!channel.open(path.replace("PORT", port).toStdString(), "19200,e,8,1"));
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.diagnosis().problem, problem);
    const QString reason = QString::fromStdString(ReasonText(channel.diagnosis()));
    QVERIFY2(reason.startsWith(says.replace("PORT", port)), qPrintable(reason));
    QVERIFY(!AdviceText(channel.diagnosis()).empty());
    std::uint8_t byte = 0;
    QCOMPARE(channel.readByte(byte, 0), ReadStatus::LineGone);
}

QTEST_MAIN(TestNetChannel)
#include "tst_netchannel.moc"
