// The settings store: typed reads over a machine-wide file and a per-user overlay, damaged
// files, where writes land, and what a write leaves on disk.
#include <sys/stat.h>
#include <sys/types.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/SettingsStore.h"

using platform::SettingsStore;
using platform::StoreStatus;
using platform::StoreTarget;

Q_DECLARE_METATYPE(platform::StoreStatus)
Q_DECLARE_METATYPE(platform::StoreTarget)

namespace {

const QString kSection = SettingsStore::kProgramSection;

void WriteFile(const QString& path, const QByteArray& content) {
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString machinePath_;
    QString overlayPath_;
    SettingsStore store() const { return SettingsStore(machinePath_, overlayPath_); }

private slots:
    void initTestCase() {
        // Nothing here may reach the real /etc/xdg or ~/.config, even by accident.
        static QTemporaryDir guard;
        qputenv("TAGBENCH_SYSCONFDIR", (guard.path() + "/etc").toUtf8());
        qputenv("XDG_CONFIG_HOME", (guard.path() + "/home").toUtf8());
    }

    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        machinePath_ = dir_->filePath("etc/KORVA/TagBench.conf");
        overlayPath_ = dir_->filePath("home/KORVA/TagBench.conf");
    }

    void readInt_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<StoreStatus>("status");
        QTest::addColumn<int>("value");

        const QByteArray header = "[TagBench]\n";
        QTest::newRow("integer") << header + "Type=3\n"
                                 << "Type" << StoreStatus::Ok << 3;
        QTest::newRow("blanks around key and value") << header + "  Type =\t7 \n"
                                                     << "Type" << StoreStatus::Ok << 7;
        QTest::newRow("CRLF lines and comments")
            << QByteArray("# machine settings\r\n; more\r\n\r\n[TagBench]\r\nType=5\r\n") << "Type"
            << StoreStatus::Ok << 5;
        QTest::newRow("text where an integer belongs")
            << header + "ScanCommNo=COM3\n"
            << "ScanCommNo" << StoreStatus::WrongType << 0;
        QTest::newRow("out of range") << header + "ScanCommNo=99999999999\n"
                                      << "ScanCommNo" << StoreStatus::WrongType << 0;
        QTest::newRow("one past 32-bit") << header + "Type=2147483648\n"
                                         << "Type" << StoreStatus::WrongType << 0;
        QTest::newRow("hexadecimal") << header + "Type=0x10\n"
                                     << "Type" << StoreStatus::WrongType << 0;
        QTest::newRow("empty value") << header + "Type=\n"
                                     << "Type" << StoreStatus::WrongType << 0;
        QTest::newRow("absent key") << header + "Type=3\n"
                                    << "ScanCommNo" << StoreStatus::Missing << 0;
        QTest::newRow("other section")
            << QByteArray("[Other]\nType=3\n") << "Type" << StoreStatus::Missing << 0;

