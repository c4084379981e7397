// The simulated reader's configuration and card commands, on the reader model alone. Every
// expected reply, checksum included, was worked out by hand (or with a separate Python line),
// never printed by this code.
#include <QtTest>

#include "SimAnswers.h"
#include "SimReader.h"

using namespace tbsim;

Q_DECLARE_METATYPE(tbsim::ReaderKind)
Q_DECLARE_METATYPE(tbsim::PollForm)
Q_DECLARE_METATYPE(tbsim::SettingsReplyForm)

class TestSimCommands : public QObject {
    Q_OBJECT

private slots:
    // Commands in `before` are sent first (their replies do not matter); then `command` must
    // get `reply`, or silence when it is empty. Set-then-get rows are the round trips.
    void answers_data() {
        QTest::addColumn<ReaderKind>("kind");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        const auto px10 = ReaderKind::PX10, px40 = ReaderKind::PX40, px30m = ReaderKind::PX30M;
        const QByteArrayList none;

        // Output settings: 12 bytes where the type has a card type, 11 where it has not.
        QTest::newRow("A, PX10 as delivered")
            << px10 << 1 << none << QByteArray("A01A") << QByteArray("\nA01A00100A\r");
        QTest::newRow("A, PX10 after sets") << px10 << 1 << QByteArrayList{"A01A123", "A01A2"}
                                            << QByteArray("A01A") << QByteArray("\nA01A123209\r");
        QTest::newRow("A, PX30-M after set") << px30m << 1 << QByteArrayList{"A01A012"}
                                             << QByteArray("A01A") << QByteArray("\nA01A01238\r");
        QTest::newRow("A, PX60-M as delivered")
            << ReaderKind::PX60M << 42 << none << QByteArray("I42A") << QByteArray("\nI42A00135\r");
        QTest::newRow("A, PX60 as delivered")
            << ReaderKind::PX60 << 42 << none << QByteArray("I42A") << QByteArray("\nI42A001005\r");
        QTest::newRow("A, PX40 card type set")
            << px40 << 7 << QByteArrayList{"H07A2"} << QByteArray("H07A")
            << QByteArray("\nH07A001207\r");
        QTest::newRow("set interface")
            << px10 << 1 << none << QByteArray("A01A011") << QByteArray("\nA01A0B\r");
        QTest::newRow("set card type, PX40")
            << px40 << 7 << none << QByteArray("H07A2") << QByteArray("\nH07A04\r");
        QTest::newRow("Wiegand 3 does not exist")
            << px10 << 1 << none << QByteArray("A01A030") << QByteArray();
        QTest::newRow("RS485 4 does not exist")
            << px10 << 1 << none << QByteArray("A01A004") << QByteArray();
        QTest::newRow("refused interface leaves the old")
            << px10 << 1 << QByteArrayList{"A01A113", "A01A200"} << QByteArray("A01A")
            << QByteArray("\nA01A113008\r");
        QTest::newRow("card type 3 does not exist")
            << px10 << 1 << none << QByteArray("A01A3") << QByteArray();
        QTest::newRow("no card type on PX30-M")
            << px30m << 1 << none << QByteArray("A01A1") << QByteArray();
        QTest::newRow("A with two digits")
            << px10 << 1 << none << QByteArray("A01A01") << QByteArray();

        // Keypad settings.
        QTest::newRow("L, as delivered")
            << px40 << 7 << none << QByteArray("H07L") << QByteArray("\nH07L040D\r");
        QTest::newRow("L16 then L") << px40 << 7 << QByteArrayList{"H07L16"} << QByteArray("H07L")
                                    << QByteArray("\nH07L160E\r");
        QTest::newRow("L00 then L, PX50") << ReaderKind::PX50 << 12 << QByteArrayList{"J12L00"}
                                          << QByteArray("J12L") << QByteArray("\nJ12L000F\r");
        QTest::newRow("M, as delivered")
            << px40 << 7 << none << QByteArray("H07M") << QByteArray("\nH07M038\r");
        QTest::newRow("M1 then M") << px40 << 7 << QByteArrayList{"H07M1"} << QByteArray("H07M")
                                   << QByteArray("\nH07M139\r");
        QTest::newRow("N, as delivered")
            << px40 << 7 << none << QByteArray("H07N") << QByteArray("\nH07N000308\r");
        QTest::newRow("N0215 then N, PX50") << ReaderKind::PX50 << 12 << QByteArrayList{"J12N0215"}
                                            << QByteArray("J12N") << QByteArray("\nJ12N02150B\r");
        QTest::newRow("L04 answers short")
            << px40 << 7 << none << QByteArray("H07L04") << QByteArray("\nH07L09\r");
        QTest::newRow("L with one digit")
            << px40 << 7 << none << QByteArray("H07L4") << QByteArray();
        QTest::newRow("M2 does not exist")
            << px40 << 7 << none << QByteArray("H07M2") << QByteArray();
        QTest::newRow("N with three digits")
            << px40 << 7 << none << QByteArray("H07N021") << QByteArray();
        QTest::newRow("no keypad on PX10")
            << px10 << 1 << none << QByteArray("A01L") << QByteArray();
        QTest::newRow("no keypad on PX60")
            << ReaderKind::PX60 << 1 << none << QByteArray("I01M") << QByteArray();

        // Where a MIFARE card keeps its ID.
        QTest::newRow("a, as delivered")
            << px30m << 3 << none << QByteArray("A03a") << QByteArray("\nA03a00000000000128\r");
        QTest::newRow("a set then a, PX40-M")
            << ReaderKind::PX40M << 1 << QByteArrayList{"H01a0102040101"} << QByteArray("H01a")
            << QByteArray("\nH01a00010204010125\r");
        QTest::newRow("a, last sector, beep and LED")
            << px30m << 1 << QByteArrayList{"A01a27031F0003"} << QByteArray("A01a")
            << QByteArray("\nA01a0027031F000359\r");
        QTest::newRow("a set answers short")
            << ReaderKind::PX40M << 1 << none << QByteArray("H01a0102040101")
            << QByteArray("\nH01a22\r");
        QTest::newRow("a in lower case")
            << px30m << 1 << none << QByteArray("A01a27031f0003") << QByteArray();
        QTest::newRow("no a on PX10") << px10 << 1 << none << QByteArray("A01a") << QByteArray();

        // Identity and line.
        QTest::newRow("C, own serial")
            << px10 << 5 << none << QByteArray("A05C1234567807") << QByteArray("\nA05C0D\r");
        QTest::newRow("C, new ID answers")
            << px10 << 5 << QByteArrayList{"A05C1234567807"} << QByteArray("A07B")
            << QByteArray("\nA07B1234567806\r");
        QTest::newRow("C, old ID is gone")
            << px10 << 5 << QByteArrayList{"A05C1234567807"} << QByteArray("A05B") << QByteArray();
        QTest::newRow("C, foreign serial")
            << px10 << 5 << none << QByteArray("A05C8765432107") << QByteArray();
        QTest::newRow("C, foreign serial keeps the ID")
            << px10 << 5 << QByteArrayList{"A05C8765432107"} << QByteArray("A05B")
            << QByteArray("\nA05B1234567804\r");
        QTest::newRow("C to ID 00")
            << px10 << 5 << none << QByteArray("A00C1234567807") << QByteArray("\nA05C0D\r");
        QTest::newRow("C, new ID 00")
            << px10 << 5 << none << QByteArray("A05C1234567800") << QByteArray();
        QTest::newRow("E, last index")
            << px10 << 1 << none << QByteArray("A01ED") << QByteArray("\nA01E0F\r");
        QTest::newRow("E, index 14") << px10 << 1 << none << QByteArray("A01EE") << QByteArray();
        QTest::newRow("E, lower case") << px10 << 1 << none << QByteArray("A01Ed") << QByteArray();
        QTest::newRow("E, two digits") << px10 << 1 << none << QByteArray("A01E10") << QByteArray();

        // Card reading.
        QTest::newRow("W100") << px10 << 1 << none << QByteArray("A01W100")
                              << QByteArray("\nA01W1D\r");
        QTest::newRow("W1") << px10 << 1 << none << QByteArray("A01W1") << QByteArray();
        QTest::newRow("W200") << px10 << 1 << none << QByteArray("A01W200") << QByteArray();
        QTest::newRow("F, no card")
            << px10 << 1 << none << QByteArray("A01F") << QByteArray("\nA01F0C\r");
        QTest::newRow("I, no card, PX40-M")
            << ReaderKind::PX40M << 1 << none << QByteArray("H01I") << QByteArray("\nH01I0A\r");
        QTest::newRow("J") << px10 << 1 << none << QByteArray("A01J") << QByteArray("\nA01J00\r");
        QTest::newRow("H2") << px10 << 1 << none << QByteArray("A01H2") << QByteArray("\nA01H02\r");
        QTest::newRow("H3") << px10 << 1 << none << QByteArray("A01H3") << QByteArray();
    }
    void answers() {
        QFETCH(ReaderKind, kind);
        QFETCH(int, id);
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        SimReader reader(Reader(kind, id));
        for (const auto& text : before) reader.answer(text.toStdString());
        QCOMPARE(Answer(reader, command), reply);
    }

