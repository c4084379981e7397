// The serial-port map (COM numbers that survive runs, extra entries from the store and the
// environment) and the port box built from it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <unistd.h>

#include "link/PortList.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"

using platform::PortMap;
using platform::SerialDevice;
using platform::SettingsStore;

namespace {

const SerialDevice kFtdi{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0"};
const SerialDevice kCh340{"/dev/ttyUSB1", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0"};
const SerialDevice kUart{"/dev/ttyS0", "/dev/ttyS0"};

// "COM1=/dev/ttyUSB0 COM3=/dev/pts/4": the whole map in one comparable text.
QString Describe(const PortMap& map) {
    QStringList parts;
    for (const platform::PortEntry& e : map.entries()) {
        parts << QString::fromStdString(e.name + "=" + e.devicePath);
    }
    return parts.join(' ');
}

QString Describe(const std::map<int, QString>& ports) {
    QStringList parts;
    for (const auto& [number, path] : ports) parts << QString("%1=%2").arg(number).arg(path);
    return parts.join(' ');
}

void WriteFile(const QString& path, const QByteArray& content) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

std::vector<std::string> Strings(const QStringList& list) {
    std::vector<std::string> result;
    for (const QString& s : list) result.push_back(s.toStdString());
    return result;
}

}  // namespace

class TestPortMap : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SettingsStore> store_;

private slots:
    void initTestCase() {
        static QTemporaryDir guard;
        qputenv("TAGBENCH_SYSCONFDIR", (guard.path() + "/etc").toUtf8());
        qputenv("XDG_CONFIG_HOME", (guard.path() + "/home").toUtf8());
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        store_ = std::make_unique<SettingsStore>(dir_->filePath("etc/KORVA/TagBench.conf"),
                                                 dir_->filePath("home/KORVA/TagBench.conf"));
    }

    // "ports ! left | out": the items taken, then those left out as malformed.
    void parsePortsVariable_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ports");
        QTest::newRow("two items") << "COM5=/dev/pts/7,COM9=/tmp/vport"
                                   << "5=/dev/pts/7 9=/tmp/vport";
        QTest::newRow("blanks around items") << " COM5 = /dev/pts/7 , COM9=/tmp/v "
                                             << "5=/dev/pts/7 9=/tmp/v";
        QTest::newRow("two-digit and large numbers") << "COM12=/a,COM256=/b"
                                                     << "12=/a 256=/b";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("empty items are not malformed") << ",COM1=/a, ," << QString("1=/a");
        QTest::newRow("later item wins") << "COM2=/a,COM2=/b"
                                         << "2=/b";
        QTest::newRow("equals sign in path") << "COM3=/tmp/a=b"
                                             << "3=/tmp/a=b";
        QTest::newRow("malformed: no equals sign or no path") << "COM3,/dev/pts/3,COM6=,COM4=/a"
                                                              << "4=/a ! COM3 | /dev/pts/3 | COM6=";
        QTest::newRow("malformed: names")
            << "COM=/a,COM0=/b,COM05=/c,com5=/d,COMX=/e,COM3x=/f,COM-1=/g,COM99999999999=/h,COM4=/a"
            << "4=/a ! COM=/a | COM0=/b | COM05=/c | com5=/d | COMX=/e | COM3x=/f | COM-1=/g | "
               "COM99999999999=/h";
        QTest::newRow("malformed: URLs that are no network port")
            << "COM20=rfc2217://door,COM21=ftp://door:21,COM22=socket://door:4002"
            << "22=socket://door:4002 ! COM20=rfc2217://door | COM21=ftp://door:21";
    }

    void parsePortsVariable() {
        QFETCH(QString, text);
        QFETCH(QString, ports);
        std::vector<std::string> left;
        QString got = Describe(PortMap::parsePortsVariable(text, &left));
        for (std::size_t i = 0; i < left.size(); ++i)
            got += (i ? " | " : " ! ") + QString::fromStdString(left[i]);
        QCOMPARE(got, ports);
    }

