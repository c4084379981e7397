// Pictures as title icons: a PNG, BMP, GIF or JPEG gives the same eight "J00M" texts as the icon
// file with the same pixels; icon files are read byte for byte whatever Qt thinks of them.
#include <QtTest>

#include <QImage>
#include <QPainter>

#include "pictures/PictureIcon.h"

using namespace commands::display;
using pictures::IconFromPicture;
using pictures::IconProblem;
using pictures::ReadTitlePicture;

namespace {

// An icon file as the display's icon files are laid out: 70 header bytes (zeros here, which Qt
// would not take for an icon), 16 rows of 16 bytes, the bottom row first, a 0 bit dark.
QByteArray IconFile(const QList<QRect>& darkAreas) {
    QByteArray file(70, '\0');
    file += QByteArray(256, '\xFF');
    for (const QRect& area : darkAreas) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const int at = 70 + 16 * (15 - y) + x / 8;
                file[at] = static_cast<char>(file[at] & ~(0x80 >> (x % 8)));
            }
        }
    }
    return file;
}

// A white 128 x 16 picture, `scale` times larger, with black areas given in icon pixels.
QImage Picture(const QList<QRect>& darkAreas, int scale = 1) {
    QImage picture(128 * scale, 16 * scale, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (const QRect& area : darkAreas) {
        painter.fillRect(QRect(area.topLeft() * scale, area.size() * scale), Qt::black);
    }
    return picture;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return file.fileName();
}

QStringList Texts(const std::variant<IconBitmap, IconProblem>& read) {
    QStringList texts;
    if (const auto* icon = std::get_if<IconBitmap>(&read))
        for (const auto& text : IconCommands(*icon)) texts << QString::fromStdString(text);
    return texts;
}

const QList<QRect> kPixels{QRect(0, 0, 1, 1), QRect(127, 15, 1, 1), QRect(21, 10, 1, 1)};
// Blocks on JPEG's 8 x 8 grid survive its compression.
const QList<QRect> kBlocks{QRect(0, 0, 8, 8), QRect(120, 8, 8, 8), QRect(64, 0, 16, 16)};

}  // namespace

class TestPictureIcon : public QObject {
    Q_OBJECT
private slots:
    void pictureLikeIconFile_data();
    void pictureLikeIconFile();
    void pngTopLeftPixel();
    void largerPictureIsScaled();
    void lightness_data();
    void lightness();
    void gifPicture();
    void iconFileReadByteForByte();
    void unreadable_data();
    void unreadable();
};

void TestPictureIcon::pictureLikeIconFile_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QList<QRect>>("dark");
    QTest::newRow("PNG, single pixels") << QByteArray("png") << kPixels;
    QTest::newRow("BMP, single pixels") << QByteArray("bmp") << kPixels;
    QTest::newRow("JPEG, blocks") << QByteArray("jpg") << kBlocks;
    QTest::newRow("PNG, all light") << QByteArray("png") << QList<QRect>{};
}

void TestPictureIcon::pictureLikeIconFile() {
    QFETCH(QByteArray, format);
    QFETCH(QList<QRect>, dark);
    QTemporaryDir dir;
    const QString picture = dir.filePath("title." + format);
    QVERIFY(Picture(dark).save(picture, format.constData(), 100));
    const QString icon = WriteFile(dir, "title.ico", IconFile(dark));
    const QStringList expected = Texts(ReadTitlePicture(icon));
    QCOMPARE(expected.size(), 8);
    QCOMPARE(Texts(ReadTitlePicture(picture)), expected);
}

// Anchored to the display's own vector: the top-left pixel is bit 0 of the first byte.
void TestPictureIcon::pngTopLeftPixel() {
    QTemporaryDir dir;
    const QString picture = dir.filePath("corner.png");
    QVERIFY(Picture({QRect(0, 0, 1, 1)}).save(picture));
    const QStringList texts = Texts(ReadTitlePicture(picture));
    QCOMPARE(texts.size(), 8);
    QCOMPARE(texts[0], "J00M001" + QString(62, '0'));
    for (int n = 1; n < 8; ++n) QCOMPARE(texts[n], QString("J00M%1").arg(n) + QString(64, '0'));
}

void TestPictureIcon::largerPictureIsScaled() {
    QCOMPARE(Texts(IconFromPicture(Picture(kPixels, 4))), Texts(IconFromPicture(Picture(kPixels))));
}

void TestPictureIcon::lightness_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("dark");
    QTest::newRow("grey 127") << QColor(127, 127, 127) << true;
    QTest::newRow("grey 128") << QColor(128, 128, 128) << false;
    QTest::newRow("pure blue") << QColor(0, 0, 255) << true;
    QTest::newRow("yellow") << QColor(255, 255, 0) << false;
    QTest::newRow("transparent black") << QColor(0, 0, 0, 0) << false;
    QTest::newRow("opaque black") << QColor(0, 0, 0, 255) << true;
}

void TestPictureIcon::lightness() {
    QFETCH(QColor, colour);
    QFETCH(bool, dark);
    QImage picture(128, 16, QImage::Format_ARGB32);
    picture.fill(colour);
    const IconBitmap icon = IconFromPicture(picture);
    QCOMPARE(icon.dark(0, 0), dark);
    QCOMPARE(icon.dark(127, 15), dark);
}

// GIF is read only: a 1 x 1 picture whose one pixel is palette entry 0, black.
void TestPictureIcon::gifPicture() {
    static const char kBlackPixel[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
        ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    QTemporaryDir dir;
    const QString gif =
        WriteFile(dir, "black.gif", QByteArray(kBlackPixel, sizeof kBlackPixel - 1));
    QCOMPARE(Texts(ReadTitlePicture(gif)),
             Texts(ReadTitlePicture(WriteFile(dir, "dark.ico", IconFile({QRect(0, 0, 128, 16)})))));
}

// Qt can read icons too, but not these: the bytes from offset 70 are the pixels.
void TestPictureIcon::iconFileReadByteForByte() {
    QTemporaryDir dir;
    const QString upper = WriteFile(dir, "TITLE.ICO", IconFile({QRect(0, 0, 1, 1)}));
    const QStringList texts = Texts(ReadTitlePicture(upper));
    QCOMPARE(texts.size(), 8);
    QCOMPARE(texts[0], "J00M001" + QString(62, '0'));
}

void TestPictureIcon::unreadable_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // empty: the file is not made
    QTest::addColumn<IconProblem>("problem");
    QTest::newRow("missing icon file") << "missing.ico" << QByteArray() << IconProblem::CannotOpen;
    QTest::newRow("missing picture") << "missing.png" << QByteArray() << IconProblem::CannotOpen;
    QTest::newRow("not a picture")
        << "text.png" << QByteArray("not a picture at all") << IconProblem::NotAPicture;
}

void TestPictureIcon::unreadable() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(IconProblem, problem);
    QTemporaryDir dir;
    const QString path = bytes.isEmpty() ? dir.filePath(name) : WriteFile(dir, name, bytes);
    const auto read = ReadTitlePicture(path);
    QVERIFY(std::holds_alternative<IconProblem>(read));
    QCOMPARE(std::get<IconProblem>(read), problem);
}

QTEST_GUILESS_MAIN(TestPictureIcon)
#include "tst_pictureicon.moc"
