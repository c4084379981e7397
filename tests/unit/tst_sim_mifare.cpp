// The simulated MIFARE reader: its answers to the MIFARE commands, and a MIFARE Classic card that
// keeps to the published access conditions, on 1K and 4K cards. Expected data fields follow from
// the card as delivered (transport key, FF0780 with user byte 69) and the published tables,
// worked out by hand; the full frames' checksums came from a separate Python line.
#include <QtTest>

#include "SimAnswers.h"
#include "SimFrame.h"
#include "SimProgram.h"
#include "SimReader.h"

using namespace tbsim;

namespace {

const std::string kF12 = "FFFFFFFFFFFF";
const std::string kKeyA = "A0A1A2A3A4A5";
const std::string kKeyB = "B0B1B2B3B4B5";
const QString kZeros(32, '0');
const QString kFreshTrailer = "000000000000FF078069FFFFFFFFFFFF";  // as Key A reads it back
const std::string kData = "00112233445566778899AABBCCDDEEFF";

// A PX30-M reader, ID 01, with a card as delivered in its field (none for an empty size).
ReaderConfig WithCard(const QString& size) {
    ReaderConfig config = Reader(ReaderKind::PX30M);
    if (!size.isEmpty())
        config.mifare.card = MakeMifareCard(
            size == "4K" ? MifareSize::Classic4K : MifareSize::Classic1K, {0x01, 0x02, 0x03, 0x04});
    return config;
}

// The data field of the reply to `command`, after checking the frame around it; "-" for none.
QString Data(SimReader& reader, const std::string& command) {
    const auto reply = reader.answer(command);
    if (!reply) return "-";
    if (!IsValidReply(*reply) || reply->substr(1, 4) != command.substr(0, 4)) return "bad frame";
    return QString::fromStdString(reply->substr(5, reply->size() - 8));
}

// The commands in turn, every one answered; the last one's data field.
QString Run(SimReader& reader, const std::vector<std::string>& commands) {
    QString last;
    for (const auto& command : commands) last = Data(reader, command);
    return last;
}

// Writes a sector trailer through "i6x" with the key that opens the sector now.
QString WriteTrailer(SimReader& reader, char slot, const std::string& key, const char* block,
                     const std::string& keyA, const std::string& access, const std::string& keyB) {
    return Data(reader, std::string("A01i6") + slot + key + block + keyA + access + keyB);
}

}  // namespace

