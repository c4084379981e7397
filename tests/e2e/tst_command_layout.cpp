// The pages Common, EM/TEMIC and Keypad: every control where the reader commands and the
// settings read-out expect it, with its initial value, and the panels that follow the keypad
// scroll bars.
#include <QLineEdit>
#include <QScrollBar>

#include "WindowFixture.h"

using text::Msg;

class TestCommandLayout : public QObject {
    Q_OBJECT

private slots:
    void init() { f_.init(); }
    void cleanup() { f_.cleanup(); }
    void cleanupTestCase() { f_.cleanupTestCase(); }
    void placement_data();
    void placement();
    void scrollBars_data();
    void scrollBars();
    void lists_data();
    void lists();
    void commandTestTexts();
    void keyStatusGroupShownAtStart();
    void panelFollowsScrollBar_data();
    void panelFollowsScrollBar();
    void captionsInTraditionalChinese_data();
    void captionsInTraditionalChinese();

private:
    template <typename T>
    T* control(const char* name) {
        return f_->control<T>(name);
    }

    // Other rows move scroll bars and type.
    RowWindow f_{{"placement", "scrollBars", "lists", "captionsInTraditionalChinese"}};
};

void TestCommandLayout::placement_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("controls");

    QTest::newRow("gbMode") << "tsCommand"
                            << QStringList{"lblInterface", "cmbMode",  "lblWiegand", "cmbWiegand",
                                           "lblRS485",     "cmbRS485", "btnMode",    "btnGetMode"};
    QTest::newRow("gbCardRead") << "tsCommand"
                                << QStringList{"lblResetMode", "cmbResetMode", "btnCardRead"};
    QTest::newRow("gbTest") << "tsCommand"
                            << QStringList{"edTest", "btnTest", "edTest2", "btnTest2"};
    QTest::newRow("gbUtility") << "tsCommand" << QStringList{"btnReboot", "btnFactory"};
    QTest::newRow("gbCardType") << "tsEM"
                                << QStringList{"lblCardType", "cmbCardType", "btnCardType"};
    QTest::newRow("gbKeyParity") << "tsKeypad"
                                 << QStringList{"lblKeyParity", "cmbKeyParity", "btnKeyParity",
                                                "btnGetKeyParity"};
    QTest::newRow("gbKeyNumber") << "tsKeypad"
                                 << QStringList{"lblKeyNumber", "pnKeyNumber", "sbKeyNumber",
                                                "btnKeyNumber", "btnGetKeyNumber"};
    QTest::newRow("gbKeyStatus") << "tsKeypad"
                                 << QStringList{"lblKeyStatusNumber", "pnKeyStatusNumber",
                                                "sbKeyStatusNumber",  "lblKeyDelayTime",
                                                "pnKeyDelayTime",     "sbKeyDelayTime",
                                                "lblKeySec",          "btnKeyStatus",
                                                "btnGetKeyStatus"};
}

void TestCommandLayout::placement() {
    QFETCH(QString, page);
    QFETCH(QStringList, controls);
    const QString group = QString::fromLatin1(QTest::currentDataTag());
    QWidget* box = control<QGroupBox>(group.toLatin1());
    QVERIFY(control<QWidget>(page.toLatin1())->isAncestorOf(box));
    // The kind follows from the name's prefix.
    const QList<QPair<QString, const char*>> kinds = {{"cmb", "QComboBox"}, {"btn", "QPushButton"},
                                                      {"sb", "QScrollBar"}, {"ed", "QLineEdit"},
                                                      {"pn", "QLabel"},     {"lbl", "QLabel"}};
    for (const QString& name : controls) {
        const QList<QWidget*> matches = f_->window().findChildren<QWidget*>(name);
        QVERIFY2(matches.size() == 1, qPrintable(name));
        QWidget* widget = matches.first();
        QCOMPARE(widget->parentWidget(), box);
        QCOMPARE(widget->accessibleDescription(), name);
        for (const auto& kind : kinds)
            if (name.startsWith(kind.first))
                QVERIFY2(widget->inherits(kind.second), qPrintable(name));
    }
}

