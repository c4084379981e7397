// The Display page against a simulated PX50 on a pseudo-terminal: the frames each button sends
// in each window language, what the simulated display then holds, the title list, the icon
// preview, files that give no icon, the file dialog and the refusal while not linked.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <functional>

#include "SimLines.h"
#include "WindowFixture.h"
#include "app/widgets/IconCanvas.h"
#include "app/widgets/PictureFilter.h"
#include "app/widgets/ReaderTypeRow.h"

using tbsim::ReaderKind;
using text::Msg;

Q_DECLARE_METATYPE(text::Msg)

namespace {

constexpr int kPx50Page = 4;
const QDateTime kClick(QDate(2027, 2, 1), QTime(9, 5, 3));

QByteArray Spaces(int count) { return QByteArray(count, ' '); }

// An icon file as the display's icon files are laid out: 70 header bytes, 16 rows of 16 bytes,
// the bottom row first, a 0 bit dark.
QByteArray IconFile(const std::function<bool(int x, int y)>& dark) {
    QByteArray file(70, '\0');
    file += QByteArray(256, '\xFF');
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x)
            if (dark(x, y)) {
                const int at = 70 + 16 * (15 - y) + x / 8;
                file[at] = static_cast<char>(file[at] & ~(0x80 >> (x % 8)));
            }
    return file;
}

bool Corner(int x, int y) { return (x == 0 && y == 0) || (x == 127 && y == 15); }

// The corner picture's parts, worked out by hand: column 0's upper byte has bit 0 (row 0),
// column 127's lower byte bit 7 (row 15).
QByteArrayList CornerParts() {
    QByteArrayList parts;
    for (int n = 0; n < 8; ++n) parts << "J00M" + QByteArray::number(n) + QByteArray(64, '0');
    parts[0] = "J00M001" + QByteArray(62, '0');
    parts[7] = "J00M7" + QByteArray(62, '0') + "80";
    return parts;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return file.fileName();
}

// A PX50 linked as ID 01 on COM1, in the given window language; the dialog and the clock are
// the test's own unless `realDialog`.
struct Bench {
    SimLines lines;
    tbsim::SimLine* line = nullptr;
    tbsim::SimReader* reader = nullptr;
    WindowFixture f;
    app::TfrmModule* window = nullptr;
    QTemporaryDir files;

    QString chosen;           // what the dialog answers
    QStringList dialogAsked;  // "directory|filter" per time the dialog was shown
    int clockReads = 0;
    QDateTime clock = kClick;

    explicit Bench(int language = text::kEnglish, bool link = true, bool realDialog = false) {
        line = &lines.add();
        reader = lines.addReader(*line, ReaderKind::PX50, 1);
        window = &f.open(lines.ports());
        if (!realDialog) {
            window->SetFileChooser([this](QWidget*, const QString& dir, const QString& filter) {
                dialogAsked << dir + "|" + filter;
                return chosen;
            });
        }
        window->SetLocalClock([this] {
            ++clockReads;
            return clock;
        });
        QTest::mouseClick(f.control<app::ReaderTypeRow>("pcReader")->button(kPx50Page),
                          Qt::LeftButton);
        f.control<QComboBox>("cmbPort")->setEditText("COM1");
        if (link) f.click("btnLink");
        const char* menu[] = {"mnuEnglish", "mnuSimplified", "mnuTraditional"};
        f.action(menu[language])->trigger();
        line->clearLog();
        f.tones.clear();
    }

    QByteArrayList sent() {
        QByteArrayList list;
        for (const auto& command : line->takeReceivedCommands())
            list << QByteArray::fromStdString(command);
        return list;
    }
    tbsim::DisplayState display() const { return reader->config().display; }
    void silence(const QByteArrayList& commands) {
        auto config = reader->config();
        for (const auto& command : commands) config.silentCommands.insert(command.toStdString());
        reader->setConfig(config);
    }
    QComboBox* titleList() const { return f.control<QComboBox>("cmbTitle"); }
    const QImage& preview() const { return f.control<app::IconCanvas>("imgTitle")->image(); }
    // Every action ends with the window usable again.
    bool settled() const { return window->isEnabled() && !QApplication::overrideCursor(); }
};

