// What reaches the reader through actions::Perform on the scripted channel: a text the window's
// code page cannot carry is refused before the port opens, and template parts come back from
// the reader, through the edit boxes' form and a template file, byte for byte.
#include <QTemporaryDir>
#include <QtTest>

#include "CommandRig.h"
#include "actions/Requests.h"
#include "actions/TemplateFiles.h"
#include "platform/CodePage.h"

namespace fp = commands::fingerprint;

namespace {

// The procedure with nothing to show, for a reader linked as 01 on the rig's COM1.
class RigHost : public actions::Host {
public:
    RigHost(CommandRig& rig, char start) : rig_(rig), start_(start) {}
    void busy(bool) override {}
    bool linked(const actions::ActionInfo&) override { return true; }
    void started(const actions::ActionInfo&) override {}
    std::optional<commands::Session> open(const actions::ActionInfo& action) override {
        if (!rig_.open()) return std::nullopt;
        return commands::Session{rig_.link, rig_.pacer,
                                 std::string(1, start_) + (action.addressed ? "01" : "")};
    }
    void close(const actions::ActionInfo&) override { rig_.close(); }
    void finished(const actions::Outcome&) override {}

private:
    CommandRig& rig_;
    char start_;
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
    void olderTemplateFiles_data();
    void olderTemplateFiles();
};

void TestReaderBytes::unsendableTextsAreRefused_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");  // empty: the text goes out

    QTest::newRow("1252 title") << "title" << 0 << "Café €5"
                                << "";
    QTest::newRow("1252 command test, Chinese")
        << "send" << 0 << "V读"
        << "Cannot send \"读\" (U+8BFB) in code page Windows-1252";
    QTest::newRow("GBK title") << "title" << 1 << "办公室大门"
                               << "";
    QTest::newRow("GBK command test, ©") << "send" << 1 << "V©"
                                         << "Cannot send \"©\" (U+00A9) in code page GBK";
    QTest::newRow("Big5 fingerprint ID") << "finger-id" << 2 << "0011\\xA4\\x40445566"
                                         << "";
    QTest::newRow("Big5 fingerprint ID, simplified")
        << "finger-id" << 2 << "00读"
        << "Cannot send \"读\" (U+8BFB) in code page Big5";
    QTest::newRow("Big5 template part, astral")
        << "template" << 2 << "AB\U0001F600"
        << "Cannot send \"\U0001F600\" (U+1F600) in code page Big5";
    QTest::newRow("template part with a TAB")
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
    const bool finger = action == "finger-id" || action == "template";
    rig.addReader(display ? tbsim::ReaderKind::PX50 : tbsim::ReaderKind::PX60, 1);
    RigHost host(rig, display ? 'J' : 'I');
    const actions::TypedText typed{text, language};
    std::string reply;
    fp::TemplatePut put = fp::TemplatePut::Failed;
    const actions::Request request =
        display                 ? actions::Title(commands::display::TitleLine::First, typed)
        : !finger               ? actions::CommandTest(typed, reply)
        : action == "finger-id" ? actions::SetFingerId(1, typed)
                                : actions::PutTemplateShown(1, {typed, typed, typed}, put);
    const actions::Outcome outcome = actions::Perform(host, request);

    QCOMPARE(outcome.ending == actions::Ending::Refused, !reason.isEmpty());
    if (reason.isEmpty()) {
        QVERIFY(!rig.takeCommands().empty());
        return;
    }
    QVERIFY(outcome.reason);
    QCOMPARE(outcome.reason->in(text::kEnglish), reason);
    QCOMPARE(outcome.detail, reason.toStdString());
    QVERIFY(outcome.message == request.info().messages.error);
    QCOMPARE(rig.channel.openAttempts(), 0);
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
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        if (byte != '\r' && byte != '\t') values += static_cast<char>(byte);
    }
    std::string reversed(values.rbegin(), values.rend());
    std::string rotated = values.substr(100) + values.substr(0, 100);
    const fp::TemplateParts original = {"A" + values + "ZZ", "A" + reversed + "ZZ",
                                        "A" + rotated + "ZZ"};
    for (const std::string& part : original) QCOMPARE(part.size(), fp::kTemplatePartLength);

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
    for (std::size_t part = 0; part < file.parts.size(); ++part) {
        const platform::Encoding bytes = platform::BytesFromText(shown[part].text, language);
        QVERIFY(bytes.ok());
        file.parts[part] = bytes.bytes;
    }
    const QTemporaryDir dir;
    const QString path = dir.filePath("finger1.fpt");
    QVERIFY(!actions::SaveTemplateFile(path, file));
    // A window of another language loads the same bytes.
    const actions::TemplateFileLoad loaded = actions::LoadTemplateFile(path, (language + 1) % 3);
    QVERIFY(loaded.file);

    fp::TemplatePut put = fp::TemplatePut::Failed;
    QVERIFY(actions::Perform(host,
                             actions::PutTemplateShown(2, Shown(loaded.file->parts, language), put))
                .ok());
    QCOMPARE(reader->config().fingerprint.fingerSlots.at(2).parts, original);
}

// A file written before parts were kept byte for byte holds the window's text: it is read in the
// code page of the window that loads it, or refused when that code page lacks a character.
void TestReaderBytes::olderTemplateFiles_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("part1");  // the reader's bytes; empty: refused
    QTest::addColumn<QString>("reason");
    QTest::newRow("GBK window") << 1 << QByteArray("A\xD6\xB8\x01\\") << "";
    QTest::newRow("Big5 window") << 2 << QByteArray("A\xAB\xFC\x01\\") << "";
    QTest::newRow("1252 window") << 0 << QByteArray()
                                 << "Cannot send \"指\" (U+6307) in code page Windows-1252";
}

void TestReaderBytes::olderTemplateFiles() {
    QFETCH(int, language);
    QFETCH(QByteArray, part1);
    QFETCH(QString, reason);
    const QTemporaryDir dir;
    QFile file(dir.filePath("old.fpt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "Tag Bench fingerprint template\nfinger=000001\n"
        "part1=A\xE6\x8C\x87\\x01\\\\\npart2=B\npart3=C\n");
    file.close();
    const actions::TemplateFileLoad loaded = actions::LoadTemplateFile(file.fileName(), language);
    QCOMPARE(loaded.file.has_value(), reason.isEmpty());
    if (loaded.file)
        QCOMPARE(QByteArray::fromStdString(loaded.file->parts[0]), part1);
    else
        QCOMPARE(loaded.problem.in(text::kEnglish), reason);
}

QTEST_GUILESS_MAIN(TestReaderBytes)
#include "tst_reader_bytes.moc"