class TestSimMifare : public QObject {
    Q_OBJECT

private slots:
    // `before` runs first; then `command` must get the data field `data` ("-": silence).
    void answers_data() {
        QTest::addColumn<QString>("card");  // "1K", "4K", or empty: no card in the field
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("data");
        const QStringList none;
        const QString loadF = QString::fromStdString("A01f" + kF12);

        // Keys kept in the reader: a status alone, 10 bytes.
        QTest::newRow("d60 stores") << "" << none << "A01d6001A0A1A2A3A4A5"
                                    << "00";
        QTest::newRow("d61, sector 39") << "" << none << "A01d6127FFFFFFFFFFFF"
                                        << "00";
        QTest::newRow("d60, sector 40") << "" << none << "A01d6028FFFFFFFFFFFF"
                                        << "04";
        QTest::newRow("d60, key of 11") << "" << none << "A01d6001FFFFFFFFFFF"
                                        << "04";
        QTest::newRow("d62 is no command") << "" << none << "A01d6201FFFFFFFFFFFF"
                                           << "-";
        QTest::newRow("f") << "" << none << loadF << "00";
        QTest::newRow("f, key of 13") << "" << none << "A01fFFFFFFFFFFFFF"
                                      << "04";
        QTest::newRow("e60, sector 1") << "" << none << "A01e6001"
                                       << "00";
        QTest::newRow("e60, sector 40") << "" << none << "A01e6028"
                                        << "04";

        // Block reads: status and the block, 42 bytes.
        QTest::newRow("h60, no card") << "" << QStringList{loadF} << "A01h6004"
                                      << "01" + kZeros;
        QTest::newRow("h60, no key given yet") << "1K" << none << "A01h6004"
                                               << "02" + kZeros;
        QTest::newRow("h60, data block") << "1K" << QStringList{loadF} << "A01h6004"
                                         << "00" + kZeros;
        QTest::newRow("h60, maker's block") << "1K" << QStringList{loadF} << "A01h6000"
                                            << "00"
                                               "0102030404080400"
                                               "68696A6B6C6D6E6F";
        QTest::newRow("h60, trailer: Key A hidden, Key B readable")
            << "1K" << QStringList{loadF} << "A01h6007"
            << "00" + kFreshTrailer;
        QTest::newRow("h60, wrong key")
            << "1K" << QStringList{QString::fromStdString("A01f" + kKeyA)} << "A01h6004"
            << "02" + kZeros;
        QTest::newRow("h61: a readable Key B opens nothing")
            << "1K" << QStringList{loadF} << "A01h6104"
            << "03" + kZeros;
        QTest::newRow("h60, stored key") << "1K" << QStringList{"A01e6001"} << "A01h6006"
                                         << "00" + kZeros;
        QTest::newRow("h60, wrong stored key")
            << "1K" << QStringList{"A01d6001A0A1A2A3A4A5", "A01e6001"} << "A01h6006"
            << "02" + kZeros;
        QTest::newRow("h60, 1K has no block 40") << "1K" << QStringList{loadF} << "A01h6040"
                                                 << "04" + kZeros;
        QTest::newRow("h60, 4K block 80") << "4K" << QStringList{loadF} << "A01h6080"
                                          << "00" + kZeros;
        QTest::newRow("h60, 4K trailer FF") << "4K" << QStringList{loadF} << "A01h60FF"
                                            << "00" + kFreshTrailer;
        QTest::newRow("h60, 4K sector 32 block 3 is data")
            << "4K" << QStringList{loadF} << "A01h6083"
            << "00" + kZeros;
        QTest::newRow("h60, block in lower case") << "1K" << QStringList{loadF} << "A01h600a"
                                                  << "04" + kZeros;
        QTest::newRow("h62 is no command") << "1K" << QStringList{loadF} << "A01h6204"
                                           << "-";

        // Block writes: status and the block written.
        const QString data = QString::fromStdString(kData);
        QTest::newRow("i60, data block")
            << "1K" << QStringList{loadF} << "A01i6004" + data << "00" + data;
        QTest::newRow("i60, then read back")
            << "1K" << QStringList{loadF, "A01i6005" + data} << "A01h6005"
            << "00" + data;
        QTest::newRow("i60, maker's block")
            << "1K" << QStringList{loadF} << "A01i6000" + data << "03" + kZeros;
        QTest::newRow("i60, data of 30")
            << "1K" << QStringList{loadF} << "A01i6004" + data.left(30) << "04" + kZeros;
        QTest::newRow("i60, wrong key")
            << "1K" << QStringList{QString::fromStdString("A01f" + kKeyA)} << "A01i6004" + data
            << "02" + kZeros;
        QTest::newRow("i60, no card")
            << "" << QStringList{loadF} << "A01i6004" + data << "01" + kZeros;
        QTest::newRow("i60 with its own key")
            << "1K" << none << QString::fromStdString("A01i60" + kF12 + "04") + data << "00" + data;
        QTest::newRow("i60 with its own wrong key")
            << "1K" << QStringList{loadF} << QString::fromStdString("A01i60" + kKeyA + "04") + data
            << "02" + kZeros;
        QTest::newRow("i60, 4K sector 39 block 14")
            << "4K" << QStringList{loadF} << "A01i60FE" + data << "00" + data;
    }
    void answers() {
        QFETCH(QString, card);
        QFETCH(QStringList, before);
        QFETCH(QString, command);
        QFETCH(QString, data);
        SimReader reader(WithCard(card));
        for (const auto& text : before) QVERIFY(reader.answer(text.toStdString()));
        QCOMPARE(Data(reader, command.toStdString()), data);
    }

