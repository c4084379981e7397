// The title icon: reading an icon file's pixels, the preview's orientation, and the packing into
// the eight "J00M" texts. Expected texts were worked out by hand from the icon file layout and
// the display's column bytes.
#include <QtTest>

#include "commands/display/TitleIcon.h"

using namespace commands::display;

namespace {

constexpr int kHeader = 70;
constexpr int kPixelBytes = 256;

// An icon file: a header of zero bytes (dark, were it misread as pixels), then the pixel rows,
// all light but for the given bytes (offset from the first pixel byte).
QByteArray IconFile(std::initializer_list<std::pair<int, char>> bytes = {}) {
    QByteArray file(kHeader, '\0');
    file += QByteArray(kPixelBytes, '\xFF');
    for (const auto& [at, value] : bytes) file[kHeader + at] = value;
    return file;
}

QByteArray Zeros(int bytes) { return QByteArray(2 * bytes, '0'); }

// Eight parts, each "J00M" + n + its 64 hex digits: `digits` for every part.
QStringList EveryPart(const QByteArray& digits) {
    QStringList parts;
    for (int n = 0; n < 8; ++n) parts << QString("J00M%1").arg(n) + QString::fromLatin1(digits);
    return parts;
}

// Part `n` with `digits`, the others all zeros.
QStringList OnlyPart(int n, const QByteArray& digits) {
    QStringList parts = EveryPart(Zeros(32));
    parts[n] = QString("J00M%1").arg(n) + QString::fromLatin1(digits);
    return parts;
}

QStringList Texts(const IconBitmap& icon) {
    QStringList texts;
    for (const auto& text : IconCommands(icon)) texts << QString::fromStdString(text);
    return texts;
}

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

int DarkCount(const IconBitmap& icon) {
    int count = 0;
    for (int y = 0; y < kIconHeight; ++y)
        for (int x = 0; x < kIconWidth; ++x) count += icon.dark(x, y) ? 1 : 0;
    return count;
}

}  // namespace

class TestTitleIcon : public QObject {
    Q_OBJECT
private slots:
    void commandsFromFile_data();
    void commandsFromFile();
    void preview_data();
    void preview();
    void readFromDisk();
    void unreadableFile();
};

void TestTitleIcon::commandsFromFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("all light") << IconFile() << EveryPart(Zeros(32));
    QTest::newRow("all dark") << QByteArray(kHeader, '\0') + QByteArray(kPixelBytes, '\0')
                              << EveryPart(QByteArray(64, 'F'));
    // File row 15 is the top row; its first byte's top bit the leftmost pixel.
    QTest::newRow("top-left pixel") << IconFile({{240, '\x7F'}}) << OnlyPart(0, "01" + Zeros(31));
    QTest::newRow("bottom-right pixel")
        << IconFile({{15, '\xFE'}}) << OnlyPart(7, Zeros(31) + "80");
    // Column 21 (part 1, column 5), row 10 (lower half, bit 2): file row 5, byte 2, bit 0x04.
    QTest::newRow("pixel at 21,10")
        << IconFile({{5 * 16 + 2, '\xFB'}}) << OnlyPart(1, Zeros(21) + "04" + Zeros(10));
    // The leftmost column: part 0's first upper-half and first lower-half bytes.
    QByteArray column = IconFile();
    for (int row = 0; row < 16; ++row) column[kHeader + 16 * row] = '\x7F';
    QTest::newRow("leftmost column") << column << OnlyPart(0, "FF" + Zeros(15) + "FF" + Zeros(15));
    // The top row: bit 0 of every upper-half byte.
    QByteArray top = IconFile();
    for (int k = 0; k < 16; ++k) top[kHeader + 240 + k] = '\0';
    QTest::newRow("top row") << top << EveryPart(QByteArray("01").repeated(16) + Zeros(16));
    // Only the first file row is in the file: the bottom row dark, the rest light.
    QTest::newRow("file ends after one row")
        << QByteArray(kHeader, '\0') + QByteArray(16, '\0')
        << EveryPart(Zeros(16) + QByteArray("80").repeated(16));
    QTest::newRow("file ends in the header") << QByteArray(10, '\0') << EveryPart(Zeros(32));
}

void TestTitleIcon::commandsFromFile() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, parts);
    QCOMPARE(Texts(IconFromFileBytes(View(file))), parts);
}

void TestTitleIcon::preview_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QPoint>("dark");
    QTest::newRow("top-left") << IconFile({{240, '\x7F'}}) << QPoint(0, 0);
    QTest::newRow("bottom-right") << IconFile({{15, '\xFE'}}) << QPoint(127, 15);
    QTest::newRow("21,10") << IconFile({{5 * 16 + 2, '\xFB'}}) << QPoint(21, 10);
}

void TestTitleIcon::preview() {
    QFETCH(QByteArray, file);
    QFETCH(QPoint, dark);
    const IconBitmap icon = IconFromFileBytes(View(file));
    QCOMPARE(DarkCount(icon), 1);
    QVERIFY(icon.dark(dark.x(), dark.y()));
}

void TestTitleIcon::readFromDisk() {
    QTemporaryDir dir;
    QFile file(dir.filePath("title.ico"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = IconFile({{240, '\x7F'}, {15, '\xFE'}}) + QByteArray(700, '\0');
    file.write(bytes);
    file.close();
    const auto icon = ReadIconFile(QFile::encodeName(file.fileName()).toStdString());
    QVERIFY(icon);
    QCOMPARE(DarkCount(*icon), 2);
    QVERIFY(*icon == IconFromFileBytes(View(bytes)));
}

void TestTitleIcon::unreadableFile() {
    QTemporaryDir dir;
    QVERIFY(!ReadIconFile(QFile::encodeName(dir.filePath("missing.ico")).toStdString()));
    QVERIFY(!ReadIconFile(QFile::encodeName(dir.path()).toStdString()));
}

QTEST_APPLESS_MAIN(TestTitleIcon)
#include "tst_titleicon.moc"