QByteArray Field(const tbsim::DisplayState& display, const QString& field) {
    if (field == "small") return QByteArray::fromStdString(display.smallMessage);
    if (field == "screen") return QByteArray::fromStdString(display.screenMessage);
    if (field == "title1") return QByteArray::fromStdString(display.title1);
    if (field == "title2") return QByteArray::fromStdString(display.title2);
    if (field == "password") return QByteArray::fromStdString(display.password);
    if (field == "clock") return QByteArray::fromStdString(display.clock);
    if (field == "language") return QByteArray::number(display.language);
    return "?";
}

}  // namespace

class TestDisplay : public QObject {
    Q_OBJECT
private slots:
    void systemParameters_data();
    void systemParameters();
    void clockReadOnceAtTheClick();
    void texts_data();
    void texts();
    void clears_data();
    void clears();
    void titleListFollowsTitles_data();
    void titleListFollowsTitles();
    void titleIcon();
    void pictureGoesLikeItsIconFile();
    void fileWithoutIcon_data();
    void fileWithoutIcon();
    void realDialog_data();
    void realDialog();
    void refusedWhileNotLinked();
};

// One control set, one button clicked; the frames after the reader check, a field of the
// simulated display afterwards and the success message in the window's language.
void TestDisplay::systemParameters_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");  // a list's item index, or an edit box's text
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<Msg>("ok");

    const char* languages[] = {"English", "Simplified", "Traditional"};
    for (int l = 0; l < 3; ++l) {
        QTest::addRow("Traditional Chinese is N1, %s window", languages[l])
            << l << "cmbLanguage"
            << "1"
            << "btnLanguage" << QByteArrayList{"J01N1"} << "language" << QByteArray("1")
            << Msg::SetLanguageOk;
    }
    QTest::newRow("three-character password")
        << 1 << "edPassword"
        << "583"
        << "btnPassword" << QByteArrayList{"J01O583"} << "password" << QByteArray("583")
        << Msg::SetPasswordOk;
    QTest::newRow("clock then 24H")
        << 0 << "cmbHour"
        << "1"
        << "btnDateTime" << QByteArrayList{"J01T20270201090503", "J01T1"} << "clock"
        << QByteArray("20270201090503") << Msg::SetTimeModeOk;
}

void TestDisplay::systemParameters() {
    QFETCH(int, language);
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, button);
    QFETCH(QByteArrayList, sent);
    QFETCH(QString, field);
    QFETCH(QByteArray, held);
    QFETCH(Msg, ok);
    Bench bench(language);
    if (control.startsWith("cmb"))
        bench.f.control<QComboBox>(qPrintable(control))->setCurrentIndex(value.toInt());
    else
        bench.f.control<QLineEdit>(qPrintable(control))->setText(value);
    bench.f.click(qPrintable(button));
    QCOMPARE(bench.sent(), QByteArrayList{"J01B"} + sent);
    QCOMPARE(Field(bench.display(), field), held);
    QCOMPARE(bench.f.text("pnMsg"), text::Text(ok, language));
    QCOMPARE(bench.f.commLamp(), app::kLampYellow);
    QVERIFY(bench.settled());
}

// The time is taken before the window turns busy, once: a second attempt sends it again even
// though the clock has moved on.
void TestDisplay::clockReadOnceAtTheClick() {
    Bench bench;
    bool readWhileIdle = false;
    bench.window->SetLocalClock([&] {
        readWhileIdle = bench.settled();
        ++bench.clockReads;
        return kClick.addSecs(bench.clockReads);
    });
    bench.silence({"T20270201090504"});
    bench.f.click("btnDateTime");
    QCOMPARE(bench.clockReads, 1);
    QVERIFY(readWhileIdle);
    QCOMPARE(bench.sent(),
             (QByteArrayList{"J01B", "J01T20270201090504", "J01B", "J01T20270201090504"}));
    QCOMPARE(bench.f.text("pnMsg"), QString("Set time mode error!"));
    QCOMPARE(bench.f.commLamp(), app::kLampRed);
    QCOMPARE(bench.f.tones, (std::vector<Tone>{{300, 300}}));
    QVERIFY(bench.settled());
}