    // The state the sets leave, read where no get command shows it.
    void setsReachTheState() {
        SimReader reader(Reader(ReaderKind::PX40M, 1));
        QVERIFY(reader.answer("H01W000"));
        QVERIFY(reader.answer("H01E2"));
        QVERIFY(reader.answer("H01N0899"));
        const ReaderConfig config = reader.config();
        QCOMPARE(config.cardReadMode, 0);
        QCOMPARE(config.lineSettings, std::string("9600,n,8,1"));
        QCOMPARE(config.keyStatusNumber, 8);
        QCOMPARE(config.keyDelaySeconds, 99);
    }

    void lineSettingsTable_data() {
        QTest::addColumn<QByteArray>("digit");
        QTest::addColumn<QString>("settings");
        QTest::newRow("E0") << QByteArray("0") << "4800,n,8,1";
        QTest::newRow("E5") << QByteArray("5") << "19200,e,8,1";
        QTest::newRow("E9") << QByteArray("9") << "57600,e,8,1";
        QTest::newRow("EA") << QByteArray("A") << "115200,n,8,1";
        QTest::newRow("ED") << QByteArray("D") << "230400,e,8,1";
    }
    void lineSettingsTable() {
        QFETCH(QByteArray, digit);
        QFETCH(QString, settings);
        SimReader reader(Reader(ReaderKind::PX10, 1));
        QVERIFY(reader.answer("A01E" + digit.toStdString()));
        QCOMPARE(QString::fromStdString(reader.config().lineSettings), settings);
    }

