// The simulated reader, driven from the program's side of a real pseudo-terminal with a raw
// descriptor, as the program would drive it. Expected bytes are worked out by hand.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <sstream>

#include "SimFrame.h"
#include "SimLine.h"
#include "SimProgram.h"

using namespace tbsim;

Q_DECLARE_METATYPE(tbsim::Fault)

namespace {

// Only hit when something is wrong: a reply that never comes.
constexpr int kGiveUpMs = 5000;

speed_t SpeedFor(int baud) {
    switch (baud) {
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B230400;
    }
}

// The program's end of the line: the slave side, raw, at a chosen speed.
class Port {
public:
    Port(const std::string& path, int baud) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) setBaud(baud);
    }
    ~Port() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    void setBaud(int baud) {
        termios settings{};
        ::tcgetattr(fd_, &settings);
        ::cfmakeraw(&settings);
        ::cfsetspeed(&settings, SpeedFor(baud));
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    void send(const std::string& bytes) {
        QCOMPARE(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Bytes until `done` says so, the line hangs up, or nothing comes for a long time.
    template <typename Done>
    QByteArray readUntil(Done done, bool* hungUp = nullptr) {
        QByteArray got;
        while (!done(got)) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, kGiveUpMs) <= 0) break;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                got.append(buffer, static_cast<int>(n));
            } else if (n == 0 || errno == EIO) {
                if (hungUp) *hungUp = true;
                break;
            }
        }
        return got;
    }
    QByteArray readFrame() {
        return readUntil([](const QByteArray& b) { return b.endsWith('\r'); });
    }
    QByteArray readBytes(int count) {
        return readUntil([count](const QByteArray& b) { return b.size() >= count; });
    }
    QByteArray exchange(const std::string& text) {
        send(CommandFrame(text));
        return readFrame();
    }

private:
    int fd_ = -1;
};

ReaderConfig Reader(ReaderKind kind, int id, const std::string& serial = "12345678",
                    const std::string& settings = "19200,e,8,1") {
    ReaderConfig config;
    config.kind = kind;
    config.id = id;
    config.serial = serial;
    config.lineSettings = settings;
    return config;
}