// Texts go out in the code page of the window's language, fitted to the display's widths.
void TestDisplay::texts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QString>("field");
    QTest::addColumn<Msg>("ok");
    const QByteArray gbkHello = "\xC4\xE3\xBA\xC3";
    const QByteArray big5Hello = "\xA7\x41\xA6\x6E";
    const QByteArray big5Office = "\xBF\xEC\xA4\xBD\xAB\xC7\xA4\x6A\xAA\xF9";  // 辦公室大門

    QTest::newRow("Hello! as 68 characters")
        << 0 << "edSmallMessage"
        << "Hello!"
        << "btnSmallMessage" << QByteArrayList{"J01HHello!" + Spaces(58)} << "small"
        << Msg::SetSmallMessageOk;
    QTest::newRow("small message in GBK")
        << 1 << "edSmallMessage"
        << "你好"
        << "btnSmallMessage" << QByteArrayList{"J01H" + gbkHello + Spaces(60)} << "small"
        << Msg::SetSmallMessageOk;
    QTest::newRow("small message in Big5")
        << 2 << "edSmallMessage"
        << "你好"
        << "btnSmallMessage" << QByteArrayList{"J01H" + big5Hello + Spaces(60)} << "small"
        << Msg::SetSmallMessageOk;
    QTest::newRow("empty screen message")
        << 0 << "edScreenMessage"
        << ""
        << "btnScreenMessage" << QByteArrayList{"J01L4" + Spaces(128)} << "screen"
        << Msg::SetScreenMessageOk;
    QTest::newRow("screen message in Big5")
        << 2 << "edScreenMessage"
        << "辦公室大門"
        << "btnScreenMessage" << QByteArrayList{"J01L4" + big5Office + Spaces(118)} << "screen"
        << Msg::SetScreenMessageOk;
    QTest::newRow("16-character title, no padding")
        << 0 << "edTitle1"
        << "KORVA Technology"
        << "btnSetTitle1" << QByteArrayList{"J01L1KORVA Technology", "J01L1"} << "title1"
        << Msg::SetTitleOk;
    // 17 bytes in GBK, put there by the program: byte 16 would open the eighth 好.
    QTest::newRow("GBK title whose 16th byte is a lead byte")
        << 1 << "edTitle1"
        << "A好好好好好好好好"
        << "btnSetTitle1"
        << QByteArrayList{"J01L1A" + QByteArray("\xBA\xC3").repeated(7) + " ", "J01L1"} << "title1"
        << Msg::SetTitleOk;
    QTest::newRow("Big5 title 2, 6 spaces")
        << 2 << "edTitle2"
        << "辦公室大門"
        << "btnSetTitle2" << QByteArrayList{"J01L3" + big5Office + Spaces(6), "J01L1"} << "title2"
        << Msg::SetTitleOk;
}

void TestDisplay::texts() {
    QFETCH(int, language);
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(QByteArrayList, sent);
    QFETCH(QString, field);
    QFETCH(Msg, ok);
    Bench bench(language);
    bench.f.control<QLineEdit>(qPrintable(edit))->setText(text);
    bench.f.click(qPrintable(button));
    QCOMPARE(bench.sent(), QByteArrayList{"J01B"} + sent);
    // The text command's parameter is what the display holds.
    QCOMPARE(Field(bench.display(), field), sent.first().mid(field == "small" ? 4 : 5));
    QCOMPARE(bench.f.text("pnMsg"), text::Text(ok, language));
    QVERIFY(bench.settled());
}

// The clear buttons blank one field of the display and leave the title mode alone; clearing
// the screen message reports with the title messages.
void TestDisplay::clears_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("blank");
    QTest::newRow("screen message") << "btnClrMessage"
                                    << "J00L4" + Spaces(128) << "screen" << 128;
    QTest::newRow("title 1") << "btnClrTitle1"
                             << "J01L1" + Spaces(16) << "title1" << 16;
    QTest::newRow("title 2") << "btnClrTitle2"
                             << "J01L3" + Spaces(16) << "title2" << 16;
}