    // The reply lengths the pages count on, as whole frames.
    void frames() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(*reader.answer("A01d6001FFFFFFFFFFFF"), std::string("\nA01d002E\r"));
        QVERIFY(reader.answer("A01f" + kF12));
        QCOMPARE(*reader.answer("A01h6004"),
                 std::string("\nA01h000000000000000000000000000000000022\r"));
        QCOMPARE(*reader.answer("A01h6007"),
                 std::string("\nA01h00000000000000FF078069FFFFFFFFFFFF22\r"));
        ReaderConfig display = Reader(ReaderKind::PX50M, 5);
        SimReader displayReader(display);
        QCOMPARE(*displayReader.answer("J05h6004"),
                 std::string("\nJ05h01000000000000000000000000000000002C\r"));
    }

    void onlyMifareReaders_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("answers");
        QTest::newRow("PX10") << int(ReaderKind::PX10) << false;
        QTest::newRow("PX60") << int(ReaderKind::PX60) << false;
        QTest::newRow("PX30-M") << int(ReaderKind::PX30M) << true;
        QTest::newRow("PX40-M") << int(ReaderKind::PX40M) << true;
        QTest::newRow("PX50-M") << int(ReaderKind::PX50M) << true;
        QTest::newRow("PX60-M") << int(ReaderKind::PX60M) << true;
    }
    void onlyMifareReaders() {
        QFETCH(int, kind);
        QFETCH(bool, answers);
        const auto readerKind = ReaderKind(kind);
        SimReader reader(Reader(readerKind));
        const std::string prefix = std::string(1, StartCharacter(readerKind)) + "01";
        for (const std::string& command : std::vector<std::string>{
                 "d6001" + kF12, "e6001", "f" + kF12, "h6004", "i6004" + kData}) {
            QCOMPARE(reader.answer(prefix + command).has_value(), answers);
        }
    }

    // A new Key A: the old key no longer opens the sector, the new one does.
    void newKeyATakesOver() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kKeyA, "FF0780AA", kF12),
                 QString::fromStdString("00" + kKeyA + "FF0780AA" + kF12));
        QCOMPARE(Run(reader, {"A01f" + kF12, "A01h6004"}), "02" + kZeros);
        QCOMPARE(Run(reader, {"A01f" + kKeyA, "A01h6004"}), "00" + kZeros);
        // The neighbour sectors keep the transport key.
        QCOMPARE(Run(reader, {"A01f" + kF12, "A01h6008"}), "00" + kZeros);
        // The old key cannot write the trailer again either.
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0780AA", kF12), "02" + kZeros);
        // A key kept in the reader's EEPROM opens the sector once it is the new one.
        QCOMPARE(Run(reader, {"A01e6001", "A01h6004"}), "02" + kZeros);
        QCOMPARE(Run(reader, {"A01d6001" + kKeyA, "A01e6001", "A01h6004"}), "00" + kZeros);
    }

    // Data blocks 110, trailer 011: Key B becomes a key (no longer readable) and manages the
    // sector; Key A may still read.
    void conditionsRuleLaterCommands() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kKeyA, "08778FAA", kKeyB).left(2), "00");
        const std::string data = "A01i6004" + kData;
        QCOMPARE(Run(reader, {"A01f" + kKeyA, "A01h6004"}), "00" + kZeros);
        QCOMPARE(Run(reader, {"A01f" + kKeyA, data}), "03" + kZeros);
        QCOMPARE(Run(reader, {"A01f" + kKeyB, "A01i6104" + kData}),
                 QString::fromStdString("00" + kData));
        // Key B is hidden now; Key A still reads the access bits.
        QCOMPARE(Run(reader, {"A01f" + kKeyA, "A01h6007"}), "0000000000000008778FAA000000000000");
        QCOMPARE(Run(reader, {"A01f" + kKeyB, "A01h6107"}), "0000000000000008778FAA000000000000");
        // Key A may not change the trailer any more; Key B may.
        QCOMPARE(WriteTrailer(reader, '0', kKeyA, "07", kF12, "08778FAA", kKeyB), "03" + kZeros);
        QCOMPARE(WriteTrailer(reader, '1', kKeyB, "07", kF12, "FF0780AA", kF12).left(2), "00");
        QCOMPARE(Run(reader, {"A01f" + kF12, "A01i6004" + kData}).left(2), "00");
    }

    // Block 1 at 010 (DF0782): read-only for both keys; blocks 0 and 2 stay open.
    void readOnlyBlock() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "DF0782AA", kF12).left(2), "00");
        QVERIFY(reader.answer("A01f" + kF12));
        QCOMPARE(Data(reader, "A01i6005" + kData), "03" + kZeros);
        QCOMPARE(Data(reader, "A01h6005"), "00" + kZeros);
        QCOMPARE(Data(reader, "A01i6004" + kData).left(2), "00");
        QCOMPARE(Data(reader, "A01i6006" + kData).left(2), "00");
    }

    // Trailer 000 (FF0F00): the access bits can never change again, the keys still can.
    void accessBitsLockedForGood() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0F00AA", kF12).left(2), "00");
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0780AA", kF12), "03" + kZeros);
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0F0069", kF12), "03" + kZeros);
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kKeyA, "FF0F00AA", kF12).left(2), "00");
        QCOMPARE(Run(reader, {"A01f" + kKeyA, "A01h6007"}), "00000000000000FF0F00AAFFFFFFFFFFFF");
    }

    // Access bits whose inverted copies disagree are written, and the sector is lost.
    void invalidAccessBitsLoseTheSector() {
        SimReader reader(WithCard("1K"));
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0781AA", kF12).left(2), "00");
        QCOMPARE(Run(reader, {"A01f" + kF12, "A01h6004"}), "02" + kZeros);
        QCOMPARE(Data(reader, "A01h6007"), "02" + kZeros);
        QCOMPARE(WriteTrailer(reader, '0', kF12, "07", kF12, "FF0780AA", kF12), "02" + kZeros);
        QCOMPARE(Data(reader, "A01h6008"), "00" + kZeros);
    }

    // A 4K sector of 16 blocks: conditions 0, 1, 2 rule blocks 0-4, 5-9, 10-14.
    void fourKSectorGroups() {
        SimReader reader(WithCard("4K"));
        // Sector 35 (blocks B0-BF), its third group read-only: block 2 at 010 (BF0784).
        QCOMPARE(WriteTrailer(reader, '0', kF12, "BF", kF12, "BF0784AA", kF12).left(2), "00");
        QVERIFY(reader.answer("A01f" + kF12));
        for (const char* block : {"B0", "B4", "B5", "B9"})
            QCOMPARE(Data(reader, std::string("A01i60") + block + kData).left(2), "00");
        for (const char* block : {"BA", "BE"})
            QCOMPARE(Data(reader, std::string("A01i60") + block + kData), "03" + kZeros);
        QCOMPARE(Data(reader, "A01h60BF"), "00000000000000BF0784AAFFFFFFFFFFFF");
        // The sectors beside it keep theirs.
        QCOMPARE(Data(reader, "A01i60AE" + kData).left(2), "00");
        QCOMPARE(Data(reader, "A01i60C0" + kData).left(2), "00");
        // A 1K card ends at sector 15.
        SimReader small(WithCard("1K"));
        QVERIFY(small.answer("A01f" + kF12));
        QCOMPARE(Data(small, "A01h603F").left(2), "00");
        QCOMPARE(Data(small, "A01h60BF"), "04" + kZeros);
    }

    // The card comes and goes; a new card is as delivered; the reader keeps its keys.
    void cardInAndOut() {
        SimReader reader(WithCard(""));
        QVERIFY(reader.answer("A01f" + kF12));
        QCOMPARE(Data(reader, "A01h6004"), "01" + kZeros);
        reader.presentMifareCard(MakeMifareCard(MifareSize::Classic1K, {1, 2, 3, 4}));
        QCOMPARE(Data(reader, "A01i6004" + kData).left(2), "00");
        reader.removeMifareCard();
        QVERIFY(!reader.mifareCard());
        QCOMPARE(Data(reader, "A01h6004"), "01" + kZeros);
        reader.presentMifareCard(MakeMifareCard(MifareSize::Classic1K, {1, 2, 3, 4}));
        QCOMPARE(Data(reader, "A01h6004"), "00" + kZeros);
        QCOMPARE(reader.mifareCard()->blocks.size(), std::size_t(64));
    }

    void programOption_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("card");  // the card's name; or a word of the error, "!..."
        QTest::newRow("1K, default UID")
            << QStringList{"--reader", "PX30M", "--mifare", "1K"} << "MIFARE 1K 5A6B7C8D";
        QTest::newRow("4k, UID in lower case")
            << QStringList{"--reader", "PX40-M", "--mifare=4k:0a1b2c3d"} << "MIFARE 4K 0A1B2C3D";
        QTest::newRow("2K") << QStringList{"--reader", "PX30M", "--mifare", "2K"} << "!2K";
        QTest::newRow("UID of 6 digits")
            << QStringList{"--reader", "PX30M", "--mifare", "1K:0A1B2C"} << "!0A1B2C";
        QTest::newRow("not a MIFARE reader")
            << QStringList{"--reader", "PX10", "--mifare", "1K"} << "!MIFARE reader";
        QTest::newRow("before any reader") << QStringList{"--mifare", "1K"} << "!--reader";
    }
    void programOption() {
        QFETCH(QStringList, args);
        QFETCH(QString, card);
        std::vector<std::string> list;
        for (const auto& arg : args) list.push_back(arg.toStdString());
        const auto parsed = ParseProgramOptions(list);
        if (card.startsWith('!')) {
            QVERIFY(!parsed.options);
            QVERIFY2(QString::fromStdString(parsed.error).contains(card.mid(1)),
                     parsed.error.c_str());
            return;
        }
        QVERIFY2(parsed.options, parsed.error.c_str());
        const auto& held = parsed.options->lines.back().readers.back().mifare.card;
        QVERIFY(held);
        QCOMPARE(QString::fromStdString(MifareCardName(*held)), card);
    }

    // "mifare" and "remove" at the console reach the MIFARE readers, and only them.
    void consoleLines_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("taken");    // every line taken
        QTest::addColumn<QString>("held");  // the MIFARE reader's card afterwards, "-" none
        QTest::newRow("mifare 4K with UID")
            << QStringList{"mifare 4K 0A1B2C3D"} << true << "MIFARE 4K 0A1B2C3D";
        QTest::newRow("mifare 1k") << QStringList{"mifare 1k\r"} << true << "MIFARE 1K 5A6B7C8D";
        QTest::newRow("remove") << QStringList{"mifare 1K", "remove"} << true << "-";
        QTest::newRow("a new card replaces the old")
            << QStringList{"mifare 1K", "mifare 4K 01020304"} << true << "MIFARE 4K 01020304";
        QTest::newRow("mifare 8K") << QStringList{"mifare 8K"} << false << "-";
        QTest::newRow("remove what") << QStringList{"remove 1K"} << false << "-";
    }
    void consoleLines() {
        QFETCH(QStringList, lines);
        QFETCH(bool, taken);
        QFETCH(QString, held);
        SimReader mifare(Reader(ReaderKind::PX30M, 1));
        SimReader plain(Reader(ReaderKind::PX10, 2));
        bool all = true;
        for (const auto& line : lines) {
            std::string error;
            const bool ok = ApplyConsoleLine(line.toStdString(), {&mifare, &plain}, error);
            QCOMPARE(error.empty(), ok);
            all = all && ok;
        }
        QCOMPARE(all, taken);
        const auto card = mifare.mifareCard();
        QCOMPARE(card ? QString::fromStdString(MifareCardName(*card)) : QString("-"), held);
        QVERIFY(!plain.mifareCard());
    }

    void consoleWithoutMifareReader() {
        SimReader plain(Reader(ReaderKind::PX10, 1));
        std::string error;
        QVERIFY(!ApplyConsoleLine("mifare 1K", {&plain}, error));
        QVERIFY(!ApplyConsoleLine("remove", {&plain}, error));
        QVERIFY(QString::fromStdString(error).contains("MIFARE"));
    }

    void helpNamesTheMifareCard() {
        const std::string usage = ProgramUsage();
        for (const char* word : {"--mifare 1K|4K[:UID]", "mifare 1K|4K [UID]", "\"remove\""})
            QVERIFY2(usage.find(word) != std::string::npos, word);
    }
};

QTEST_GUILESS_MAIN(TestSimMifare)
#include "tst_sim_mifare.moc"
