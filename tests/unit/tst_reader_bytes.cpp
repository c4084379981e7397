// Through actions::Perform on the scripted channel: a text the code page cannot carry is refused
// before the port opens; template parts go round, edit boxes and a file included, byte for byte.
#include <QTemporaryDir>
#include <QtTest>

#include "CommandRig.h"
#include "actions/Requests.h"
#include "actions/TemplateFiles.h"
#include "platform/CodePage.h"

namespace fp = commands::fingerprint;

namespace {

// The procedure with nothing to show, for a reader linked as 01 on the rig's COM1.
struct RigHost : actions::Host {
    RigHost(CommandRig& onRig, char startCharacter) : rig(onRig), start(startCharacter) {}
    void busy(bool) override {}
    bool linked(const actions::ActionInfo&) override { return true; }
    void started(const actions::ActionInfo&) override {}
    std::optional<commands::Session> open(const actions::ActionInfo& action) override {
        if (!rig.open()) return std::nullopt;
        return commands::Session{rig.link, rig.pacer,
                                 std::string(1, start) + (action.addressed ? "01" : "")};
    }
    void close(const actions::ActionInfo&) override { rig.close(); }
    void finished(const actions::Outcome&) override {}
    CommandRig& rig;
    char start;
};

std::array<actions::TypedText, fp::kTemplateParts> Shown(const fp::TemplateParts& parts,
                                                         int language) {
    std::array<actions::TypedText, fp::kTemplateParts> shown;
    for (std::size_t i = 0; i < parts.size(); ++i)
        shown[i] = {platform::BytesAsText(parts[i], language), language};
    return shown;
}

}  // namespace

class TestReaderBytes : public QObject {
    Q_OBJECT
private slots:
    void unsendableTextsAreRefused_data();
    void unsendableTextsAreRefused();
    void templateBytesRoundTrip_data();
    void templateBytesRoundTrip();
    void olderTemplateFiles();
};

void TestReaderBytes::unsendableTextsAreRefused_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");  // empty: the text goes out
    const QString cannot = "Cannot send \"%1\" (U+%2) in code page %3";
    QTest::newRow("1252 title") << "title" << 0 << "Café €5" << QString();
    QTest::newRow("1252 test") << "send" << 0 << "V读" << cannot.arg("读", "8BFB", "Windows-1252");
    QTest::newRow("GBK test") << "send" << 1 << "V©" << cannot.arg("©", "00A9", "GBK");
    QTest::newRow("Big5 ID") << "finger-id" << 2 << "0011\\xA4\\x40445566" << QString();
    QTest::newRow("Big5 ID, 读") << "finger-id" << 2 << "00读" << cannot.arg("读", "8BFB", "Big5");
    QTest::newRow("template, TAB")
        << "template" << 0 << "A\\x09B"
        << "Template part 1 holds a TAB or CR, which would split the frame.";
}

void TestReaderBytes::unsendableTextsAreRefused() {
    QFETCH(QString, action);
    QFETCH(int, language);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    CommandRig rig;
    const bool display = action == "title";
    rig.addReader(display ? tbsim::ReaderKind::PX50 : tbsim::ReaderKind::PX60, 1);
    RigHost host(rig, display ? 'J' : 'I');
    const actions::TypedText typed{text, language};
    std::string reply;
    fp::TemplatePut put = fp::TemplatePut::Failed;
    const actions::Outcome outcome = actions::Perform(
        host, display                 ? actions::Title(commands::display::TitleLine::First, typed)
              : action == "send"      ? actions::CommandTest(typed, reply)
              : action == "finger-id" ? actions::SetFingerId(1, typed)
                                      : actions::PutTemplateShown(1, {typed, typed, typed}, put));
    QCOMPARE(outcome.reason ? outcome.reason->in(text::kEnglish) : QString(), reason);
    QCOMPARE(outcome.ending == actions::Ending::Refused, !reason.isEmpty());
    QCOMPARE(outcome.detail, reason.toStdString());
    QCOMPARE(rig.channel.openAttempts(), reason.isEmpty() ? 1 : 0);
}

// Every byte a part can carry both ways: a reply ends at CR and its text at the first 0 byte;
// a command's TAB would open a new frame (refused above). Parts begin and end with letters, as
// the put trims blanks and control characters at the ends.
void TestReaderBytes::templateBytesRoundTrip_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Windows-1252") << 0;
    QTest::newRow("GBK") << 1;
    QTest::newRow("Big5") << 2;
}

void TestReaderBytes::templateBytesRoundTrip() {
    QFETCH(int, language);
    std::string values;
    for (int byte = 0x01; byte <= 0xFF; ++byte)
        if (byte != '\r' && byte != '\t') values += static_cast<char>(byte);
    const std::string reversed(values.rbegin(), values.rend());
    const fp::TemplateParts original = {"A" + values + "ZZ", "A" + reversed + "ZZ",
                                        "A" + values.substr(100) + values.substr(0, 100) + "ZZ"};
    CommandRig rig;
    tbsim::SimReader* reader = rig.addReader(tbsim::ReaderKind::PX60, 1);
    tbsim::ReaderConfig config = reader->config();
    config.fingerprint.fingerSlots[1].parts = original;
    reader->setConfig(config);
    RigHost host(rig, 'I');
    fp::TemplateGet got;
    QVERIFY(actions::Perform(host, actions::GetTemplate(1, got)).ok());
    // Into the edit boxes and out again, as Save template does.
    fp::TemplateFile file{"000001", {}};
    const auto shown = Shown({*got.parts[0], *got.parts[1], *got.parts[2]}, language);
    for (std::size_t part = 0; part < file.parts.size(); ++part)
        file.parts[part] = platform::BytesFromText(shown[part].text, language).bytes;
    const QTemporaryDir dir;
    QVERIFY(!actions::SaveTemplateFile(dir.filePath("t.fpt"), file));
    // A window of another language loads the same bytes.
    const auto loaded = actions::LoadTemplateFile(dir.filePath("t.fpt"), (language + 1) % 3);
    fp::TemplatePut put = fp::TemplatePut::Failed;
    QVERIFY(actions::Perform(
                host, actions::PutTemplateShown(2, Shown(loaded.file.value().parts, language), put))
                .ok());
    QCOMPARE(reader->config().fingerprint.fingerSlots.at(2).parts, original);
}

// A file written before parts were kept byte for byte holds the window's text (UTF-8), read in
// the code page of the window that loads it.
void TestReaderBytes::olderTemplateFiles() {
    const QTemporaryDir dir;
    QFile file(dir.filePath("old.fpt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "Tag Bench fingerprint template\nfinger=000001\npart1=A\xE6\x8C\x87\\x01\\\\\n"
        "part2=B\npart3=C\n");
    file.close();
    QCOMPARE(actions::LoadTemplateFile(file.fileName(), 1).file.value().parts[0],
             std::string("A\xD6\xB8\x01\\"));
    QCOMPARE(actions::LoadTemplateFile(file.fileName(), 0).problem.in(text::kEnglish),
             QString("Cannot send \"指\" (U+6307) in code page Windows-1252"));
}

QTEST_GUILESS_MAIN(TestReaderBytes)
#include "tst_reader_bytes.moc"