    // The reply form of "A" can be forced, and its data field replaced, to try the program on
    // the forms it must also take.
    void settingsReplyForms_data() {
        QTest::addColumn<ReaderKind>("kind");
        QTest::addColumn<SettingsReplyForm>("form");
        QTest::addColumn<QByteArray>("overrideData");  // empty: none
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("PX10 without card type")
            << ReaderKind::PX10 << SettingsReplyForm::WithoutCardType << QByteArray()
            << QByteArray("\nA01A01238\r");
        QTest::newRow("PX30-M with card type")
            << ReaderKind::PX30M << SettingsReplyForm::WithCardType << QByteArray()
            << QByteArray("\nA01A012008\r");
        QTest::newRow("PX10, character 8 not a digit")
            << ReaderKind::PX10 << SettingsReplyForm::ByType << QByteArray("01X")
            << QByteArray("\nA01A01X52\r");
    }
    void settingsReplyForms() {
        QFETCH(ReaderKind, kind);
        QFETCH(SettingsReplyForm, form);
        QFETCH(QByteArray, overrideData);
        QFETCH(QByteArray, reply);
        ReaderConfig config = Reader(kind, 1);
        config.wiegandIndex = 1;
        config.rs485Index = 2;
        config.cardTypeIndex = 0;
        config.settingsReply = form;
        if (!overrideData.isEmpty()) config.settingsDataOverride = overrideData.toStdString();
        SimReader reader(config);
        QCOMPARE(Answer(reader, "A01A"), reply);
    }