    // A port given by path or URL on the command line: the number that already names it, else
    // the lowest free one, which a number reserved for an unplugged adapter is not.
    void addPort_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("number");
        QTest::newRow("a mapped device by its path") << "/dev/ttyUSB0" << 1;
        QTest::newRow("a mapped device by its stable name") << QString(kFtdi.stableName) << 1;
        QTest::newRow("a mapped URL, written otherwise") << "RFC2217://door:4001/" << 3;
        QTest::newRow("a new URL skips the unplugged adapter's number")
            << "socket://door:4002" << 4;
    }
    void addPort() {
        QFETCH(QString, given);
        QFETCH(int, number);
        WriteFile(store_->machinePath(), "[PortMap]\nCOM2=/dev/serial/by-id/gone\n");
        PortMap map = PortMap::build(*store_, {kFtdi}, "COM3=rfc2217://door:4001");
        QCOMPARE(map.addPort(given.toStdString()), std::optional<int>(number));
        QCOMPARE(map.addPort(given.toStdString()), std::optional<int>(number));  // kept
        QCOMPARE(map.addPort("rfc2217://door"), std::nullopt);
        QCOMPARE(store_->readString(PortMap::kExtraSection, "COM4").value, QString());
    }

    void numbersStayAcrossRuns() {
        const PortMap first = PortMap::build(*store_, {kUart, kFtdi}, {});
        QCOMPARE(Describe(first), QString("COM1=/dev/ttyS0 COM2=/dev/ttyUSB0"));
        QCOMPARE(store_->readString(PortMap::kDeviceSection, "COM2").value, kFtdi.stableName);

        // Next run: the adapter came back under another /dev name, the UART is gone, a new
        // adapter arrived. COM1 stays reserved for the UART.
        const SerialDevice replugged{"/dev/ttyUSB3", kFtdi.stableName};
        const PortMap second = PortMap::build(*store_, {kCh340, replugged}, {});
        QCOMPARE(Describe(second), QString("COM2=/dev/ttyUSB3 COM3=/dev/ttyUSB1"));

        // All three, listed in another order: nothing moves.
        const PortMap third = PortMap::build(*store_, {kCh340, kFtdi, kUart}, {});
        QCOMPARE(Describe(third), QString("COM1=/dev/ttyS0 COM2=/dev/ttyUSB0 COM3=/dev/ttyUSB1"));
    }

    // One run against a prepared store and TAGBENCH_PORTS, with one adapter plugged in.
    void build_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("expected");
        const QByteArray ftdiAtOne = "[PortMap]\nCOM1=" + kFtdi.stableName.toUtf8() + "\n";
        const QString ftdi = "COM1=/dev/ttyUSB0";
        QTest::newRow("empty store") << QByteArray() << "" << ftdi;
        QTest::newRow("lowest free: gap below a taken number")
            << QByteArray("[PortMap]\nCOM1=/dev/serial/by-id/gone\nCOM3=/dev/ttyS9\n") << ""
            << "COM2=/dev/ttyUSB0";
        QTest::newRow("lowest free: store extra holds its number")
            << QByteArray("[ExtraPorts]\nCOM1=/dev/pts/4\n") << ""
            << "COM1=/dev/pts/4 COM2=/dev/ttyUSB0";
        QTest::newRow("lowest free: environment holds its number")
            << QByteArray() << "COM1=/dev/pts/9,COM2=/dev/pts/8"
            << "COM1=/dev/pts/9 COM2=/dev/pts/8 COM3=/dev/ttyUSB0";
        QTest::newRow("malformed stored entries skipped")
            << QByteArray("[PortMap]\nCOM01=/dev/ttyS7\nCOMX=/y\n[ExtraPorts]\nCOM4=\n") << ""
            << ftdi;
        QTest::newRow("environment over store extra")
            << QByteArray("[ExtraPorts]\nCOM5=/dev/pts/1\nCOM6=/dev/pts/2\n") << "COM5=/dev/pts/9"
            << ftdi + " COM5=/dev/pts/9 COM6=/dev/pts/2";
        QTest::newRow("environment over device") << ftdiAtOne << "COM1=/tmp/vport"
                                                 << "COM1=/tmp/vport";
        QTest::newRow("store extra over device") << ftdiAtOne + "[ExtraPorts]\nCOM1=/dev/pts/3\n"
                                                 << ""
                                                 << "COM1=/dev/pts/3";
    }

    void build() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, variable);
        QFETCH(QString, expected);
        WriteFile(store_->machinePath(), stored);
        QCOMPARE(Describe(PortMap::build(*store_, {kFtdi}, variable)), expected);
    }

    // Number order, not text order: COM10 comes after COM9.
    void twoDigitNumbers() {
        WriteFile(store_->machinePath(), "[ExtraPorts]\nCOM10=/dev/pts/10\nCOM9=/dev/pts/9\n");
        const PortMap map = PortMap::build(*store_, {kFtdi}, "COM12=/tmp/v12");
        QCOMPARE(Describe(map), QString("COM1=/dev/ttyUSB0 COM9=/dev/pts/9 COM10=/dev/pts/10 "
                                        "COM12=/tmp/v12"));
        QCOMPARE(map.devicePath(10), std::optional<std::string>("/dev/pts/10"));
        QCOMPARE(map.devicePath(12), std::optional<std::string>("/tmp/v12"));
        QCOMPARE(map.devicePath(2), std::nullopt);
        QCOMPARE(map.devicePath(0), std::nullopt);
    }

    // The numbers still hold for this run when the store cannot take them.
    void unsavableStoreStillMaps() {
        WriteFile(dir_->filePath("blocker"), "x\n");
        SettingsStore blocked(dir_->filePath("blocker/etc.conf"), dir_->filePath("blocker/u.conf"));
        QCOMPARE(Describe(PortMap::build(blocked, {kUart, kFtdi}, {})),
                 QString("COM1=/dev/ttyS0 COM2=/dev/ttyUSB0"));
    }

    // Where each port comes from, as `tagbench-cli ports` tells it.
    void describe() {
        const QString words = dir_->filePath("ttyWords"), bare = dir_->filePath("ttyBare");
        WriteFile(words, {});
        const QString vport = dir_->filePath("vport");
        WriteFile(bare, {});
        WriteFile(vport, {});
        WriteFile(store_->machinePath(),
                  "[ExtraPorts]\nCOM5=" + vport.toUtf8() + "\nCOM6=" + words.toUtf8() + "\n");
        const PortMap map = PortMap::build(*store_, {{words, words, "FT232R, FTDI"}, {bare, bare}},
                                           "COM7=/nonexistent,COM8=rfc2217://door:4001");
        QStringList described;
        for (const auto& p : map.describe({1, 2, 5, 6, 7, 8, 9})) {
            described << QString("%1 %2 %3 %4")
                             .arg(p.number)
                             .arg(QString::fromStdString(p.devicePath).remove(dir_->path()))
                             .arg(QString::fromStdString(p.description))
                             .arg(p.exists);
        }
        QCOMPARE(
            described,
            QStringList({"1 /ttyWords FT232R, FTDI 1", "2 /ttyBare serial device 1",
                         "5 /vport extra port in the settings store 1",
                         "6 /ttyWords FT232R, FTDI 1", "7 /nonexistent TAGBENCH_PORTS (missing) 0",
                         "8 rfc2217://door:4001 TAGBENCH_PORTS 1",
                         "9  no device: the port list when the system reports none 0"}));
    }

    // Two adapters replugged the other way round, one unplugged, one plugged in after start:
    // each COM number follows its adapter without the map being built again.
    void numberFollowsItsAdapter() {
        const QString dev = dir_->filePath("dev");
        for (const char* tty : {"ttyUSB0", "ttyUSB1", "ttyUSB2"}) WriteFile(dev + "/" + tty, {});
        const QString byId = dev + "/serial/by-id/";
        const QString a = byId + "usb-FTDI_FT232R_A-if00-port0";
        const QString b = byId + "usb-FTDI_FT232R_B-if00-port0";
        QVERIFY(QDir().mkpath(byId));
        const auto plug = [](const QString& link, const char* tty) {
            QFile::remove(link);
            QCOMPARE(symlink((std::string("../../") + tty).c_str(), qPrintable(link)), 0);
        };
        const auto at = [&](const char* tty) {
            return std::optional<std::string>(
                QFileInfo(dev + "/" + tty).canonicalFilePath().toStdString());
        };
        plug(a, "ttyUSB0");
        plug(b, "ttyUSB1");
        std::vector<SerialDevice> devices{{dev + "/ttyUSB0", {}}, {dev + "/ttyUSB1", {}}};
        PortMap::nameDevices(devices, dir_->path());
        const PortMap map = PortMap::build(*store_, devices, {});
        QCOMPARE(map.devicePath(1), at("ttyUSB0"));

        plug(a, "ttyUSB1");
        plug(b, "ttyUSB0");
        QCOMPARE(map.devicePath(1), at("ttyUSB1"));
        QCOMPARE(map.devicePath(2), at("ttyUSB0"));

        QVERIFY(QFile::remove(b));  // unplugged: the open fails on the missing link (ENOENT)
        QCOMPARE(map.devicePath(2), std::optional<std::string>(b.toStdString()));

        // The next run starts without B; it comes back under a new name.
        std::vector<SerialDevice> onlyA{{dev + "/ttyUSB1", {}}};
        PortMap::nameDevices(onlyA, dir_->path());
        const PortMap next = PortMap::build(*store_, onlyA, {});
        plug(b, "ttyUSB2");
        QCOMPARE(next.devicePath(2), at("ttyUSB2"));
    }

    void fillPortBox_data() {
        QTest::addColumn<QStringList>("mapNames");
        QTest::addColumn<int>("storedPort");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QStringList sixteen;
        for (int n = 1; n <= 16; ++n) sixteen << QString("COM%1").arg(n);
        QTest::newRow("no ports: COM1 to COM16, first start")
            << QStringList() << 0 << sixteen << "COM0";
        QTest::newRow("map entries in map order, trimmed")
            << QStringList{" COM3", "COM1 ", "COM12"} << 3 << QStringList{"COM3", "COM1", "COM12"}
            << "COM3";
        QTest::newRow("stored port not in the list")
            << QStringList{"COM1"} << 7 << QStringList{"COM1"} << "COM7";
    }

    void fillPortBox() {
        QFETCH(QStringList, mapNames);
        QFETCH(int, storedPort);
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        const tblink::PortBoxFill fill = tblink::FillPortBox(Strings(mapNames), storedPort);
        QCOMPARE(fill.items, Strings(items));
        QCOMPARE(fill.text, text.toStdString());
    }

    void portNumberFromBoxText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");  // -1: none
        QTest::newRow("one digit") << "COM3" << 3;
        QTest::newRow("two digits") << "COM12" << 12;
        QTest::newRow("zero at first start") << "COM0" << 0;
        QTest::newRow("any three characters go") << "XYZ4" << 4;
        QTest::newRow("non-ASCII counts as one character") << QString::fromUtf8("ÇOM5") << 5;
        QTest::newRow("no number") << "COM" << -1;
        QTest::newRow("letters") << "COMX" << -1;
        QTest::newRow("trailing letter") << "COM3x" << -1;
        QTest::newRow("negative") << "COM-1" << -1;
        QTest::newRow("device name") << "ttyUSB0" << -1;
        QTest::newRow("beyond int") << "COM99999999999" << -1;
    }

    void portNumberFromBoxText() {
        QFETCH(QString, text);
        QFETCH(int, number);
        const std::optional<int> got = tblink::PortNumberFromBoxText(text.toStdString());
        QCOMPARE(got.value_or(-1), number);
        QCOMPARE(got.has_value(), number >= 0);
    }
};

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