void TestCommandLayout::scrollBars_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("largeStep");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("panelText");
    QTest::addColumn<QString>("accessibleName");

    QTest::newRow("key number") << "sbKeyNumber" << 0 << 16 << 3 << 4 << "pnKeyNumber"
                                << "04"
                                << "Key Number:";
    QTest::newRow("key-status key")
        << "sbKeyStatusNumber" << 0 << 8 << 3 << 0 << "pnKeyStatusNumber"
        << "00"
        << "Key Number:";
    QTest::newRow("delay time") << "sbKeyDelayTime" << 0 << 99 << 10 << 3 << "pnKeyDelayTime"
                                << "03"
                                << "Delay time:";
}

void TestCommandLayout::scrollBars() {
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, largeStep);
    QFETCH(int, position);
    QFETCH(QString, panel);
    QFETCH(QString, panelText);
    QFETCH(QString, accessibleName);
    auto* bar = control<QScrollBar>(name.toLatin1());
    QCOMPARE(bar->minimum(), minimum);
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->pageStep(), largeStep);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->value(), position);
    QCOMPARE(control<QLabel>(panel.toLatin1())->text(), panelText);
    QCOMPARE(bar->accessibleName(), accessibleName);
}

void TestCommandLayout::lists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("initial");
    QTest::addColumn<QString>("accessibleName");

    QTest::newRow("interface") << "cmbMode" << QStringList{"Wiegand", "RS485"} << 0 << "Interface:";
    QTest::newRow("wiegand") << "cmbWiegand"
                             << QStringList{"Wiegand 26", "Wiegand 34", "Wiegand 42"} << 0
                             << "Wiegand:";
    QTest::newRow("rs485 starts at 32")
        << "cmbRS485" << QStringList{"RS485 24", "RS485 32", "RS485 40", "RS485 64"} << 1
        << "RS485:";
    QTest::newRow("reset mode starts enabled")
        << "cmbResetMode" << QStringList{"Disable", "Enabled"} << 1 << "Reset mode:";
    QTest::newRow("card type") << "cmbCardType" << QStringList{"EM", "KORVA", "SECURITY"} << 0
                               << "Card type:";
    QTest::newRow("key parity") << "cmbKeyParity" << QStringList{"No Parity 4 bits", "With Parity"}
                                << 0 << "Wiegand key:";
}

void TestCommandLayout::lists() {
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(int, initial);
    QFETCH(QString, accessibleName);
    auto* list = control<QComboBox>(name.toLatin1());
    QVERIFY(!list->isEditable());
    QStringList actual;
    for (int i = 0; i < list->count(); ++i) actual << list->itemText(i);
    QCOMPARE(actual, items);
    QCOMPARE(list->currentIndex(), initial);
    QCOMPARE(list->accessibleName(), accessibleName);
}

void TestCommandLayout::commandTestTexts() {
    auto* first = control<QLineEdit>("edTest");
    auto* second = control<QLineEdit>("edTest2");
    QCOMPARE(first->text(), QString("H1"));
    QCOMPARE(second->text(), QString("00H1"));
    // Reader commands mix cases ("Zi", "a..."), so what is typed goes out unchanged.
    second->clear();
    QTest::keyClicks(second, "01Zi");
    QCOMPARE(second->text(), QString("01Zi"));
    QVERIFY(!second->isReadOnly());
}

void TestCommandLayout::keyStatusGroupShownAtStart() {
    // Only the settings read-out hides it, for the one keypad reader without key status.
    QVERIFY(!control<QGroupBox>("gbKeyStatus")->isHidden());
}

