// Keypad settings set and got against a simulated PX40 reader.
#include <QComboBox>
#include <QScrollBar>

#include "SimLines.h"
#include "WindowFixture.h"

using tbsim::ReaderKind;

class TestKeypad : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void setCommands_data();
    void setCommands();
    void getCommands();
    void getPutsOutOfRangeValuesAtTheEnd();

private:
    std::unique_ptr<SimLines> lines_;
    tbsim::SimLine* line_ = nullptr;
    tbsim::SimReader* reader_ = nullptr;
    std::unique_ptr<WindowFixture> f_;
};

void TestKeypad::init() {
    lines_ = std::make_unique<SimLines>();
    line_ = &lines_->add();
    reader_ = lines_->addReader(*line_, ReaderKind::PX40, 1);
    f_ = std::make_unique<WindowFixture>();
    f_->open(lines_->ports());
    f_->selectReaderType(commands::ReaderType::PX40);
    f_->control<QComboBox>("cmbPort")->setEditText("COM1");
    f_->click("btnLink");
    QCOMPARE(f_->text("pnMsg"), QString("Reader find ok. (COM : #1)"));
    line_->clearLog();
}

void TestKeypad::cleanup() {
    f_.reset();
    lines_.reset();
}

void TestKeypad::setCommands_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::newRow("key number 4") << "btnKeyNumber"
                                  << "H01L04"
                                  << "Set key number ok.";
    QTest::newRow("key status 2, 15 s") << "btnKeyStatus"
                                        << "H01N0215"
                                        << "Set key status code ok.";
    QTest::newRow("with parity") << "btnKeyParity"
                                 << "H01M1"
                                 << "Set key parity ok.";
}

void TestKeypad::setCommands() {
    QFETCH(QString, button);
    QFETCH(QString, command);
    QFETCH(QString, message);
    f_->control<QScrollBar>("sbKeyNumber")->setValue(4);
    f_->control<QScrollBar>("sbKeyStatusNumber")->setValue(2);
    f_->control<QScrollBar>("sbKeyDelayTime")->setValue(15);
    f_->control<QComboBox>("cmbKeyParity")->setCurrentIndex(1);
    f_->click(button.toLatin1().constData());
    QCOMPARE(line_->receivedCommands(), (std::vector<std::string>{"H01B", command.toStdString()}));
    QCOMPARE(f_->text("pnMsg"), message);
    const auto config = reader_->config();
    if (button == "btnKeyNumber") QCOMPARE(config.keyNumber, 4);
    if (button == "btnKeyStatus") QCOMPARE(config.keyDelaySeconds, 15);
    if (button == "btnKeyParity") QCOMPARE(config.keyParity, 1);
}

void TestKeypad::getCommands() {
    auto config = reader_->config();
    config.keyStatusNumber = 3;
    config.keyDelaySeconds = 5;
    config.keyParity = 1;
    reader_->setConfig(config);
    f_->control<QComboBox>("cmbKeyParity")->setCurrentIndex(0);
    f_->click("btnGetKeyStatus");
    QCOMPARE(f_->text("pnMsg"), QString("Get key status code ok."));
    QCOMPARE(f_->text("pnKeyStatusNumber"), QString("03"));
    QCOMPARE(f_->text("pnKeyDelayTime"), QString("05"));
    f_->click("btnGetKeyParity");
    QCOMPARE(f_->control<QComboBox>("cmbKeyParity")->currentIndex(), 1);
    QCOMPARE(line_->receivedCommands(), (std::vector<std::string>{"H01B", "H01N", "H01B", "H01M"}));
}

void TestKeypad::getPutsOutOfRangeValuesAtTheEnd() {
    auto config = reader_->config();
    config.keyNumber = 20;
    reader_->setConfig(config);
    f_->click("btnGetKeyNumber");
    QCOMPARE(f_->text("pnMsg"), QString("Get key number ok."));
    QCOMPARE(f_->control<QScrollBar>("sbKeyNumber")->value(), 16);
    QCOMPARE(f_->text("pnKeyNumber"), QString("16"));
}

QTEST_MAIN(TestKeypad)
#include "tst_keypad.moc"
