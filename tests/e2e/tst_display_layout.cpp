// The Display and Fingerprint pages as built: every control where it belongs with its initial
// content, the panels that follow their scroll bars, byte limits in each code page (the command
// tests' too) and the status bar saying why, the captions of all three languages, the hidden
// stand-alone settings and the icon canvas.
#include <QLineEdit>
#include <QScrollBar>

#include "WindowFixture.h"
#include "app/widgets/IconCanvas.h"
#include "app/widgets/ReaderTextValidator.h"

using text::Msg;

namespace {

QString GroupOf(const QWidget* control) {
    for (const QWidget* up = control->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QGroupBox*>(up)) return up->objectName();
    return {};
}

QString PageOf(const QWidget* control) {
    for (const QWidget* up = control->parentWidget(); up; up = up->parentWidget())
        if (up->objectName().startsWith("ts")) return up->objectName();
    return {};
}

const QString kZeros255(255, QLatin1Char('0'));

}  // namespace

class TestDisplayLayout : public QObject {
    Q_OBJECT

private:
    // Every list row shows English, then Traditional Chinese.
    RowWindow f_{{"placement", "lists"}};

    template <typename T = QWidget>
    T* control(const QString& name) {
        return f_->control<T>(name);
    }
    void language(const char* action) { f_->switchLanguage(action); }

private slots:
    void init() { f_.init(); }
    void cleanup() { f_.cleanup(); }
    void cleanupTestCase() { f_.cleanupTestCase(); }

    void placement_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("page");
        const char* page = "tsDisplay";
        const auto row = [&page](const char* name, const char* kind, const char* group) {
            QTest::newRow(name) << name << kind << group << page;
        };
        for (const char* name : {"gbDisplaySystem", "gbDisplayTitle", "gbSmallMessage"})
            row(name, "QGroupBox", "gbOther");
        row("cmbLanguage", "QComboBox", "gbDisplaySystem");
        row("btnLanguage", "QPushButton", "gbDisplaySystem");
        row("lblPassword", "QLabel", "gbDisplaySystem");
        row("edPassword", "QLineEdit", "gbDisplaySystem");
        row("btnPassword", "QPushButton", "gbDisplaySystem");
        row("cmbScreen", "QComboBox", "gbDisplaySystem");
        row("btnScreen", "QPushButton", "gbDisplaySystem");
        row("cmbHour", "QComboBox", "gbDisplaySystem");
        row("btnDateTime", "QPushButton", "gbDisplaySystem");
        row("cmbTitle", "QComboBox", "gbDisplayTitle");
        row("btnSetTitleMode", "QPushButton", "gbDisplayTitle");
        row("pnIcon", "QFrame", "gbDisplayTitle");
        row("imgTitle", "app::IconCanvas", "gbDisplayTitle");
        row("btnTitleIcon", "QPushButton", "gbDisplayTitle");
        row("edTitle1", "QLineEdit", "gbDisplayTitle");
        row("btnSetTitle1", "QPushButton", "gbDisplayTitle");
        row("btnClrTitle1", "QPushButton", "gbDisplayTitle");
        row("edTitle2", "QLineEdit", "gbDisplayTitle");
        row("btnSetTitle2", "QPushButton", "gbDisplayTitle");
        row("btnClrTitle2", "QPushButton", "gbDisplayTitle");
        row("edSmallMessage", "QLineEdit", "gbSmallMessage");
        row("btnSmallMessage", "QPushButton", "gbSmallMessage");
        row("edScreenMessage", "QLineEdit", "gbSmallMessage");
        row("btnScreenMessage", "QPushButton", "gbSmallMessage");
        row("btnClrMessage", "QPushButton", "gbSmallMessage");