void TestDisplay::clears() {
    QFETCH(QString, button);
    QFETCH(QByteArray, sent);
    QFETCH(QString, field);
    QFETCH(int, blank);
    Bench bench(text::kSimplifiedChinese);
    auto config = bench.reader->config();
    config.display.screenMessage = "Welcome" + std::string(121, ' ');
    config.display.title1 = "KORVA Technology";
    config.display.title2 = "Office" + std::string(10, ' ');
    config.display.titleMode = 2;
    bench.reader->setConfig(config);
    bench.titleList()->setCurrentIndex(0);
    bench.f.click(qPrintable(button));
    QCOMPARE(bench.sent(), (QByteArrayList{"J01B", sent}));
    QCOMPARE(Field(bench.display(), field), Spaces(blank));
    QCOMPARE(bench.display().titleMode, 2);
    QCOMPARE(bench.titleList()->currentIndex(), 0);
    QCOMPARE(bench.f.text("pnMsg"), text::Text(Msg::SetTitleOk, text::kSimplifiedChinese));
    QVERIFY(bench.settled());
}

// Setting a title puts the list on "Text Title" before anything goes out, and it stays there
// when the reader does not answer; the title-mode button sends the list's item.
void TestDisplay::titleListFollowsTitles_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("listBefore");
    QTest::addColumn<QByteArrayList>("silent");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<int>("listAfter");
    QTest::addColumn<QString>("message");
    const QByteArray office = "J01L3Office" + Spaces(10);

    QTest::newRow("title 2 from No Title")
        << "btnSetTitle2" << 0 << QByteArrayList{} << QByteArrayList{"J01B", office, "J01L1"} << 1
        << "Set title ok.";
    QTest::newRow("title 2, mode unanswered")
        << "btnSetTitle2" << 0 << QByteArrayList{"L1"}
        << QByteArrayList{"J01B", office, "J01L1", "J01B", office, "J01L1"} << 1
        << "Set title error!";
    QTest::newRow("title 1 from Text & Icon Title")
        << "btnSetTitle1" << 2 << QByteArrayList{}
        << QByteArrayList{"J01B", "J01L1KORVA Technology", "J01L1"} << 1 << "Set title ok.";
    QTest::newRow("title mode: the list's item")
        << "btnSetTitleMode" << 2 << QByteArrayList{} << QByteArrayList{"J01B", "J01L2"} << 2
        << "Set title mode ok.";
    QTest::newRow("no title") << "btnSetTitleMode" << 0 << QByteArrayList{}
                              << QByteArrayList{"J01B", "J01L0"} << 0 << "Set title mode ok.";
}

void TestDisplay::titleListFollowsTitles() {
    QFETCH(QString, button);
    QFETCH(int, listBefore);
    QFETCH(QByteArrayList, silent);
    QFETCH(QByteArrayList, sent);
    QFETCH(int, listAfter);
    QFETCH(QString, message);
    Bench bench;
    bench.silence(silent);
    bench.titleList()->setCurrentIndex(listBefore);
    // The list changes before the first frame: the reader check sees it changed.
    int listAtCheck = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (listAtCheck < 0 && !bench.line->receivedCommands().empty())
            listAtCheck = bench.titleList()->currentIndex();
    });
    watch.start(0);
    bench.f.click(qPrintable(button));
    watch.stop();
    QCOMPARE(bench.sent(), sent);
    QCOMPARE(bench.titleList()->currentIndex(), listAfter);
    QCOMPARE(listAtCheck, listAfter);
    QCOMPARE(bench.f.text("pnMsg"), message);
    if (message.endsWith("ok.")) QCOMPARE(bench.display().titleMode, listAfter);
    QVERIFY(bench.settled());
}

