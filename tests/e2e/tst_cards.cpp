// Continuous card reading against a simulated reader: what the window shows, how a loop is
// stopped by the user or by a vanished line, and the two card settings on the wire.
#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <functional>

#include "SimLines.h"
#include "WindowFixture.h"
#include "text/Catalogue.h"

using tbsim::ReaderKind;

namespace {

struct Bench {
    SimLines lines;
    tbsim::SimLine* line = nullptr;
    tbsim::SimReader* reader = nullptr;
    WindowFixture f;
    app::TfrmModule* window = nullptr;

    Bench() {
        line = &lines.add();
        reader = lines.addReader(*line, ReaderKind::PX10, 1);
        window = &f.open(lines.ports());
        f.control<QComboBox>("cmbPort")->setEditText("COM1");
        f.click("btnLink");
        line->clearLog();
        f.tones.clear();
    }

    // Clicks `button` to start a loop; `during` runs inside the loop once `until` holds
    // (checked every 20 ms, at most 10 s), then the same button is clicked to stop it unless
    // `stop` is false (the loop must then end by itself).
    void readWhile(const char* button, const std::function<bool()>& until,
                   const std::function<void()>& during = {}, bool stop = true) {
        QTimer watch;
        watch.setInterval(20);
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!window->continuousRead()) return watch.stop();
            if (!until() && clock.elapsed() < 10000) return;
            watch.stop();
            if (during) during();
            if (stop && window->continuousRead()) f.click(button);
        });
        watch.start();
        f.click(button);
    }
};

}  // namespace

class TestCards : public QObject {
    Q_OBJECT
private slots:
    void plainReadingShowsCardsAndKeys_data();
    void plainReadingShowsCardsAndKeys();
    void shortReplyChangesNothing();
    void stopClickEndsTheLoop();
    void screenReadersHearTheShownCaption_data();
    void screenReadersHearTheShownCaption();
    void twoWayReadingAnswersEveryCard();
    void vanishedLineEndsTheLoop();
    void linkDuringReadingLeavesTheLoopItsPort();
    void portThatDoesNotOpen();
    void notLinkedOnlyBeeps();
    void cardSettingsOnTheWire();
};

void TestCards::plainReadingShowsCardsAndKeys_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("shown");
    QTest::newRow("17-byte card") << "000A0B0C0"
                                  << "Card ID : 0010531008(D)  00A0B0C0(H)";
    QTest::newRow("keypad entry") << "0K1234"
                                  << "KEY : 1234";
    QTest::newRow("16-digit card") << "000123456789ABCDEF"
                                   << "Card ID : 0123456789ABCDEF(H)";
}

void TestCards::plainReadingShowsCardsAndKeys() {
    QFETCH(QString, data);
    QFETCH(QString, shown);
    Bench bench;
    bench.reader->presentCard(data.toStdString());
    QColor lampWhileReading;
    bench.readWhile(
        "btnReadCard", [&] { return bench.f.text("pnMsg") == shown; },
        [&] { lampWhileReading = bench.f.control<app::Lamp>("shCard")->color(); });
    QCOMPARE(bench.f.text("pnMsg"), shown);
    QCOMPARE(lampWhileReading, app::kLampYellow);
    QCOMPARE(bench.f.control<app::Lamp>("shCard")->color(), app::kLampWhite);
    QCOMPARE(bench.line->receivedCommands().front(), std::string("A01F"));
}

void TestCards::shortReplyChangesNothing() {
    Bench bench;
    auto config = bench.reader->config();
    config.pollDataOverride = "X";  // a 9-byte reply
    bench.reader->setConfig(config);
    QColor lamp;
    bench.readWhile(
        "btnReadCard", [&] { return bench.line->receivedCommands().size() >= 3; },
        [&] { lamp = bench.f.control<app::Lamp>("shCard")->color(); });
    QCOMPARE(lamp, app::kLampWhite);
    QCOMPARE(bench.f.text("pnMsg"), QString());  // cleared at the start, never written
}

void TestCards::stopClickEndsTheLoop() {
    Bench bench;
    bool closed = true;
    QString caption;
    bool othersLocked = false;
    bench.readWhile(
        "btnReadCard", [&] { return !bench.line->receivedCommands().empty(); },
        [&] {
            caption = bench.f.control<QPushButton>("btnReadCard")->text();
            othersLocked = !bench.f.control("btnEncode")->isEnabled() &&
                           !bench.f.control("btnScan")->isEnabled() &&
                           !bench.f.control("gbOther")->isEnabled() &&
                           bench.f.control("btnLink")->isEnabled();
            closed = bench.window->close();  // refused while reading
        });
    QCOMPARE(caption, QString("Cancel read card"));
    QVERIFY(othersLocked);
    QVERIFY(!closed);
    QVERIFY(!bench.window->continuousRead());
    QCOMPARE(bench.f.control<QPushButton>("btnReadCard")->text(), QString("Read card"));
    QVERIFY(bench.f.control("btnEncode")->isEnabled());
    QVERIFY(bench.f.control("gbOther")->isEnabled());
    QCOMPARE(bench.f.commLamp(), app::kLampYellow);
    QCOMPARE(bench.f.tones.back(), (Tone{1000, 300}));
    QVERIFY(bench.window->isEnabled());
}

void TestCards::screenReadersHearTheShownCaption_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("language");
    QTest::newRow("English") << "mnuEnglish" << int(text::kEnglish);
    QTest::newRow("Simplified Chinese") << "mnuSimplified" << int(text::kSimplifiedChinese);
    QTest::newRow("Traditional Chinese") << "mnuTraditional" << int(text::kTraditionalChinese);
}