        // Damaged files: what comes before the damage still reads.
        const QByteArray cutOff = header + "Type=3\nScanCommNo=12";
        QTest::newRow("cut off: last line") << cutOff << "ScanCommNo" << StoreStatus::Missing << 0;
        QTest::newRow("cut off: earlier line") << cutOff << "Type" << StoreStatus::Ok << 3;
        const QByteArray garbage = header + "Type=3\nthis is not a line\nScanCommNo=4\n";
        QTest::newRow("garbage: after it") << garbage << "ScanCommNo" << StoreStatus::Missing << 0;
        QTest::newRow("garbage: before it") << garbage << "Type" << StoreStatus::Ok << 3;
        QTest::newRow("garbage: NUL tail after a crash")
            << header + "Type=3\n" + QByteArray(64, '\0') + "\nScanCommNo=4\n"
            << "ScanCommNo" << StoreStatus::Missing << 0;
        QTest::newRow("garbage: broken UTF-8") << header + "LanguageFlag=\xff\xfe\nType=3\n"
                                               << "Type" << StoreStatus::Missing << 0;
        QTest::newRow("garbage: unclosed section")
            << QByteArray("[TagBench\nType=3\n") << "Type" << StoreStatus::Missing << 0;
    }

    void readInt() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(StoreStatus, status);
        QFETCH(int, value);

        WriteFile(machinePath_, content);
        const platform::StoreInt got = store().readInt(kSection, key);
        QCOMPARE(got.status, status);
        if (status == StoreStatus::Ok) QCOMPARE(got.value, value);
    }

    void unusualPaths_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<StoreStatus>("status");
        QTest::newRow("no file") << "none" << StoreStatus::Missing;
        QTest::newRow("directory instead of file") << "directory" << StoreStatus::Unreadable;
        QTest::newRow("FIFO instead of file") << "fifo" << StoreStatus::Unreadable;
        QTest::newRow("parent is a file") << "parent file" << StoreStatus::Missing;
    }

    // None of these may throw or block; the reads must tell "nothing there" from "could not
    // look".
    void unusualPaths() {
        QFETCH(QString, kind);
        QFETCH(StoreStatus, status);

        QString path = machinePath_;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (kind == "parent file") {
            WriteFile(dir_->filePath("plain"), "x\n");
            path = dir_->filePath("plain/TagBench.conf");
        }
        const SettingsStore s(path, overlayPath_);
        QCOMPARE(s.readInt(kSection, "Type").status, status);
        QCOMPARE(s.readString(kSection, "LanguageFlag").status, status);
        QVERIFY(s.keys(kSection).isEmpty());
    }

    void overlayPreferredPerValue() {
        WriteFile(machinePath_,
                  "[TagBench]\nType=1\nScanCommNo=4\nScanBaudRateNo=5\n"
                  "LanguageFlag=English\n");
        WriteFile(overlayPath_, "[TagBench]\nType=2\nScanBaudRateNo=x\nLanguageFlag=ChineseGB\n");
        const SettingsStore s = store();
        QCOMPARE(s.readInt(kSection, "Type").value, 2);
        QCOMPARE(s.readInt(kSection, "ScanCommNo").value, 4);  // only the machine file has it
        QCOMPARE(s.readString(kSection, "LanguageFlag").value, QString("ChineseGB"));
        // The overlay's value is the one that counts, even when it is of the wrong type.
        QCOMPARE(s.readInt(kSection, "ScanBaudRateNo").status, StoreStatus::WrongType);
        QCOMPARE(s.keys(kSection).size(), 4);
    }

    void unreadableOverlayFallsBackToMachine() {
        WriteFile(machinePath_, "[TagBench]\nType=1\n");
        QVERIFY(QDir().mkpath(overlayPath_));
        const SettingsStore s = store();
        QCOMPARE(s.readInt(kSection, "Type").value, 1);
        QCOMPARE(s.readInt(kSection, "ScanCommNo").status, StoreStatus::Unreadable);
    }

    // SaveSettings at the first start: the file and its folders appear, whole, in write order,
    // and readable for the users who run the program even when root wrote it.
    void firstSaveWritesWholeFile() {
        const mode_t oldMask = ::umask(022);
        const StoreTarget target = store().write({{kSection, "Type", 1},
                                                  {kSection, "ScanCommNo", 12},
                                                  {kSection, "ScanBaudRateNo", 5},
                                                  {kSection, "ScanBaudRate", "19200,e,8,1"}});
        ::umask(oldMask);
        QCOMPARE(target, StoreTarget::MachineWide);
        QCOMPARE(ReadFile(machinePath_),
                 QByteArray("[TagBench]\nType=1\nScanCommNo=12\n"
                            "ScanBaudRateNo=5\nScanBaudRate=19200,e,8,1\n"));
        QVERIFY(QFileInfo(machinePath_).permissions().testFlag(QFileDevice::ReadOther));
        QVERIFY(!QFileInfo::exists(overlayPath_));
    }

    void saveAfterDamageKeepsReadableValues_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("cut off") << QByteArray("[TagBench]\nType=3\nScanCommNo=1")
                                 << QByteArray("[TagBench]\nType=3\nLanguageFlag=ChineseGB\n");
        QTest::newRow("garbage mid-file")
            << QByteArray("[TagBench]\nType=3\n\x01\x02garbage\nScanCommNo=4\n")
            << QByteArray("[TagBench]\nType=3\nLanguageFlag=ChineseGB\n");
        QTest::newRow("other sections and top-level values survive")
            << QByteArray(
                   "Top=1\n[PortMap]\nCOM1=/dev/ttyS0\n\n[TagBench]\n"
                   "LanguageFlag=English\nType=3\n")
            << QByteArray(
                   "Top=1\n\n[PortMap]\nCOM1=/dev/ttyS0\n\n[TagBench]\n"
                   "LanguageFlag=ChineseGB\nType=3\n");
    }

    void saveAfterDamageKeepsReadableValues() {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, expected);
        WriteFile(machinePath_, content);
        SettingsStore s = store();
        QCOMPARE(s.writeString(kSection, "LanguageFlag", "ChineseGB"), StoreTarget::MachineWide);
        QCOMPARE(ReadFile(machinePath_), expected);
    }

    void writeFallsBackToOverlay_data() {
        QTest::addColumn<bool>("folderBlocked");
        // An ordinary user cannot write the machine-wide file; here its folder cannot be made,
        // because a plain file stands in the way, which holds for root as well.
        QTest::newRow("machine file cannot be written") << true;
        // A machine-wide "file" that cannot be read may hold values we cannot see: left alone.
        QTest::newRow("machine file is a directory") << false;
    }

    void writeFallsBackToOverlay() {
        QFETCH(bool, folderBlocked);
        QString machine = machinePath_;
        if (folderBlocked) {
            WriteFile(dir_->filePath("etc-file"), "not a folder\n");
            machine = dir_->filePath("etc-file/KORVA/TagBench.conf");
        } else {
            QVERIFY(QDir().mkpath(machine));
        }
        WriteFile(overlayPath_, "[TagBench]\nLanguageFlag=ChineseBIG5\n");
        SettingsStore s(machine, overlayPath_);

        QCOMPARE(s.writeInt(kSection, "Type", 4), StoreTarget::UserOverlay);
        QCOMPARE(s.writeInt(kSection, "ScanCommNo", 7), StoreTarget::UserOverlay);
        QCOMPARE(ReadFile(overlayPath_),
                 QByteArray("[TagBench]\nLanguageFlag=ChineseBIG5\nType=4\nScanCommNo=7\n"));
        QCOMPARE(s.readInt(kSection, "Type").value, 4);
    }

    // Once the machine-wide file takes a value, an older copy in the overlay must not hide it.
    void machineWriteRetiresOverlayCopy() {
        WriteFile(overlayPath_, "[TagBench]\nType=2\nLanguageFlag=ChineseGB\n");
        SettingsStore s = store();
        QCOMPARE(s.writeInt(kSection, "Type", 5), StoreTarget::MachineWide);
        QCOMPARE(s.readInt(kSection, "Type").value, 5);
        QCOMPARE(ReadFile(overlayPath_), QByteArray("[TagBench]\nLanguageFlag=ChineseGB\n"));
    }

    void stringRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("line settings") << "19200,e,8,1";
        QTest::newRow("empty") << "";
        QTest::newRow("equals signs") << "a=b==c=";
        QTest::newRow("blanks at the ends") << "  two  ";
        QTest::newRow("backslashes") << "C:\\temp\\";
        QTest::newRow("text that looks escaped") << "\\s\\n\\x41";
        QTest::newRow("line breaks") << "one\ntwo\r\nthree\r";
        QTest::newRow("control characters") << QString("a") + QChar(u'\x01') + QChar(u'\0') + "z";
        QTest::newRow("non-ASCII") << QString::fromUtf8("ChineseGB 简体中文 繁體 é");
        QTest::newRow("ideographic spaces at the ends") << QString::fromUtf8("\u3000中\u3000");
        QTest::newRow("outside the BMP") << QString::fromUtf8("\U0001F511 key");
    }

    // Through the file and back, with a neighbour after it: a value that leaked a line break
    // or an unescaped blank would damage the neighbour or itself.
    void stringRoundTrip() {
        QFETCH(QString, text);
        SettingsStore s = store();
        QCOMPARE(s.write({{kSection, "Value", text}, {kSection, "After", 1}}),
                 StoreTarget::MachineWide);
        const platform::StoreString got = s.readString(kSection, "Value");
        QCOMPARE(got.status, StoreStatus::Ok);
        QCOMPARE(got.value, text);
        QCOMPARE(s.readInt(kSection, "After").value, 1);
    }

    void locationFromEnvironment() {
        const QByteArray sysconf = qgetenv("TAGBENCH_SYSCONFDIR");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        const SettingsStore set = SettingsStore::fromEnvironment();
        QCOMPARE(set.machinePath(), QString(sysconf + "/KORVA/TagBench.conf"));
        QCOMPARE(set.overlayPath(), QString(config + "/KORVA/TagBench.conf"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