void TestDisplay::titleIcon() {
    Bench bench(text::kTraditionalChinese);
    bench.chosen = Write(bench.files, "corners.ico", IconFile(Corner));
    bench.f.click("btnTitleIcon");
    QCOMPARE(bench.dialogAsked, QStringList{QDir::currentPath() + "|" +
                                            app::TitlePictureFilter(text::kTraditionalChinese)});
    QCOMPARE(bench.sent(), QByteArrayList{"J01B"} + CornerParts() + QByteArrayList{"J01L2"});
    QCOMPARE(bench.f.text("pnMsg"), text::Text(Msg::SetIconOk, text::kTraditionalChinese));
    QCOMPARE(bench.f.commLamp(), app::kLampYellow);
    QCOMPARE(bench.titleList()->currentIndex(), 2);

    // The display shows what the file holds.
    const tbsim::DisplayState display = bench.display();
    QCOMPARE(display.titleMode, 2);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x)
            QVERIFY2(tbsim::IconPixelDark(display, x, y) == Corner(x, y),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));

    // The preview: each pixel a 2 x 2 square from the top left, white elsewhere.
    const QImage& preview = bench.preview();
    QCOMPARE(preview.size(), QSize(258, 36));
    const auto black = [&](int x, int y) { return preview.pixelColor(x, y) == Qt::black; };
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(254, 30), QPoint(255, 31)})
        QVERIFY2(black(p.x(), p.y()), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint p : {QPoint(2, 0), QPoint(0, 2), QPoint(253, 31), QPoint(256, 31),
                           QPoint(255, 32), QPoint(257, 35)})
        QVERIFY2(!black(p.x(), p.y()), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    QVERIFY(bench.settled());
}

// A picture with the same pixels as an icon file sends the same eight parts.
void TestDisplay::pictureGoesLikeItsIconFile() {
    Bench bench;
    const auto pattern = [](int x, int y) { return (3 * x + 5 * y) % 7 == 0 || y == 15; };
    bench.chosen = Write(bench.files, "pattern.ico", IconFile(pattern));
    bench.f.click("btnTitleIcon");
    const QByteArrayList fromIcon = bench.sent();

    QImage picture(128, 16, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x)
            if (pattern(x, y)) picture.setPixel(x, y, qRgb(0, 0, 0));
    bench.chosen = bench.files.filePath("pattern.png");
    QVERIFY(picture.save(bench.chosen));
    const QImage iconPreview = bench.preview();
    bench.f.click("btnTitleIcon");
    QCOMPARE(bench.sent(), fromIcon);
    QCOMPARE(fromIcon.size(), 10);
    QCOMPARE(bench.preview(), iconPreview);
    QCOMPARE(bench.f.text("pnMsg"), QString("Set icon ok."));
}

// A file that gives no icon fails the click after the reader check: nothing else goes out, the
// preview stays, and the status bar says why, in the window's language.
void TestDisplay::fileWithoutIcon_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("file");  // "" a file that does not exist, "/" a folder
    QTest::addColumn<Msg>("why");
    const char* languages[] = {"English", "Simplified", "Traditional"};
    for (int l = 0; l < 3; ++l) {
        QTest::addRow("missing, %s", languages[l]) << l << "" << Msg::CannotOpenFile;
        QTest::addRow("not a picture, %s", languages[l]) << l << "junk.png" << Msg::NotAPictureFile;
    }
    QTest::newRow("folder") << 0 << "/" << Msg::CannotOpenFile;
}

void TestDisplay::fileWithoutIcon() {
    QFETCH(int, language);
    QFETCH(QString, file);
    QFETCH(Msg, why);
    Bench bench(language);
    if (file.isEmpty())
        bench.chosen = bench.files.filePath("gone.ico");
    else if (file == "/")
        bench.chosen = bench.files.path();
    else
        bench.chosen = Write(bench.files, file, "not a picture at all");
    auto* canvas = bench.f.control<app::IconCanvas>("imgTitle");
    canvas->drawIcon(Corner);
    const QImage before = canvas->image();

    bench.f.click("btnTitleIcon");
    QCOMPARE(bench.sent(), QByteArrayList{"J01B"});
    QCOMPARE(bench.f.text("pnMsg"), text::Text(Msg::SetIconError, language));
    QVERIFY2(bench.f.text("sbCommReceived").startsWith(text::Text(why, language)),
             qPrintable(bench.f.text("sbCommReceived")));
    QVERIFY(bench.f.text("sbCommReceived").contains(QFileInfo(bench.chosen).fileName()));
    QCOMPARE(canvas->image(), before);
    QCOMPARE(bench.f.commLamp(), app::kLampRed);
    QCOMPARE(bench.f.tones, (std::vector<Tone>{{300, 300}}));
    QVERIFY(bench.settled());
}