// The language switched during the loop: the stop button and its accessible name follow, and
// its own caption returns in that language.
void TestCards::screenReadersHearTheShownCaption() {
    QFETCH(QString, menu);
    QFETCH(int, language);
    Bench bench;
    auto* button = bench.f.control<QPushButton>("btnReadCard");
    QString heardWhileReading;
    bench.readWhile(
        "btnReadCard", [&] { return !bench.line->receivedCommands().empty(); },
        [&] {
            bench.f.switchLanguage(menu.toLatin1().constData());
            heardWhileReading = button->accessibleName();
        });
    QCOMPARE(heardWhileReading, text::Text(text::Msg::CancelReadCard, language));
    QVERIFY(!bench.window->continuousRead());
    QCOMPARE(button->accessibleName(), text::Text(text::Msg::ReadCard, language));
    QCOMPARE(button->text(), text::Text(text::Msg::ReadCard, language));
}

void TestCards::twoWayReadingAnswersEveryCard() {
    Bench bench;
    bench.f.control<QCheckBox>("chkInvalid")->setChecked(true);
    bench.reader->presentCardId("00A0B0C0");
    bench.readWhile("btnEncode", [&] { return bench.reader->config().cardsRefused >= 1; });
    const auto commands = bench.line->receivedCommands();
    const auto card = std::find(commands.begin(), commands.end(), std::string("A01J"));
    QVERIFY(card != commands.end() && card + 2 < commands.end());
    QCOMPARE(*(card + 1), std::string("A01J"));
    QCOMPARE(*(card + 2), std::string("A01H2"));
    QCOMPARE(bench.f.text("pnMsg"), QString("Card ID"));  // two-way reading ends on this
}

void TestCards::vanishedLineEndsTheLoop() {
    Bench bench;
    bench.readWhile(
        "btnReadCard", [&] { return !bench.line->receivedCommands().empty(); },
        [&] { bench.line->hangUp(); }, false);
    QCOMPARE(bench.f.text("pnMsg"), QString("Reader not find"));
    QCOMPARE(bench.f.commLamp(), app::kLampRed);
    QCOMPARE(bench.f.tones.back(), (Tone{300, 300}));
    QVERIFY(!bench.window->continuousRead());
    QVERIFY(bench.window->close());
}

void TestCards::linkDuringReadingLeavesTheLoopItsPort() {
    Bench bench;
    QString linkOutcome;
    std::size_t pollsAtLink = 0;
    QTimer watch;
    watch.setInterval(20);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const std::size_t polls = bench.line->receivedCommands().size();
        if (!bench.window->continuousRead()) return watch.stop();
        if (pollsAtLink == 0 && polls >= 1) {
            bench.f.click("btnLink");  // Link stays usable while reading
            linkOutcome = bench.f.text("pnMsg");
            pollsAtLink = bench.line->receivedCommands().size();
        } else if ((pollsAtLink > 0 && polls >= pollsAtLink + 2) || clock.elapsed() > 10000) {
            watch.stop();
            bench.f.click("btnReadCard");
        }
    });
    watch.start();
    bench.f.click("btnReadCard");

    QCOMPARE(linkOutcome, QString("Reader not find"));
    QVERIFY(bench.line->receivedCommands().size() >= pollsAtLink + 2);  // the loop went on
    for (const std::string& command : bench.line->receivedCommands())
        QCOMPARE(command, std::string("A01F"));      // no probe got between the polls
    QCOMPARE(bench.f.commLamp(), app::kLampYellow);  // stopped by the user, not by a failure
    QVERIFY(!bench.window->continuousRead());
    QVERIFY(bench.window->close());
}

void TestCards::portThatDoesNotOpen() {
    Bench bench;
    platform::PosixSerialChannel holder;  // another program holds the port
    QVERIFY(holder.open(bench.line->devicePath(), "19200,e,8,1"));
    bench.f.click("btnReadCard");
    QCOMPARE(bench.f.text("pnMsg"), QString("Open COM : 1 Error"));
    QCOMPARE(bench.f.commLamp(), app::kLampRed);
    QVERIFY(!bench.window->continuousRead());
    QCOMPARE(bench.f.control<QPushButton>("btnReadCard")->text(), QString("Read card"));

    holder.close();
    bench.readWhile("btnReadCard", [&] { return !bench.line->receivedCommands().empty(); });
    QCOMPARE(bench.line->receivedCommands().front(), std::string("A01F"));
}

void TestCards::notLinkedOnlyBeeps() {
    WindowFixture f;
    app::TfrmModule& window = f.open();
    f.control<app::Lamp>("shComm")->setColor(app::kLampYellow);
    f.click("btnEncode");
    QCOMPARE(f.tones, (std::vector<Tone>{{300, 300}}));
    QCOMPARE(f.commLamp(), app::kLampYellow);
    QVERIFY(!window.continuousRead());
}

void TestCards::cardSettingsOnTheWire() {
    Bench bench;
    bench.f.control<QComboBox>("cmbCardType")->setCurrentIndex(2);  // SECURITY
    bench.f.click("btnCardType");
    QCOMPARE(bench.f.text("pnMsg"), QString("Set card type ok."));
    QCOMPARE(bench.reader->config().cardTypeIndex, 2);
    bench.f.control<QComboBox>("cmbResetMode")->setCurrentIndex(1);
    bench.f.click("btnCardRead");
    QCOMPARE(bench.f.text("pnMsg"), QString("Set card read mode ok."));
    QCOMPARE(bench.line->receivedCommands(),
             (std::vector<std::string>{"A01B", "A01A2", "A01B", "A01W100"}));
}

QTEST_MAIN(TestCards)
#include "tst_cards.moc"