void TestCommandLayout::panelFollowsScrollBar_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<int>("from");     // the position before the move
    QTest::addColumn<QString>("how");  // "set" a position, a key, or a step in the trough
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* tag, const char* bar, int from, const char* how, int position,
                        const char* expected) {
        QString panel = QString::fromLatin1(bar).replace(0, 2, "pn");
        QTest::newRow(tag) << bar << panel << from << how << position << expected;
    };
    row("key number to 7", "sbKeyNumber", 4, "set", 7, "07");
    row("key number top", "sbKeyNumber", 4, "set", 16, "16");
    row("key number beyond top", "sbKeyNumber", 4, "set", 20, "16");
    row("key number Home key", "sbKeyNumber", 9, "Home", 0, "00");
    row("key number step", "sbKeyNumber", 0, "step", 0, "01");
    row("key status End key", "sbKeyStatusNumber", 0, "End", 0, "08");
    row("key status 3", "sbKeyStatusNumber", 0, "set", 3, "03");
    row("delay 0", "sbKeyDelayTime", 3, "set", 0, "00");
    row("delay large step", "sbKeyDelayTime", 0, "largeStep", 0, "10");
    row("delay 99", "sbKeyDelayTime", 3, "set", 99, "99");
    row("delay below 0", "sbKeyDelayTime", 3, "set", -5, "00");
}

void TestCommandLayout::panelFollowsScrollBar() {
    QFETCH(QString, bar);
    QFETCH(QString, panel);
    QFETCH(int, from);
    QFETCH(QString, how);
    QFETCH(int, position);
    QFETCH(QString, expected);
    auto* scrollBar = control<QScrollBar>(bar.toLatin1());
    scrollBar->setValue(from);
    if (how == "set")
        scrollBar->setValue(position);
    else if (how == "Home")
        QTest::keyClick(scrollBar, Qt::Key_Home);
    else if (how == "End")
        QTest::keyClick(scrollBar, Qt::Key_End);
    else if (how == "step")
        scrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    else
        scrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(control<QLabel>(panel.toLatin1())->text(), expected);
}

void TestCommandLayout::captionsInTraditionalChinese_data() {
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<int>("msg");
    QTest::addColumn<QString>("suffix");

    const auto row = [](const char* tag, QStringList controls, Msg msg, const char* suffix = "") {
        QTest::newRow(tag) << controls << int(msg) << suffix;
    };
    row("set reader interface", {"gbMode", "btnMode"}, Msg::SetReaderInterface);
    row("interface", {"lblInterface"}, Msg::Interface);
    row("wiegand", {"lblWiegand"}, Msg::Wiegand);
    row("get", {"btnGetMode", "btnGetKeyParity", "btnGetKeyNumber", "btnGetKeyStatus"}, Msg::Get);
    row("card read mode", {"gbCardRead", "btnCardRead"}, Msg::SetCardReadMode);
    row("reset mode", {"lblResetMode"}, Msg::ResetMode, ":");
    row("command test", {"gbTest", "btnTest", "btnTest2"}, Msg::CommandTest);
    row("system utility", {"gbUtility"}, Msg::SystemUtility);
    row("reboot", {"btnReboot"}, Msg::SetReboot);
    row("factory default", {"btnFactory"}, Msg::SetFactoryDefault);
    row("set card type", {"gbCardType", "btnCardType"}, Msg::SetCardType);
    row("card type", {"lblCardType"}, Msg::CardType);
    row("key parity", {"gbKeyParity", "btnKeyParity"}, Msg::SetKeyParity);
    row("wiegand key", {"lblKeyParity"}, Msg::WiegandKey);
    row("set key number", {"gbKeyNumber", "btnKeyNumber"}, Msg::SetKeyNumber);
    row("key number", {"lblKeyNumber", "lblKeyStatusNumber"}, Msg::KeyNumber);
    row("key status", {"gbKeyStatus", "btnKeyStatus"}, Msg::SetKeyStatusCode);
    row("delay time", {"lblKeyDelayTime"}, Msg::DelayTime);
    row("seconds", {"lblKeySec"}, Msg::Sec);
}

void TestCommandLayout::captionsInTraditionalChinese() {
    QFETCH(QStringList, controls);
    QFETCH(int, msg);
    QFETCH(QString, suffix);
    f_->switchLanguage("mnuTraditional");
    for (const QString& name : controls) {
        QCOMPARE(CaptionOf(control<QWidget>(name.toLatin1())),
                 text::Text(Msg(msg), text::kTraditionalChinese) + suffix);
    }
    // The interface's own name stays as it is.
    QCOMPARE(control<QLabel>("lblRS485")->text(), QString("RS485:"));
}

QTEST_MAIN(TestCommandLayout)
#include "tst_command_layout.moc"