// The dialog itself: usable although the window is busy, in the working directory, with the
// icon files first. Cancelled, it leaves everything as it was; a file chosen is sent.
void TestDisplay::realDialog_data() {
    QTest::addColumn<bool>("choose");
    QTest::newRow("cancelled") << false;
    QTest::newRow("file chosen") << true;
}

void TestDisplay::realDialog() {
    QFETCH(bool, choose);
    Bench bench(text::kEnglish, true, true);
    const QString icon = Write(bench.files, "corners.ico", IconFile(Corner));
    const QString message = bench.f.text("pnMsg");
    const QColor lamp = bench.f.commLamp();
    QFileDialog* seen = nullptr;
    bool enabled = false, windowBusy = false, arrow = false;
    QString directory;
    QStringList filters;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || seen) return;
        seen = dialog;
        enabled = dialog->isEnabled();
        windowBusy = !bench.window->isEnabled();
        arrow = QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::ArrowCursor;
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        if (choose) {
            dialog->selectFile(icon);
            QMetaObject::invokeMethod(dialog, "accept");
        } else {
            dialog->reject();
        }
    });
    watch.start(10);
    bench.f.click("btnTitleIcon");
    watch.stop();
    QVERIFY(seen);
    QVERIFY(enabled);
    QVERIFY(windowBusy);
    QVERIFY(arrow);
    QCOMPARE(directory, QDir::currentPath());
    QCOMPARE(filters, app::TitlePictureFilter(text::kEnglish).split(";;"));
    if (choose) {
        QCOMPARE(bench.sent(), QByteArrayList{"J01B"} + CornerParts() + QByteArrayList{"J01L2"});
        QCOMPARE(bench.titleList()->currentIndex(), 2);
    } else {
        QVERIFY(bench.sent().isEmpty());
        QCOMPARE(bench.f.text("pnMsg"), message);
        QCOMPARE(bench.f.commLamp(), lamp);
        QVERIFY(bench.f.tones.empty());
        QCOMPARE(bench.titleList()->currentIndex(), 0);
        QVERIFY(bench.preview().isNull());
    }
    QVERIFY(bench.settled());
}

// Without a linked reader every button of the page only turns the lamp red and beeps low; the
// icon button asks for no file.
void TestDisplay::refusedWhileNotLinked() {
    Bench bench(text::kEnglish, false);
    bench.chosen = Write(bench.files, "corners.ico", IconFile(Corner));
    const QString message = bench.f.text("pnMsg");
    int buttons = 0;
    for (const app::ButtonBinding& binding : app::TfrmModule::CommandButtons()) {
        QWidget* button = bench.f.control(binding.name);
        QWidget* page = button->parentWidget();
        while (page && page->objectName() != "tsDisplay") page = page->parentWidget();
        if (!page) continue;
        ++buttons;
        bench.f.tones.clear();
        bench.window->findChild<app::Lamp*>("shComm")->setColor(app::kLampYellow);
        bench.f.click(binding.name);
        QVERIFY2(bench.sent().isEmpty(), binding.name);
        QVERIFY2(bench.f.commLamp() == app::kLampRed, binding.name);
        QVERIFY2(bench.f.tones == (std::vector<Tone>{{300, 300}}), binding.name);
        QCOMPARE(bench.f.text("pnMsg"), message);
        QVERIFY2(bench.settled(), binding.name);
    }
    QCOMPARE(buttons, 13);
    QVERIFY(bench.dialogAsked.isEmpty());
}

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