const QByteArray kTb05 = "\nA05BTB0004271B\r";  // PX10, ID 05, serial TB000427

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void commandFrame_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("scan probe") << QByteArray("A00B")
                                    << QByteArray(
                                           "\x09"
                                           "A00B0A\x0D");
        QTest::newRow("lower-case text") << QByteArray("abc")
                                         << QByteArray(
                                                "\x09"
                                                "abc69\x0D");
        QTest::newRow("empty text") << QByteArray("")
                                    << QByteArray(
                                           "\x09"
                                           "09\x0D");
    }
    void commandFrame() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, frame);
        QCOMPARE(QByteArray::fromStdString(CommandFrame(text.toStdString())), frame);
        const auto parts = SplitCommandFrame(frame.toStdString());
        QVERIFY(parts.checksumOk);
        QCOMPARE(QByteArray::fromStdString(parts.text), text);
    }

    void commandChecksumRejected_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("off by one") << QByteArray(
            "\x09"
            "A01B0C\x0D");
        QTest::newRow("lower-case hex") << QByteArray(
            "\x09"
            "A01B0b\x0D");
        QTest::newRow("no checksum") << QByteArray("\x09\x0D");
    }
    void commandChecksumRejected() {
        QFETCH(QByteArray, frame);
        QVERIFY(!SplitCommandFrame(frame.toStdString()).checksumOk);
    }

    void replyCheck_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty body") << QByteArray("\n0A\r") << true;
        QTest::newRow("serial reply") << kTb05 << true;
        QTest::newRow("LF CR only") << QByteArray("\n\r") << false;
        QTest::newRow("lower-case checksum") << QByteArray("\nA05BTB0004271b\r") << false;
        QTest::newRow("checksum off by one") << QByteArray("\nA05BTB0004271C\r") << false;
        QTest::newRow("byte in front") << QByteArray("\x00", 1) + kTb05 << false;
        QTest::newRow("no CR") << kTb05.left(15) << false;
    }
    void replyCheck() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, valid);
        QCOMPARE(IsValidReply(reply.toStdString()), valid);
    }

    void assembler_data() {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArrayList>("frames");
        const QByteArray scan(
            "\x09"
            "A00B0A\x0D");
        QTest::newRow("one write") << QByteArrayList{scan} << QByteArrayList{scan};
        QTest::newRow("five writes")
            << QByteArrayList{"\x09", "A00B", "0", "A", "\x0D"} << QByteArrayList{scan};
        QTest::newRow("noise before TAB")
            << QByteArrayList{"\x00zz\x0D", scan} << QByteArrayList{scan};
        QTest::newRow("TAB starts anew") << QByteArrayList{"\x09" "A0", scan} << QByteArrayList{scan};
        QTest::newRow("two in one chunk")
            << QByteArrayList{scan + scan} << QByteArrayList{scan, scan};
    }
    void assembler() {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArrayList, frames);
        CommandAssembler assembler;
        QByteArrayList found;
        for (const auto& chunk : chunks) {
            for (const auto& frame : assembler.feed(chunk.constData(), chunk.size())) {
                found << QByteArray::fromStdString(frame);
            }
        }
        QCOMPARE(found, frames);
    }

    // However the replies line up, the program must never take a collision for a frame.
    void collisionIsNeverAFrame_data() {
        QTest::addColumn<QByteArrayList>("replies");
        QTest::newRow("two serial replies") << QByteArrayList{kTb05,
                                                              "\nA01B12345678"
                                                              "00\r"};
        QTest::newRow("identical replies") << QByteArrayList{kTb05, kTb05};
        QTest::newRow("different lengths")
            << QByteArrayList{kTb05, "\nA01VV2.31-0542 PX10 73\r", "\n0A\r"};
        QTest::newRow("empty bodies") << QByteArrayList{"\n0A\r", "\n0A\r"};
    }
    void collisionIsNeverAFrame() {
        QFETCH(QByteArrayList, replies);
        std::vector<std::string> list;
        int longest = 0;
        for (const auto& reply : replies) {
            list.push_back(reply.toStdString());
            longest = std::max(longest, static_cast<int>(reply.size()));
        }
        const std::string mix = CollideReplies(list);
        QCOMPARE(static_cast<int>(mix.size()), longest);
        QVERIFY(!IsValidReply(mix));
        QVERIFY(mix.find('\r') == std::string::npos);
    }

    void lineSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud");
        QTest::addColumn<long long>("characterNs");  // bits x 1e9 / baud
        const int bauds[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400};
        for (int baud : bauds) {
            for (const char* parity : {"n", "e"}) {
                const QString text = QString("%1,%2,8,1").arg(baud).arg(parity);
                const int bits = parity[0] == 'n' ? 10 : 11;
                QTest::newRow(qPrintable(text)) << text << baud << bits * 1000000000LL / baud;
            }
        }
        QTest::newRow("two stop bits, odd") << "9600,o,7,2" << 9600 << 11 * 1000000000LL / 9600;
    }
    void lineSettings() {
        QFETCH(QString, text);
        QFETCH(int, baud);
        QFETCH(long long, characterNs);
        const auto format = ParseLineSettings(text.toStdString());
        QVERIFY(format);
        QCOMPARE(format->baud, baud);
        QCOMPARE(static_cast<long long>(CharacterTime(*format).count()), characterNs);
    }

    void lineSettingsRejected_data() {
        QTest::addColumn<QString>("text");
        for (const char* text : {"19200,x,8,1", "19200,e,9,1", "19200,e,8", "0,n,8,1", "fast,n,8,1",
                                 "19200,e,8,3", "19200,e,8,1,1"}) {
            QTest::newRow(text) << text;
        }
    }
    void lineSettingsRejected() {
        QFETCH(QString, text);
        QVERIFY(!ParseLineSettings(text.toStdString()));
    }

    void startCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("start");
        QTest::newRow("PX10") << "PX10" << 'A';
        QTest::newRow("PX30M") << "PX30M" << 'A';
        QTest::newRow("PX40") << "PX40" << 'H';
        QTest::newRow("PX40M") << "px40-m" << 'H';
        QTest::newRow("PX50") << "PX50" << 'J';
        QTest::newRow("PX50M") << "PX50M" << 'J';
        QTest::newRow("PX60") << "PX60" << 'I';
        QTest::newRow("PX60M") << "PX60M" << 'I';
    }
    void startCharacters() {
        QFETCH(QString, name);
        QFETCH(char, start);
        const auto kind = ReaderKindFromName(name.toStdString());
        QVERIFY(kind);
        QCOMPARE(StartCharacter(*kind), start);
        QCOMPARE(ReaderKindFromName(ReaderKindName(*kind)), kind);
    }

    // One table for the reader model alone and for the same exchange over a line.
    void answers_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("serial");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");  // empty: silence
        const int px10 = int(ReaderKind::PX10), px40 = int(ReaderKind::PX40);
        const QByteArray v16 = "V2.31-0542 PX10 ";
        QTest::newRow("B to own ID")
            << px10 << 5 << QByteArray("TB000427") << v16 << QByteArray("A05B") << kTb05;
        QTest::newRow("B to 00") << px10 << 5 << QByteArray("TB000427") << v16 << QByteArray("A00B")
                                 << kTb05;
        QTest::newRow("B, keypad reader")
            << px40 << 7 << QByteArray("ABCD1234") << v16 << QByteArray("H07B")
            << QByteArray(
                   "\nH07BABCD1234"
                   "07\r");
        QTest::newRow("B, fingerprint M")
            << int(ReaderKind::PX60M) << 42 << QByteArray("00A1B2C3") << v16 << QByteArray("I00B")
            << QByteArray(
                   "\nI42B00A1B2C3"
                   "77\r");
        QTest::newRow("V, 16 characters")
            << px10 << 1 << QByteArray("12345678") << v16 << QByteArray("A01V")
            << QByteArray("\nA01VV2.31-0542 PX10 73\r");
        QTest::newRow("V, 8 characters") << int(ReaderKind::PX50) << 12 << QByteArray("12345678")
                                         << QByteArray("V1.05 PX") << QByteArray("J12V")
                                         << QByteArray(
                                                "\nJ12VV1.05 PX"
                                                "71\r");
        QTest::newRow("other ID") << px10 << 5 << QByteArray("TB000427") << v16
                                  << QByteArray("A06B") << QByteArray();
        QTest::newRow("other start character")
            << px40 << 5 << QByteArray("TB000427") << v16 << QByteArray("A05B") << QByteArray();
        QTest::newRow("unknown command")
            << px10 << 5 << QByteArray("TB000427") << v16 << QByteArray("A05Z") << QByteArray();
        QTest::newRow("B with parameters")
            << px10 << 5 << QByteArray("TB000427") << v16 << QByteArray("A05B1") << QByteArray();
        QTest::newRow("no command letter")
            << px10 << 5 << QByteArray("TB000427") << v16 << QByteArray("A05") << QByteArray();
    }
    void answers() {
        QFETCH(int, kind);
        QFETCH(int, id);
        QFETCH(QByteArray, serial);
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        ReaderConfig config = Reader(ReaderKind(kind), id, serial.toStdString());
        config.version = version.toStdString();

        SimReader reader(config);
        const auto answer = reader.answer(command.toStdString());
        QCOMPARE(QByteArray::fromStdString(answer.value_or("")), reply);

        // Over the line. A reply that should not come would arrive before the probe's.
        SimLine line;
        line.addReader(config);
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        QVERIFY(port.isOpen());
        if (!reply.isEmpty()) {
            QCOMPARE(port.exchange(command.toStdString()), reply);
        } else {
            port.send(CommandFrame(command.toStdString()));
            const std::string probe = std::string(1, StartCharacter(config.kind)) + "00B";
            QCOMPARE(port.exchange(probe), QByteArray::fromStdString(*reader.answer(probe)));
        }
    }

    // A reader hears only its own speed; the line reports what the program set.
    void speeds_data() {
        QTest::addColumn<QString>("settings");
        for (int baud : {4800, 9600, 19200, 38400, 57600, 115200, 230400}) {
            for (const char* parity : {"n", "e"}) {
                const QString text = QString("%1,%2,8,1").arg(baud).arg(parity);
                QTest::newRow(qPrintable(text)) << text;
            }
        }
    }
    void speeds() {
        QFETCH(QString, settings);
        const int baud = ParseLineSettings(settings.toStdString())->baud;
        const int other = baud == 9600 ? 19200 : 9600;
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427", settings.toStdString()));
        QVERIFY(line.start());
        Port port(line.devicePath(), other);
        QCOMPARE(line.currentBaud(), other);
        port.send(CommandFrame("A05B"));
        QTRY_COMPARE(line.receivedFrames().size(), std::size_t(1));
        port.setBaud(baud);
        QCOMPARE(line.currentBaud(), baud);
        QCOMPARE(port.exchange("A05B"), kTb05);
        QTRY_COMPARE(line.repliesSent(), std::size_t(1));
    }

    // "E": the reader answers at the speed it was asked at, then hears only the new one.
    void lineSettingsChange_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("newBaud");
        QTest::newRow("to 9600") << QByteArray("A05E2") << QByteArray("\nA05E0B\r") << 9600;
        QTest::newRow("to 230400") << QByteArray("A05ED") << QByteArray("\nA05E0B\r") << 230400;
        QTest::newRow("to 4800") << QByteArray("A05E1") << QByteArray("\nA05E0B\r") << 4800;
    }
    void lineSettingsChange() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        QFETCH(int, newBaud);
        SimLine line;
        SimReader* reader = line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        QCOMPARE(port.exchange(command.toStdString()), reply);
        QCOMPARE(reader->baud(), newBaud);
        // Unheard at the old speed: were it answered, its reply would come before the next.
        port.send(CommandFrame("A05V"));
        QTRY_COMPARE(line.receivedFrames().size(), std::size_t(2));
        port.setBaud(newBaud);
        QCOMPARE(port.exchange("A05B"), kTb05);
        QTRY_COMPARE(line.repliesSent(), std::size_t(2));
    }

    // "C" on a bus of readers that all answer to 01: only the one whose serial number it names
    // answers and takes the new ID; a serial number that no one has gets silence.
    void setIdOnBus() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX40, 1, "AAAA0001"));
        line.addReader(Reader(ReaderKind::PX40, 1, "BBBB0002"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        port.send(CommandFrame("H01CCCCC000305"));
        QCOMPARE(port.exchange("H01CBBBB000205"), QByteArray("\nH01C00\r"));
        QCOMPARE(port.exchange("H05B"), QByteArray("\nH05BBBBB000207\r"));
        QCOMPARE(port.exchange("H01B"), QByteArray("\nH01BAAAA000100\r"));
        QTRY_COMPARE(line.repliesSent(), std::size_t(3));
    }

    // A card presented from the test's side while the line runs reaches the next poll.
    void presentedCardOnLine() {
        SimLine line;
        SimReader* reader = line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        QCOMPARE(port.exchange("A05F"), QByteArray("\nA05F08\r"));
        QVERIFY(reader->presentCardId("00A0B0C0"));
        QCOMPARE(port.exchange("A05F"), QByteArray("\nA05F000A0B0C048\r"));
        QCOMPARE(port.exchange("A05F"), QByteArray("\nA05F08\r"));
    }

    void collisionOnLine() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 1));
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        port.send(CommandFrame("A00B"));
        const QByteArray mix = port.readBytes(16);
        QCOMPARE(mix.size(), 16);
        QVERIFY(!mix.contains('\r'));
        QTRY_COMPARE(line.repliesSent(), std::size_t(2));
        QCOMPARE(port.exchange("A05B"), kTb05);  // addressed alone, it answers alone
    }

    void logKeepsEveryFrame() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        port.send(
            "\x09"
            "A05B0C\x0D");                // wrong checksum: logged, not answered
        port.send(CommandFrame("A07V"));  // no one has ID 07
        QCOMPARE(port.exchange("A05B"), kTb05);
        QCOMPARE(line.receivedFrames(),
                 (std::vector<std::string>{"\x09"
                                           "A05B0C\x0D",
                                           CommandFrame("A07V"), CommandFrame("A05B")}));
        QCOMPARE(line.receivedCommands(), (std::vector<std::string>{"A05B", "A07V", "A05B"}));
        line.clearLog();
        QVERIFY(line.receivedFrames().empty() && line.receivedCommands().empty());
    }

    // The program closes its port between actions; the line must serve the next opening.
    void portReopened() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        for (int round = 0; round < 3; ++round) {
            Port port(line.devicePath(), 19200);
            QCOMPARE(port.exchange("A05B"), kTb05);
        }
    }

    // The line's floor: the command's and the reply's characters at 4800 baud, 10 bits each.
    void pacingFloor() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427", "4800,n,8,1"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 4800);
        const auto started = std::chrono::steady_clock::now();
        QCOMPARE(port.exchange("A05B"), kTb05);
        QVERIFY(std::chrono::steady_clock::now() - started >= std::chrono::microseconds(24 * 2083));
    }

    void faults_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("value");  // delay in ms or length
        QTest::newRow("silence") << Fault::Silence << 0;
        QTest::newRow("late reply") << Fault::LateReply << 150;
        QTest::newRow("trickle") << Fault::Trickle << 10;
        QTest::newRow("wrong checksum") << Fault::WrongChecksum << 0;
        QTest::newRow("stray byte") << Fault::StrayByte << 0;
        QTest::newRow("wrong length") << Fault::WrongLength << 0;
        QTest::newRow("garbage") << Fault::Garbage << 0;
        QTest::newRow("overlong 2000") << Fault::OverlongReply << 2000;
        QTest::newRow("line gone after 5") << Fault::LineGone << 5;
        QTest::newRow("line gone at once") << Fault::LineGone << 0;
        QTest::newRow("altered data") << Fault::AlteredData << 0;
    }
    void faults() {
        QFETCH(Fault, fault);
        QFETCH(int, value);
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        FaultPlan plan;
        plan.fault = fault;
        plan.delay = std::chrono::milliseconds(value);
        plan.length = static_cast<std::size_t>(value);
        plan.times = 1;
        line.setFault(plan);

        const auto started = std::chrono::steady_clock::now();
        port.send(CommandFrame("A05B"));
        bool hungUp = false;
        switch (fault) {
            case Fault::Silence:
                break;  // the probe below gets the first bytes
            case Fault::LateReply:
            case Fault::Trickle: {
                QCOMPARE(port.readFrame(), kTb05);
                const auto floor =
                    std::chrono::milliseconds(fault == Fault::LateReply ? value : 15 * value);
                QVERIFY(std::chrono::steady_clock::now() - started >= floor);
                break;
            }
            case Fault::WrongChecksum: {
                const QByteArray reply = port.readFrame();
                QCOMPARE(reply.left(13), kTb05.left(13));
                QCOMPARE(reply.size(), 16);
                QVERIFY(!IsValidReply(reply.toStdString()));
                break;
            }
            case Fault::StrayByte: {
                const QByteArray reply = port.readFrame();
                QVERIFY(reply.size() == 17 && reply[0] != '\n');
                QCOMPARE(reply.mid(1), kTb05);
                break;
            }
            case Fault::WrongLength:
                QCOMPARE(port.readFrame(), QByteArray("\nA05BTB000422C\r"));
                break;
            case Fault::Garbage: {
                const QByteArray bytes = port.readBytes(16);
                QCOMPARE(bytes.size(), 16);
                QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
                break;
            }
            case Fault::OverlongReply: {
                const QByteArray reply = port.readFrame();
                QCOMPARE(reply.size(), 2008);
                QVERIFY(reply.startsWith("\nA05BTB000427TB000427"));
                QVERIFY(IsValidReply(reply.toStdString()));
                break;
            }
            case Fault::LineGone: {
                const QByteArray bytes =
                    port.readUntil([](const QByteArray&) { return false; }, &hungUp);
                QVERIFY(hungUp);
                QCOMPARE(bytes, kTb05.left(value));
                return;  // nothing more to say on a line that is gone
            }
            case Fault::AlteredData:
                QCOMPARE(port.readFrame(), QByteArray("\nA05BTB0004201C\r"));
                break;
            case Fault::None:
                break;
        }
        // The fault was for one reply only.
        QCOMPARE(port.exchange("A05B"), kTb05);
    }

    void faultUntilCleared() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5, "TB000427"));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        line.setFault({Fault::StrayByte, {}, 0, -1});
        for (int round = 0; round < 3; ++round) {
            QCOMPARE(port.exchange("A05B"), QByteArray("\x00", 1) + kTb05);
        }
        line.clearFault();
        QCOMPARE(port.exchange("A05B"), kTb05);
    }

    void hangUp() {
        SimLine line;
        line.addReader(Reader(ReaderKind::PX10, 5));
        QVERIFY(line.start());
        Port port(line.devicePath(), 19200);
        line.hangUp();
        pollfd p{port.fd(), POLLIN, 0};
        QCOMPARE(::poll(&p, 1, kGiveUpMs), 1);
        QVERIFY(p.revents & POLLHUP);
        char byte;
        const ssize_t got = ::read(port.fd(), &byte, 1);
        QVERIFY(got == 0 || (got < 0 && errno == EIO));
        QCOMPARE(line.currentBaud(), 0);
    }

    void programOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");  // a word the message must hold; empty: accepted
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("lastReader");  // type:ID:serial:settings:version
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("times");
        const QString dflt = "PX10:1:12345678:19200,e,8,1:V2.31-0542 PX10 ";
        QTest::newRow("none") << QStringList{} << "" << 1 << dflt << Fault::None << -1;
        QTest::newRow("full reader")
            << QStringList{"--reader", "px40:07:ABCD1234:9600,n,8,1", "--version", "V1.05 PX"} << ""
            << 1 << "PX40:7:ABCD1234:9600,n,8,1:V1.05 PX" << Fault::None << -1;
        QTest::newRow("two lines")
            << QStringList{"--reader=PX50:3", "--new-line", "--fault", "late:300:2"} << "" << 2
            << dflt << Fault::LateReply << 2;
        QTest::newRow("line gone, no length")
            << QStringList{"--fault", "line-gone"} << "" << 1 << dflt << Fault::LineGone << -1;
        QTest::newRow("unknown type")
            << QStringList{"--reader", "PX99"} << "PX99" << 0 << "" << Fault::None << -1;
        QTest::newRow("ID 100") << QStringList{"--reader", "PX10:100"} << "100" << 0 << ""
                                << Fault::None << -1;
        QTest::newRow("short serial")
            << QStringList{"--reader", "PX10:1:1234"} << "1234" << 0 << "" << Fault::None << -1;
        QTest::newRow("bad parity") << QStringList{"--reader", "PX10:1::19200,x,8,1"} << "19200,x"
                                    << 0 << "" << Fault::None << -1;
        QTest::newRow("late without delay")
            << QStringList{"--fault", "late"} << "late" << 0 << "" << Fault::None << -1;
        QTest::newRow("silence with value")
            << QStringList{"--fault", "silence:5"} << "silence" << 0 << "" << Fault::None << -1;
        QTest::newRow("version first")
            << QStringList{"--version", "X"} << "--reader" << 0 << "" << Fault::None << -1;
        QTest::newRow("missing value")
            << QStringList{"--reader"} << "--reader" << 0 << "" << Fault::None << -1;
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << "--bogus" << 0 << "" << Fault::None << -1;
    }
    void programOptions() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QFETCH(int, lines);
        QFETCH(QString, lastReader);
        QFETCH(Fault, fault);
        QFETCH(int, times);
        std::vector<std::string> list;
        for (const auto& arg : args) list.push_back(arg.toStdString());
        const auto parsed = ParseProgramOptions(list);
        if (!error.isEmpty()) {
            QVERIFY(!parsed.options);
            QVERIFY2(QString::fromStdString(parsed.error).contains(error), parsed.error.c_str());
            std::ostringstream out, err;
            const std::atomic<bool> stop{true};
            QCOMPARE(RunProgram(list, out, err, stop), 2);
            QVERIFY(out.str().empty() && !err.str().empty());
            return;
        }
        QVERIFY2(parsed.options, parsed.error.c_str());
        QCOMPARE(int(parsed.options->lines.size()), lines);
        const ReaderConfig& r = parsed.options->lines.back().readers.back();
        QCOMPARE(QString::fromStdString(ReaderKindName(r.kind) + ":" + std::to_string(r.id) + ":" +
                                        r.serial + ":" + r.lineSettings + ":" + r.version),
                 lastReader);
        QCOMPARE(parsed.options->lines.back().fault.fault, fault);
        QCOMPARE(parsed.options->lines.back().fault.times, times);
    }

    // Cards and keys held at a reader, for trying the card reading without hardware.
    void programCardOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");  // a word the message must hold; empty: accepted
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("pollData");  // "-": none
        QTest::newRow("8 digits") << QStringList{"--reader", "PX10", "--card", "00A0B0C0"} << ""
                                  << "00A0B0C0"
                                  << ""
                                  << "-";
        QTest::newRow("16 digits in lower case and keys")
            << QStringList{"--reader", "PX40", "--card=0123456789abcdef:12#"} << ""
            << "0123456789ABCDEF"
            << "12#"
            << "-";
        QTest::newRow("keys, then a card without keys")
            << QStringList{"--reader", "PX40", "--keys", "99", "--card", "00A0B0C0"} << ""
            << "00A0B0C0"
            << "99"
            << "-";
        QTest::newRow("poll data") << QStringList{"--reader", "PX10", "--poll-data", "0K"} << ""
                                   << ""
                                   << ""
                                   << "0K";
        QTest::newRow("empty poll data") << QStringList{"--reader", "PX10", "--poll-data="} << ""
                                         << ""
                                         << ""
                                         << "";
        QTest::newRow("card first") << QStringList{"--card", "00A0B0C0"} << "--reader"
                                    << ""
                                    << ""
                                    << "-";
        QTest::newRow("10 digits")
            << QStringList{"--reader", "PX10", "--card", "00A0B0C0D0"} << "00A0B0C0D0"
            << ""
            << ""
            << "-";
        QTest::newRow("not hexadecimal")
            << QStringList{"--reader", "PX10", "--card", "00A0B0CG"} << "00A0B0CG"
            << ""
            << ""
            << "-";
        QTest::newRow("empty keys after colon")
            << QStringList{"--reader", "PX10", "--card", "00A0B0C0:"} << "keys"
            << ""
            << ""
            << "-";
        QTest::newRow("empty keys") << QStringList{"--reader", "PX40", "--keys="} << "keys"
                                    << ""
                                    << ""
                                    << "-";
    }
    void programCardOptions() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QFETCH(QString, card);
        QFETCH(QString, keys);
        QFETCH(QString, pollData);
        std::vector<std::string> list;
        for (const auto& arg : args) list.push_back(arg.toStdString());
        const auto parsed = ParseProgramOptions(list);
        if (!error.isEmpty()) {
            QVERIFY(!parsed.options);
            QVERIFY2(QString::fromStdString(parsed.error).contains(error), parsed.error.c_str());
            return;
        }
        QVERIFY2(parsed.options, parsed.error.c_str());
        const ReaderConfig& r = parsed.options->lines.back().readers.back();
        QCOMPARE(QString::fromStdString(r.cardInField), card);
        QCOMPARE(QString::fromStdString(r.keysInField), keys);
        QCOMPARE(r.pollDataOverride ? QString::fromStdString(*r.pollDataOverride) : QString("-"),
                 pollData);
    }

    // Lines typed at --interactive: each presented once to every reader.
    void consoleLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("plain");   // reader 01's reply to F; empty: line refused
        QTest::addColumn<QByteArray>("twoWay");  // reader 02's reply to I
        QTest::newRow("card") << QByteArray("card 00a0b0c0") << QByteArray("\nA01F000A0B0C04C\r")
                              << QByteArray("\nA02I00D1069B42E803A79C7C\r");
        QTest::newRow("keys, CR LF") << QByteArray("keys #7\r") << QByteArray("\nA01F0K#763\r")
                                     << QByteArray("\nA02I0K#76F\r");
        QTest::newRow("data") << QByteArray("data 0K") << QByteArray("\nA01F0K77\r")
                              << QByteArray("\nA02I0K7B\r");
        QTest::newRow("short card") << QByteArray("card 00A0") << QByteArray() << QByteArray();
        QTest::newRow("keys without keys") << QByteArray("keys") << QByteArray() << QByteArray();
        QTest::newRow("unknown word") << QByteArray("tap 00A0B0C0") << QByteArray() << QByteArray();
    }
    void consoleLines() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, twoWay);
        SimReader one(Reader(ReaderKind::PX10, 1));
        SimReader two(Reader(ReaderKind::PX10, 2));
        std::string error;
        const bool taken = ApplyConsoleLine(line.toStdString(), {&one, &two}, error);
        QCOMPARE(taken, !plain.isEmpty());
        QCOMPARE(error.empty(), taken);
        if (!taken) {
            QCOMPARE(one.presentedWaiting() + two.presentedWaiting(), std::size_t(0));
            return;
        }
        QCOMPARE(QByteArray::fromStdString(*one.answer("A01F")), plain);
        QCOMPARE(QByteArray::fromStdString(*two.answer("A02I")), twoWay);
    }

    void programHelpNamesEveryOption() {
        std::ostringstream out, err;
        const std::atomic<bool> stop{true};
        QCOMPARE(RunProgram({"--help"}, out, err, stop), 0);
        for (const char* option :
             {"--reader", "--version", "--card",         "--keys",     "--poll-data",  "--new-line",
              "--fault",  "--link",    "--no-pacing",    "--quiet",    "--help",       "silence",
              "late",     "trickle",   "wrong-checksum", "stray-byte", "wrong-length", "garbage",
              "overlong", "line-gone", "altered-data"}) {
            QVERIFY2(out.str().find(option) != std::string::npos, option);
        }
    }

    // The real program: device paths first, a working reader behind the first, links that go.
    void program_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("poll");  // the first line's reply to A01F
        QTest::newRow("no options") << QStringList{} << 1 << QByteArray("\nA01F0C\r");
        QTest::newRow("two lines, linked")
            << QStringList{"--quiet", "--new-line", "--reader", "PX40"} << 2
            << QByteArray("\nA01F0C\r");
        QTest::newRow("card held") << QStringList{"--reader", "PX10", "--card", "00A0B0C0"} << 1
                                   << QByteArray("\nA01F000A0B0C04C\r");
        QTest::newRow("interactive")
            << QStringList{"--interactive", "--quiet"} << 1 << QByteArray("\nA01F0C\r");
    }
    void program() {
        QFETCH(QStringList, args);
        QFETCH(int, lines);
        QFETCH(QByteArray, poll);
        const QString binary = QStringLiteral(TAGBENCH_SIM_BINARY);
        QVERIFY2(QFileInfo(binary).isExecutable(), "build the tagbench-sim target first");
        QTemporaryDir dir;
        const QString link = dir.filePath("reader");
        args << "--link" << link;

        QProcess sim;
        sim.start(binary, args);
        QStringList paths;
        while (paths.size() < lines && sim.waitForReadyRead(kGiveUpMs)) {
            while (sim.canReadLine()) paths << QString::fromLocal8Bit(sim.readLine()).trimmed();
        }
        QCOMPARE(paths.size(), lines);
        for (const auto& path : paths) QVERIFY2(path.startsWith("/dev/pts/"), qPrintable(path));
        QCOMPARE(QFileInfo(link).symLinkTarget(), paths.back());

        Port port(paths.front().toStdString(), 19200);
        QCOMPARE(port.exchange("A00B"), QByteArray("\nA01B12345678"
                                                   "00\r"));
        QCOMPARE(port.exchange("A01F"), poll);
        if (args.contains("--interactive")) {
            sim.write("card 00A0B0C0\n");
            QVERIFY(sim.waitForBytesWritten(kGiveUpMs));
            const QByteArray card = "\nA01F000A0B0C04C\r";
            // The typed line is taken between the program's naps: poll until it shows.
            QByteArray reply;
            for (int round = 0; round < 1000 && reply != card; ++round)
                reply = port.exchange("A01F");
            QCOMPARE(reply, card);
            QCOMPARE(port.exchange("A01F"), QByteArray("\nA01F0C\r"));
        }

        sim.terminate();
        QVERIFY(sim.waitForFinished(kGiveUpMs));
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
