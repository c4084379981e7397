// Reader profiles through tagbench-cli on simulated readers: a reader configured through the
// actions, saved, applied to another set differently; refused files send nothing.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "commands/ReaderTypes.h"

#include "CliRig.h"

using tbsim::ReaderKind;

namespace {

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void identityOnlyWhenAsked();
    void refusedFileSendsNothing_data();
    void refusedFileSendsNothing();
};

void TestProfile::roundTrip_data() {
    QTest::addColumn<int>("type");
    for (const auto& info : commands::ReaderTypes())
        QTest::newRow(info.name) << static_cast<int>(info.type);
}

// Reader A on COM1 set through the actions, reader B on COM2 as delivered.
void TestProfile::roundTrip() {
    QFETCH(int, type);
    const auto& info = commands::Info(static_cast<commands::ReaderType>(type));
    CliRig rig;
    rig.addLine();
    rig.addReader(static_cast<ReaderKind>(type), 1, 1, "SERIAL0A");
    rig.addReader(static_cast<ReaderKind>(type), 2, 2, "SERIAL0B");
    const QStringList a = {"--port", "COM1", "--id", "1", "--type", info.name};
    const QStringList b = {"--port", "COM2", "--id", "2", "--type", info.name};
    QList<QStringList> setUp = {{"set-interface", "rs485", "34", "32"}};
    if (info.readOut.cardType) setUp << QStringList{"set-card-type", "KORVA"};
    if (info.readOut.keypad)
        setUp << QStringList{"set-key-number", "4"} << QStringList{"set-key-parity", "with"};
    if (info.readOut.keyStatus) setUp << QStringList{"set-key-status", "2", "15"};
    if (info.readOut.cardIdLocation)
        setUp << QStringList{"set-id-location", "2", "1", "3", "--key", "B", "--key-error", "beep"};
    for (const QStringList& command : setUp) QCOMPARE(rig.run(command + a).exit, 0);

    QTemporaryDir dir;
    const QString fileA = dir.filePath("a.tbprofile"), fileB = dir.filePath("b.tbprofile");
    QCOMPARE(rig.run(QStringList{"profile", "save", fileA} + a).exit, 0);
    QVERIFY(!ReadAll(fileA).contains("SERIAL0A"));
    QVERIFY(!ReadAll(fileA).contains("set-id ="));
    rig.heard(2);
    const auto dry = rig.run(QStringList{"profile", "apply", fileA, "--dry-run"} + b);
    QCOMPARE(dry.exit, 0);
    QVERIFY(dry.out.contains("set-interface") &&
            dry.out.contains("@02") == (info.startCharacter == '@'));
    const QString readOut = rig.heard(2);  // a dry run only reads the reader out

    const auto applied = rig.run(QStringList{"profile", "apply", fileA} + b);
    QCOMPARE(applied.exit, 0);
    QVERIFY2(applied.out.contains(" changed") && !applied.out.contains("failed"),
             qPrintable(applied.out));
    QCOMPARE(rig.run(QStringList{"profile", "save", fileB} + b).exit, 0);
    QCOMPARE(ReadAll(fileB), ReadAll(fileA));

    // Again: the read-out, nothing to change, the read-out once more; no setting command.
    rig.heard(2);
    QCOMPARE(rig.run(QStringList{"profile", "apply", fileA} + b).exit, 0);
    QCOMPARE(rig.heard(2), readOut + " " + readOut);

    // A plan row's profile column gives the same, and lists what it changed.
    if (info.type != commands::ReaderType::PX40) return;
    QCOMPARE(rig.run({"set-interface", "wiegand", "26", "24", "--port", "COM2", "--id", "2",
                      "--type", info.name})
                 .exit,
             0);
    WriteAll(dir.filePath("plan.csv"),
             QString("port,id,type,profile\nCOM2,2,PX40,%1\n").arg(fileA).toUtf8());
    const auto plan = rig.run({"apply", dir.filePath("plan.csv")});
    QCOMPARE(plan.exit, 0);
    QVERIFY2(plan.out.contains("profile changed: set-interface"), qPrintable(plan.out));
}

// The ID goes into the file, and to another reader, only with --with-identity.
void TestProfile::identityOnlyWhenAsked() {
    CliRig rig;
    rig.addLine();
    rig.addReader(ReaderKind::PX10, 7, 1, "SERIAL0A");
    rig.addReader(ReaderKind::PX10, 2, 2, "SERIAL0B");
    QTemporaryDir dir;
    const QString file = dir.filePath("p");
    QCOMPARE(rig.run({"profile", "save", file, "--port", "COM1", "--with-identity"}).exit, 0);
    QVERIFY(ReadAll(file).contains("set-id = 7\nset-line = 19200,e,8,1\n"));
    const QStringList b = {"profile", "apply", file, "--port", "COM2", "--id", "2"};
    QCOMPARE(rig.run(b).exit, 0);
    QVERIFY(!rig.heard(2).contains("A02C"));
    const auto moved = rig.run(b + QStringList{"--with-identity"});
    QCOMPARE(moved.exit, 0);
    QVERIFY2(moved.out.contains("set-id") && moved.out.contains("changed"), qPrintable(moved.out));
    QCOMPARE(rig.run({"info", "--port", "COM2", "--id", "7"}).exit, 0);
}

void TestProfile::refusedFileSendsNothing_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("why");
    const QByteArray head = "[profile]\nformat = 1\ntype = PX40\n[settings]\n";
    QTest::newRow("damaged") << head + "set-interface RS485\n"
                             << "damaged at line 5";
    QTest::newRow("cut short") << QByteArray("[profile]\nformat = 1\n") << "damaged at line 2";
    QTest::newRow("foreign type") << QByteArray("[profile]\nformat = 1\ntype = PX50\n")
                                  << "for a PX50 reader, the linked reader is a PX40";
    QTest::newRow("newer format") << QByteArray("[profile]\nformat = 2\ntype = PX40\n")
                                  << "of format 2";
    QTest::newRow("out of range") << head + "set-key-number = 17\n"
                                  << "set-key-number";
    QTest::newRow("not of the type") << head + "set-id-location = 1, 0, 0, A, LED\n"
                                     << "does not have: set-id-location";
    QTest::newRow("identity elsewhere") << head + "set-id = 5\n"
                                        << "does not have: set-id";
}

void TestProfile::refusedFileSendsNothing() {
    QFETCH(QByteArray, file);
    QFETCH(QString, why);
    CliRig rig;
    rig.addReader(ReaderKind::PX40, 1);
    QTemporaryDir dir;
    WriteAll(dir.filePath("p"), file);
    for (const char* verb : {"apply", "diff"}) {
        const auto run = rig.run({"profile", verb, dir.filePath("p"), "--port", "COM1", "--id", "1",
                                  "--type", "PX40", "--with-identity"});
        QCOMPARE(run.exit, 2);
        QVERIFY2(run.err.contains(why), qPrintable(run.err));
        QCOMPARE(rig.heard(), QString());
    }
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