        page = "tsFingerprint";
        for (const char* name :
             {"gbFacilityFinger", "gbFingerprint", "gbFingerScan", "gbStandFinger"})
            row(name, "QGroupBox", "gbOther");
        row("sbFacility", "QScrollBar", "gbFacilityFinger");
        row("pnFacility", "QLabel", "gbFacilityFinger");
        row("btnFingerFacility", "QPushButton", "gbFacilityFinger");
        row("lblFingerNo", "QLabel", "gbFingerprint");
        row("sbFingerNo", "QScrollBar", "gbFingerprint");
        row("pnFingerNo", "QLabel", "gbFingerprint");
        row("btnAddFinger", "QPushButton", "gbFingerprint");
        row("btnDelFinger", "QPushButton", "gbFingerprint");
        row("lblCardIDFinger", "QLabel", "gbFingerprint");
        row("edCard", "QLineEdit", "gbFingerprint");
        row("btnGetFingerID", "QPushButton", "gbFingerprint");
        row("btnSetFingerID", "QPushButton", "gbFingerprint");
        row("edF1", "QLineEdit", "gbFingerprint");
        row("edF2", "QLineEdit", "gbFingerprint");
        row("edF3", "QLineEdit", "gbFingerprint");
        row("btnGetTemplate", "QPushButton", "gbFingerprint");
        row("btnPutTemplate", "QPushButton", "gbFingerprint");
        row("cmbFingerScan", "QComboBox", "gbFingerScan");
        row("btnFingerScan", "QPushButton", "gbFingerScan");
        row("btnStandFinger", "QPushButton", "gbStandFinger");
        row("btnDoorFinger", "QPushButton", "gbStandFinger");
        row("edDoorFinger", "QLineEdit", "gbStandFinger");
        row("lblDoorFingerSec", "QLabel", "gbStandFinger");
        row("btnAlarmFinger", "QPushButton", "gbStandFinger");
        row("edAlarmFinger", "QLineEdit", "gbStandFinger");
        row("lblAlarmFingerSec", "QLabel", "gbStandFinger");
        row("btnSetCardFinger", "QPushButton", "gbStandFinger");
        row("btnDuressFinger", "QPushButton", "gbStandFinger");
        row("btnClrCardFinger", "QPushButton", "gbStandFinger");
        row("btnStandFingerDefault", "QPushButton", "gbStandFinger");
    }
    void placement() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, group);
        QFETCH(QString, page);
        QWidget* found = control(name);
        QVERIFY(found);
        QVERIFY2(found->inherits(kind.toLatin1().constData()), found->metaObject()->className());
        QCOMPARE(found->accessibleDescription(), name);
        QCOMPARE(GroupOf(found), group);
        QCOMPARE(PageOf(found), page);
    }

    void lists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("initial");
        QTest::newRow("cmbLanguage")
            << "cmbLanguage" << QStringList{"English", "Traditional Chinese", "Simplified Chinese"}
            << 0;
        QTest::newRow("cmbScreen") << "cmbScreen" << QStringList{"Date/Time", "Time"} << 0;
        QTest::newRow("cmbHour") << "cmbHour" << QStringList{"12H", "24H"} << 0;
        QTest::newRow("cmbTitle") << "cmbTitle"
                                  << QStringList{"No Title", "Text Title", "Text & Icon Title"}
                                  << 0;
        QTest::newRow("cmbFingerScan")
            << "cmbFingerScan"
            << QStringList{"Alway Scan", "Alway Scan, Reset", "Sensor Scan", "Sensor Scan, Reset"}
            << 3;
    }
    void lists() {
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        QFETCH(int, initial);
        // The items are the reader's own names: the same in every language.
        for (const char* action : {"mnuEnglish", "mnuTraditional"}) {
            language(action);
            auto* list = control<QComboBox>(name);
            QVERIFY(list);
            QVERIFY(!list->isEditable());
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
            QCOMPARE(shown, items);
            QCOMPARE(list->currentIndex(), initial);
        }
    }

    void edits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("mask");
        const int free = QLineEdit().maxLength();
        QTest::newRow("edPassword") << "edPassword"
                                    << "5831" << 4 << "";
        QTest::newRow("edTitle1") << "edTitle1"
                                  << "KORVA Technology" << 16 << "";
        QTest::newRow("edTitle2") << "edTitle2"
                                  << "Office" << 16 << "";
        QTest::newRow("edSmallMessage") << "edSmallMessage"
                                        << "Hello!" << 64 << "";
        QTest::newRow("edScreenMessage") << "edScreenMessage"
                                         << "Welcome" << 128 << "";
        QTest::newRow("edCard") << "edCard"
                                << "0000000000000000" << 16 << "";
        QTest::newRow("edF1") << "edF1" << kZeros255 << 256 << "";
        QTest::newRow("edF2") << "edF2" << kZeros255 << free << "";
        QTest::newRow("edF3") << "edF3" << kZeros255 << free << "";
        QTest::newRow("edDoorFinger") << "edDoorFinger"
                                      << "0005" << 4 << "0000;_";
        QTest::newRow("edAlarmFinger") << "edAlarmFinger"
                                       << "0030" << 4 << "0000;_";
    }
    void edits() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QFETCH(QString, mask);
        auto* edit = control<QLineEdit>(name);
        QVERIFY(edit);
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->maxLength(), maxLength);
        QCOMPARE(edit->inputMask(), mask);
        QVERIFY(!edit->isReadOnly());
    }

    void secondsBoxShowBlanks() {
        auto* door = control<QLineEdit>("edDoorFinger");
        door->clear();
        QCOMPARE(door->displayText(), QString("____"));
        QTest::keyClicks(door, "12");
        QCOMPARE(door->displayText(), QString("12__"));
        QCOMPARE(door->text(), QString("12"));
    }

    void scrollBars_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("largeStep");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("shown");
        QTest::newRow("sbFacility") << "sbFacility" << 0 << 65535 << 10 << 0 << "pnFacility"
                                    << "00000";
        QTest::newRow("sbFingerNo") << "sbFingerNo" << 0 << 9500 << 10 << 1 << "pnFingerNo"
                                    << "000001";
    }
    void scrollBars() {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, largeStep);
        QFETCH(int, position);
        QFETCH(QString, panel);
        QFETCH(QString, shown);
        auto* bar = control<QScrollBar>(name);
        QVERIFY(bar);
        QCOMPARE(bar->minimum(), minimum);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->pageStep(), largeStep);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->value(), position);
        QCOMPARE(control<QLabel>(panel)->text(), shown);
    }

    void panelFollowsBar_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("position");  // -1: a large step up by keyboard
        QTest::addColumn<QString>("shown");
        QTest::newRow("facility 7") << "sbFacility"
                                    << "pnFacility" << 7 << "00007";
        QTest::newRow("facility 4321") << "sbFacility"
                                       << "pnFacility" << 4321 << "04321";
        QTest::newRow("facility maximum") << "sbFacility"
                                          << "pnFacility" << 65535 << "65535";
        QTest::newRow("facility large step") << "sbFacility"
                                             << "pnFacility" << -1 << "00010";
        QTest::newRow("finger 0") << "sbFingerNo"
                                  << "pnFingerNo" << 0 << "000000";
        QTest::newRow("finger 5") << "sbFingerNo"
                                  << "pnFingerNo" << 5 << "000005";
        QTest::newRow("finger maximum") << "sbFingerNo"
                                        << "pnFingerNo" << 9500 << "009500";
        QTest::newRow("finger past maximum") << "sbFingerNo"
                                             << "pnFingerNo" << 9999 << "009500";
        QTest::newRow("finger large step") << "sbFingerNo"
                                           << "pnFingerNo" << -1 << "000011";
    }
    void panelFollowsBar() {
        QFETCH(QString, bar);
        QFETCH(QString, panel);
        QFETCH(int, position);
        QFETCH(QString, shown);
        auto* scroll = control<QScrollBar>(bar);
        if (position < 0)
            QTest::keyClick(scroll, Qt::Key_PageDown);
        else
            scroll->setValue(position);
        QCOMPARE(control<QLabel>(panel)->text(), shown);
    }

    void byteLimits_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("kept");
        const QString hanzi = QString::fromUtf8("一二三四五六七八九");
        const QString zhong = QString::fromUtf8("中");
        QTest::newRow("English title by characters")
            << "mnuEnglish"
            << "edTitle1"
            << "ABCDEFGHIJKLMNOPQR" << false << "ABCDEFGHIJKLMNOP";
        QTest::newRow("Simplified title holds 8 hanzi")
            << "mnuSimplified"
            << "edTitle1" << hanzi << false << hanzi.left(8);
        QTest::newRow("Traditional title holds 8 hanzi")
            << "mnuTraditional"
            << "edTitle2" << hanzi << false << hanzi.left(8);
        QTest::newRow("odd byte left over") << "mnuSimplified"
                                            << "edTitle1"
                                            << "A" + hanzi << false << "A" + hanzi.left(7);
        QTest::newRow("English hanzi count as one byte")
            << "mnuEnglish"
            << "edTitle1" << hanzi + hanzi << false << (hanzi + hanzi).left(16);
        QTest::newRow("password in Chinese")
            << "mnuSimplified"
            << "edPassword" << zhong + zhong + zhong << false << zhong + zhong;
        QTest::newRow("paste cut short")
            << "mnuTraditional"
            << "edSmallMessage" << QString(40, zhong.at(0)) << true << QString(32, zhong.at(0));
        QTest::newRow("screen message 128 bytes")
            << "mnuSimplified"
            << "edScreenMessage" << QString(70, zhong.at(0)) << true << QString(64, zhong.at(0));
        QTest::newRow("fingerprint ID")
            << "mnuSimplified"
            << "edCard" << zhong + "0123456789ABCDEF" << false << zhong + "0123456789ABCD";
        QTest::newRow("command test")
            << "mnuEnglish"
            << "edTest" << QString(1040, 'A') << true << QString(1037, 'A');
        QTest::newRow("addressed command test")
            << "mnuSimplified"
            << "edTest2"
            << "A" + QString(520, zhong.at(0)) << true << "A" + QString(519, zhong.at(0));
        QTest::newRow("template part 1")
            << "mnuSimplified"
            << "edF1" << QString(200, zhong.at(0)) << true << QString(128, zhong.at(0));
    }
    void byteLimits() {
        QFETCH(QString, language);
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, pasted);
        QFETCH(QString, kept);
        this->language(language.toLatin1().constData());
        auto* edit = control<QLineEdit>(name);
        edit->clear();
        if (pasted) {
            edit->insert(typed);
        } else {
            TypeText(edit, typed);
        }
        QCOMPARE(edit->text(), kept);
        const auto* limit = qobject_cast<const app::ReaderTextValidator*>(edit->validator());
        QCOMPARE(
            control<QLabel>("sbCommReceived")->text(),
            text::Text(Msg::ReaderTextLimited, f_->window().language()).arg(limit->maxBytes()));
    }

    // A text that the language switch made too long can be shortened but not lengthened.
    void overlongTextAfterSwitch() {
        auto* title = control<QLineEdit>("edTitle1");
        const QString accents(16, QChar(0x00E9));  // one byte each in Windows-1252, two in GBK
        title->clear();
        title->insert(accents);
        QCOMPARE(title->text(), accents);
        language("mnuSimplified");
        title->end(false);
        QTest::keyClick(title, Qt::Key_A);
        QCOMPARE(title->text(), accents);
        QTest::keyClick(title, Qt::Key_Backspace);
        QCOMPARE(title->text(), accents.left(15));
    }

    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("msg");
        QTest::addColumn<QString>("suffix");
        const auto row = [](const char* name, Msg msg, const char* suffix = "") {
            QTest::newRow(name) << name << static_cast<int>(msg) << suffix;
        };
        row("gbDisplaySystem", Msg::SystemParameterSetting);
        row("btnLanguage", Msg::SetLanguage);
        row("btnPassword", Msg::SetPassword);
        row("lblPassword", Msg::Password);
        row("btnScreen", Msg::SetScreenMode);
        row("btnDateTime", Msg::SetTimeMode);
        row("gbDisplayTitle", Msg::TitleIdleMessage);
        row("btnSetTitleMode", Msg::SetTitleMode);
        row("btnTitleIcon", Msg::SetIcon);
        row("btnSetTitle1", Msg::SetTitle, " #1");
        row("btnSetTitle2", Msg::SetTitle, " #2");
        row("gbSmallMessage", Msg::ScreenSmallMessage);
        row("btnScreenMessage", Msg::SetScreenMessage);
        row("btnSmallMessage", Msg::SetSmallMessage);
        row("gbFacilityFinger", Msg::FacilityCodeAddFingerprint);
        row("btnFingerFacility", Msg::SetFacilityCode);
        row("gbFingerprint", Msg::Fingerprint);
        row("lblFingerNo", Msg::FingerprintNo);
        row("btnAddFinger", Msg::AddFingerprint);
        row("btnDelFinger", Msg::DelFingerprint);
        row("lblCardIDFinger", Msg::FingerprintId);
        row("btnGetFingerID", Msg::GetFingerprintId);
        row("btnSetFingerID", Msg::SetFingerprintId);
        row("btnPutTemplate", Msg::SetTemplateData);
        row("btnGetTemplate", Msg::GetTemplateData);
        row("gbFingerScan", Msg::SetFingerprintScanMode);
        row("btnFingerScan", Msg::SetScanMode);
        row("gbStandFinger", Msg::StandAloneVersion);
        row("btnStandFinger", Msg::SetStandAloneMode);
        row("btnDoorFinger", Msg::SetDoorTime);
        row("lblDoorFingerSec", Msg::SecDot);
        row("btnAlarmFinger", Msg::SetAlarmTime);
        row("lblAlarmFingerSec", Msg::SecDot);
        row("btnSetCardFinger", Msg::SetAddCard);
        row("btnDuressFinger", Msg::SetDuressCard);
        row("btnClrCardFinger", Msg::SetClearCard);
        row("btnStandFingerDefault", Msg::StandAloneDefault);
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(int, msg);
        QFETCH(QString, suffix);
        QWidget* found = control(name);
        QVERIFY(found);
        // The layout's own caption is the English one, before any language is applied.
        QCOMPARE(CaptionOf(found), text::Text(Msg(msg), text::kEnglish) + suffix);
        language("mnuTraditional");
        QCOMPARE(CaptionOf(found), text::Text(Msg(msg), text::kTraditionalChinese) + suffix);
        language("mnuSimplified");
        QCOMPARE(CaptionOf(found), text::Text(Msg(msg), text::kSimplifiedChinese) + suffix);
    }

    void clearButtonsArePictures() {
        for (const char* name : {"btnClrTitle1", "btnClrTitle2", "btnClrMessage"}) {
            auto* button = control<QAbstractButton>(name);
            QVERIFY(button->text().isEmpty());
            QVERIFY(!button->icon().isNull());
        }
    }

    void standAloneSettingsStartHidden() {
        f_->showPage("tsFingerprint");
        QVERIFY(control("btnStandFinger")->isVisible());
        for (const char* name :
             {"btnDoorFinger", "lblDoorFingerSec", "edDoorFinger", "btnAlarmFinger",
              "lblAlarmFingerSec", "edAlarmFinger", "btnSetCardFinger", "btnDuressFinger",
              "btnClrCardFinger", "btnStandFingerDefault"})
            QVERIFY2(control(name)->isHidden(), name);
        // A language switch brings none of them back.
        language("mnuSimplified");
        QVERIFY(control("edDoorFinger")->isHidden());
    }

    void iconCanvas() {
        auto* canvas = control<app::IconCanvas>("imgTitle");
        QCOMPARE(canvas->size(), QSize(258, 36));
        QVERIFY(canvas->image().isNull());
        const auto corners = [](int x, int y) {
            return (x == 0 && y == 0) || (x == 127 && y == 15);
        };
        canvas->drawIcon(corners);
        const QImage& image = canvas->image();
        QCOMPARE(image.size(), QSize(258, 36));
        const auto black = [&](int x, int y) {
            return image.pixelColor(x, y) == QColor(Qt::black);
        };
        QVERIFY(black(0, 0) && black(1, 1));
        QVERIFY(!black(2, 0) && !black(0, 2));
        QVERIFY(black(254, 30) && black(255, 31));
        QVERIFY(!black(253, 31) && !black(256, 31) && !black(257, 35));
        // The next icon replaces the previous one entirely.
        canvas->drawIcon([](int, int) { return false; });
        QVERIFY(!black(0, 0) && !black(255, 31));
    }
};

QTEST_MAIN(TestDisplayLayout)
#include "tst_display_layout.moc"