    void maskHex16_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("masked");
        QTest::newRow("zeros give the mask, last byte first")
            << QByteArray("0000000000000000") << QByteArray("D1069B42E8A3175C");
        QTest::newRow("counting digits")
            << QByteArray("0123456789ABCDEF") << QByteArray("D025DE256108DAB3");
        QTest::newRow("8-digit card widened")
            << QByteArray("0000000000A0B0C0") << QByteArray("D1069B42E803A79C");
        QTest::newRow("lower case counts as 0")
            << QByteArray("000000000000000a") << QByteArray("D1069B42E8A3175C");
        QTest::newRow("short text, missing digits 0")
            << QByteArray("01") << QByteArray("D0069B42E8A3175C");
    }
    void maskHex16() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, masked);
        QCOMPARE(QByteArray::fromStdString(MaskHex16(text.toStdString())), masked);
        // Its own inverse, where the text is one the mask can give back.
        if (text.size() == 16 && text == text.toUpper()) {
            QCOMPARE(QByteArray::fromStdString(MaskHex16(masked.toStdString())), text);
        }
    }

    // Every poll-reply shape the program tells apart, as a presented data field.
    void pollForms_data() {
        QTest::addColumn<PollForm>("form");
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("reply");
        const QByteArray c8 = "00A0B0C0", c16 = "0123456789ABCDEF";
        QTest::newRow("8 digits, 17 bytes")
            << PollForm::Card8 << c8 << QByteArray() << QByteArray("\nA01F000A0B0C04C\r");
        QTest::newRow("8 digits, 18 bytes")
            << PollForm::Card8Wide << c8 << QByteArray() << QByteArray("\nA01F0000A0B0C07C\r");
        QTest::newRow("16 digits, 25 bytes")
            << PollForm::Card16 << c16 << QByteArray() << QByteArray("\nA01F00123456789ABCDEF3A\r");
        QTest::newRow("16 digits, 26 bytes") << PollForm::Card16Wide << c16 << QByteArray()
                                             << QByteArray("\nA01F000123456789ABCDEF0A\r");
        QTest::newRow("keys") << PollForm::Keypad << QByteArray() << QByteArray("1234")
                              << QByteArray("\nA01F0K123473\r");
        QTest::newRow("keypad, no keys, 10 bytes")
            << PollForm::Keypad << QByteArray() << QByteArray() << QByteArray("\nA01F0K77\r");
        QTest::newRow("8 digits and keys") << PollForm::Card8Keys << c8 << QByteArray("12")
                                           << QByteArray("\nA01F0000A0B0C0K1234\r");
        QTest::newRow("16 digits and keys") << PollForm::Card16Keys << c16 << QByteArray("12")
                                            << QByteArray("\nA01F000123456789ABCDEFK1242\r");
        QTest::newRow("two-way, 16 digits") << PollForm::TwoWay << c16 << QByteArray()
                                            << QByteArray("\nA01F00D025DE256108DAB302\r");
        QTest::newRow("two-way, 8 digits")
            << PollForm::TwoWay << c8 << QByteArray() << QByteArray("\nA01F00D1069B42E803A79C70\r");
        QTest::newRow("two-way and keys") << PollForm::TwoWay << c16 << QByteArray("12")
                                          << QByteArray("\nA01F00D025DE256108DAB3K124A\r");
    }
    void pollForms() {
        QFETCH(PollForm, form);
        QFETCH(QByteArray, card);
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, reply);
        SimReader reader(Reader(ReaderKind::PX10, 1));
        QVERIFY(reader.presentCard(PollData(form, card.toStdString(), keys.toStdString())));
        QCOMPARE(Answer(reader, "A01F"), reply);
        QCOMPARE(Answer(reader, "A01F"), QByteArray("\nA01F0C\r"));  // taken once
    }

    // A card as a reader reports it: plain to "F", masked to "I"; keys alone alike to both.
    void cardReplies_data() {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("twoWay");
        QTest::newRow("8 digits") << QByteArray("00A0B0C0") << QByteArray()
                                  << QByteArray("\nA01F000A0B0C04C\r")
                                  << QByteArray("\nA01I00D1069B42E803A79C7F\r");
        QTest::newRow("16 digits") << QByteArray("0123456789ABCDEF") << QByteArray()
                                   << QByteArray("\nA01F000123456789ABCDEF0A\r")
                                   << QByteArray("\nA01I00D025DE256108DAB30D\r");
        QTest::newRow("8 digits and keys")
            << QByteArray("00A0B0C0") << QByteArray("12") << QByteArray("\nA01F0000A0B0C0K1234\r")
            << QByteArray("\nA01I00D1069B42E803A79CK1237\r");
        QTest::newRow("keys alone") << QByteArray() << QByteArray("#7")
                                    << QByteArray("\nA01F0K#763\r") << QByteArray("\nA01I0K#76C\r");
    }
    void cardReplies() {
        QFETCH(QByteArray, card);
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, twoWay);
        SimReader reader(Reader(ReaderKind::PX10, 1));
        if (card.isEmpty()) {
            QVERIFY(reader.presentKeys(keys.toStdString()));
            QVERIFY(reader.presentKeys(keys.toStdString()));
        } else {
            QVERIFY(reader.presentCardId(card.toStdString(), keys.toStdString()));
            QVERIFY(reader.presentCardId(card.toStdString(), keys.toStdString()));
        }
        QCOMPARE(Answer(reader, "A01F"), plain);
        QCOMPARE(Answer(reader, "A01I"), twoWay);

        // The same held at the reader: on every poll.
        ReaderConfig config = reader.config();
        config.cardInField = card.toStdString();
        config.keysInField = keys.toStdString();
        reader.setConfig(config);
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(Answer(reader, "A01F"), plain);
            QCOMPARE(Answer(reader, "A01I"), twoWay);
        }
    }

    // Presented entries come first and in order, then what the reader holds, then a fixed
    // data field, then "no card".
    void pollOrder() {
        ReaderConfig config = Reader(ReaderKind::PX10, 1);
        config.pollDataOverride = "0K";
        SimReader reader(config);
        QVERIFY(reader.presentCard("000A0B0C0"));
        QVERIFY(reader.presentKeys("1234"));
        QCOMPARE(reader.presentedWaiting(), std::size_t(2));
        QCOMPARE(Answer(reader, "A01F"), QByteArray("\nA01F000A0B0C04C\r"));
        QCOMPARE(Answer(reader, "A01I"), QByteArray("\nA01I0K12347C\r"));
        QCOMPARE(Answer(reader, "A01F"), QByteArray("\nA01F0K77\r"));
        config = reader.config();
        config.pollDataOverride.reset();
        reader.setConfig(config);
        QCOMPARE(Answer(reader, "A01F"), QByteArray("\nA01F0C\r"));
        QCOMPARE(Answer(reader, "A01F1"), QByteArray());
    }

    void presentedIsBounded() {
        SimReader reader(Reader(ReaderKind::PX10, 1));
        for (std::size_t i = 0; i < SimReader::kMaxPresented; ++i) {
            QVERIFY(reader.presentCardId("00A0B0C0"));
        }
        QVERIFY(!reader.presentCardId("00A0B0C0"));
        QVERIFY(reader.answer("A01F"));
        QVERIFY(reader.presentCardId("00A0B0C0"));
    }

    // Two-way reading: the program answers each card with "J", "J", then "H1" or "H2".
    void twoWayAnswersCounted() {
        SimReader reader(Reader(ReaderKind::PX50M, 1));
        for (const char* command : {"J01J", "J01J", "J01H2", "J01J", "J01J", "J01H1", "J01H2"}) {
            QVERIFY2(reader.answer(command), command);
        }
        const ReaderConfig config = reader.config();
        QCOMPARE(config.confirmations, 4);
        QCOMPARE(config.cardsAccepted, 1);
        QCOMPARE(config.cardsRefused, 2);
    }

    void typesHaveTheirCommands_data() {
        QTest::addColumn<ReaderKind>("kind");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<bool>("mifare");
        QTest::newRow("PX10") << ReaderKind::PX10 << false << false;
        QTest::newRow("PX40") << ReaderKind::PX40 << true << false;
        QTest::newRow("PX30-M") << ReaderKind::PX30M << false << true;
        QTest::newRow("PX40-M") << ReaderKind::PX40M << true << true;
        QTest::newRow("PX50") << ReaderKind::PX50 << true << false;
        QTest::newRow("PX50-M") << ReaderKind::PX50M << true << true;
        QTest::newRow("PX60") << ReaderKind::PX60 << false << false;
        QTest::newRow("PX60-M") << ReaderKind::PX60M << false << true;
    }
    void typesHaveTheirCommands() {
        QFETCH(ReaderKind, kind);
        QFETCH(bool, keypad);
        QFETCH(bool, mifare);
        SimReader reader(Reader(kind, 1));
        const std::string prefix = std::string(1, StartCharacter(kind)) + "01";
        QCOMPARE(reader.answer(prefix + "L").has_value(), keypad);
        QCOMPARE(reader.answer(prefix + "N").has_value(), keypad);
        QCOMPARE(reader.answer(prefix + "a").has_value(), mifare);
        QCOMPARE(reader.answer(prefix + "A1").has_value(), !mifare);
        const auto settings = reader.answer(prefix + "A");
        QVERIFY(settings);
        QCOMPARE(settings->size(), std::size_t(mifare ? 11 : 12));
        // Every type takes the commands of the common page and the card polls.
        for (const char* command : {"A001", "E5", "W100", "F", "I", "J", "H1"}) {
            QVERIFY2(reader.answer(prefix + command), command);
        }
    }
};

QTEST_GUILESS_MAIN(TestSimCommands)
#include "tst_sim_commands.moc"
