// The MIFARE command texts and reply rules: block numbers on 1K and 4K cards, and the texts of
// the card-ID location, the EEPROM key, the sector trailer and the block test, byte for byte as
// the pages' examples give them.
#include <QtTest>

#include "commands/mifare/CardGeometry.h"
#include "commands/mifare/MifareCommands.h"

using namespace commands::mifare;
using commands::CardIdLocation;

Q_DECLARE_METATYPE(commands::mifare::KeySlot)

namespace {

const std::string kF12 = "FFFFFFFFFFFF";

// A reply frame around a data field; the checksum characters are not looked at here.
std::string Reply(const std::string& data) { return "\nA01h" + data + "00\r"; }
int Length(const std::string& reply) { return static_cast<int>(reply.size()); }

QString Texts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const auto& text : texts) list << QString::fromStdString(text);
    return list.join(' ');
}

}  // namespace

class TestMifareCommands : public QObject {
    Q_OBJECT

private slots:
    void cardBlocks_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("hex");  // empty: not on a card
        QTest::newRow("sector 0 block 0") << 0 << 0 << "00";
        QTest::newRow("sector 1 block 0") << 1 << 0 << "04";
        QTest::newRow("sector 1 block 2") << 1 << 2 << "06";
        QTest::newRow("sector 31 block 3") << 31 << 3 << "7F";
        QTest::newRow("sector 32 block 0") << 32 << 0 << "80";
        QTest::newRow("sector 35 block 12") << 35 << 12 << "BC";
        QTest::newRow("sector 39 block 15") << 39 << 15 << "FF";
        QTest::newRow("sector 31 has no block 4") << 31 << 4 << "";
        QTest::newRow("sector 32 has no block 16") << 32 << 16 << "";
        QTest::newRow("no sector 40") << 40 << 0 << "";
        QTest::newRow("no sector -1") << -1 << 0 << "";
        QTest::newRow("no block -1") << 5 << -1 << "";
    }
    void cardBlocks() {
        QFETCH(int, sector);
        QFETCH(int, block);
        QFETCH(QString, hex);
        const auto number = CardBlock(sector, block);
        QCOMPARE(number.has_value(), !hex.isEmpty());
        if (number) QCOMPARE(QString::fromStdString(HexByteText(*number)), hex);
    }

    void trailers_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<QString>("trailer");
        QTest::newRow("sector 0") << 0 << 4 << "03";
        QTest::newRow("sector 1") << 1 << 4 << "07";
        QTest::newRow("sector 15, last of 1K") << 15 << 4 << "3F";
        QTest::newRow("sector 31") << 31 << 4 << "7F";
        QTest::newRow("sector 32") << 32 << 16 << "8F";
        QTest::newRow("sector 39") << 39 << 16 << "FF";
    }
    void trailers() {
        QFETCH(int, sector);
        QFETCH(int, blocks);
        QFETCH(QString, trailer);
        QCOMPARE(BlocksInSector(sector), blocks);
        QCOMPARE(*TrailerBlock(sector), blocks - 1);
        QCOMPARE(QString::fromStdString(HexByteText(*TrailerCardBlock(sector))), trailer);
    }

    void cardIdLocation_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("byte");
        QTest::addColumn<bool>("keyB");
        QTest::addColumn<int>("keyError");
        QTest::addColumn<QString>("record");  // empty: refused
        QTest::newRow("page example, Key B, LED") << 1 << 2 << 4 << true << 1 << "0102040101";
        QTest::newRow("same, Key A") << 1 << 2 << 4 << false << 1 << "0102040001";
        QTest::newRow("last sector, BEEP+LED") << 39 << 3 << 31 << false << 3 << "27031F0003";
        QTest::newRow("factory default") << 0 << 0 << 0 << false << 1 << "0000000001";
        QTest::newRow("key error 4: no list item") << 1 << 0 << 0 << false << 4 << "";
        QTest::newRow("key error -1: no selection") << 1 << 0 << 0 << false << -1 << "";
        QTest::newRow("sector 40") << 40 << 0 << 0 << false << 1 << "";
        QTest::newRow("block 4") << 1 << 4 << 0 << false << 1 << "";
        QTest::newRow("byte 32") << 1 << 0 << 32 << false << 1 << "";
    }
    void cardIdLocation() {
        QFETCH(int, sector);
        QFETCH(int, block);
        QFETCH(int, byte);
        QFETCH(bool, keyB);
        QFETCH(int, keyError);
        QFETCH(QString, record);
        const auto text = CardIdLocationRecord(CardIdLocation{sector, block, byte, keyB, keyError});
        QCOMPARE(text.has_value(), !record.isEmpty());
        if (text) QCOMPARE(QString::fromStdString(*text), record);
    }

    void storeKey_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<KeySlot>("slot");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("command");
        QTest::newRow("page example: sector 1, Key B")
            << 1 << KeySlot::B << QString::fromStdString(kF12) << "d6101FFFFFFFFFFFF";
        QTest::newRow("sector 0, Key A") << 0 << KeySlot::A << "A0A1A2A3A4A5"
                                         << "d6000A0A1A2A3A4A5";
        QTest::newRow("sector 10 in hexadecimal") << 10 << KeySlot::A << "A0A1A2A3A4A5"
                                                  << "d600AA0A1A2A3A4A5";
        QTest::newRow("sector 39, Key B") << 39 << KeySlot::B << "A0A1A2A3A4A5"
                                          << "d6127A0A1A2A3A4A5";
        QTest::newRow("11 characters go as typed") << 2 << KeySlot::A << "FFFFFFFFFFF"
                                                   << "d6002FFFFFFFFFFF";
    }
    void storeKey() {
        QFETCH(int, sector);
        QFETCH(KeySlot, slot);
        QFETCH(QString, key);
        QFETCH(QString, command);
        QCOMPARE(QString::fromStdString(StoreKeyCommand(sector, slot, key.toStdString())), command);
    }

    void keyStoredReply_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("stored");
        QTest::newRow("10 bytes, 00") << "00" << true;
        QTest::newRow("10 bytes, 01") << "01" << false;
        QTest::newRow("8 bytes") << "" << false;
        QTest::newRow("12 bytes beginning 00") << "0000" << false;
        QTest::newRow("42 bytes beginning 00") << "00" + QString(32, 'F') << false;
    }
    void keyStoredReply() {
        QFETCH(QString, data);
        QFETCH(bool, stored);
        const std::string reply = Reply(data.toStdString());
        QCOMPARE(IsKeyStoredReply(reply, Length(reply)), stored);
    }

    void trailerCommand_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<KeySlot>("slot");
        QTest::addColumn<QString>("command");  // empty: refused
        QTest::newRow("page example: initial values, sector 1")
            << 1 << KeySlot::A << "i60FFFFFFFFFFFF07FFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
        QTest::newRow("sector 0, old Key B")
            << 0 << KeySlot::B << "i61FFFFFFFFFFFF03FFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
        QTest::newRow("sector 31")
            << 31 << KeySlot::A << "i60FFFFFFFFFFFF7FFFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
        QTest::newRow("sector 32")
            << 32 << KeySlot::A << "i60FFFFFFFFFFFF8FFFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
        QTest::newRow("sector 39")
            << 39 << KeySlot::A << "i60FFFFFFFFFFFFFFFFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
        QTest::newRow("sector 40") << 40 << KeySlot::A << "";
    }
    void trailerCommand() {
        QFETCH(int, sector);
        QFETCH(KeySlot, slot);
        QFETCH(QString, command);
        SectorTrailerWrite write;
        write.sector = sector;
        write.oldKeySlot = slot;
        const auto text = WriteTrailerCommand(write);
        QCOMPARE(text.has_value(), !command.isEmpty());
        if (text) QCOMPARE(QString::fromStdString(*text), command);
    }

    // Old key, Key A, access bits and Key B each go where they belong, as typed.
    void trailerPartsInOrder() {
        const SectorTrailerWrite write{5,        KeySlot::B,  "B0B1B2B3B4B5", "A0A1A2A3A4A5",
                                       "08778F", "C0C1C2C3C4"};
        QCOMPARE(*WriteTrailerCommand(write),
                 std::string("i61B0B1B2B3B4B517A0A1A2A3A4A508778FC0C1C2C3C4"));
    }

    void blockReply_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("block");  // "-": refused
        const QString bytes = "000102030405060708090A0B0C0D0E0F";
        QTest::newRow("42 bytes, 00") << "00" + bytes << bytes;
        QTest::newRow("42 bytes, 01") << "01" + bytes << "-";
        QTest::newRow("41 bytes") << "00" + bytes.left(31) << "-";
        QTest::newRow("43 bytes") << "00" + bytes + "0"
                                  << "-";
        QTest::newRow("10 bytes, 00") << "00"
                                      << "-";
    }
    void blockReply() {
        QFETCH(QString, data);
        QFETCH(QString, block);
        const std::string reply = Reply(data.toStdString());
        const auto read = BlockReplyData(reply, Length(reply));
        QCOMPARE(IsBlockReplyOk(reply, Length(reply)), block != "-");
        QCOMPARE(read ? QString::fromStdString(*read) : QString("-"), block);
    }

    void readCommands_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("block");
        QTest::addColumn<KeySlot>("slot");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("commands");
        QTest::newRow("page example: typed key")
            << 1 << 2 << KeySlot::A << false << "fFFFFFFFFFFFF h6006";
        QTest::newRow("page example: EEPROM, Key B")
            << 1 << 2 << KeySlot::B << true << "e6101 h6106";
        QTest::newRow("EEPROM names the sector, 4K")
            << 35 << 12 << KeySlot::A << true << "e6023 h60BC";
        QTest::newRow("sector 32 block 0")
            << 32 << 0 << KeySlot::A << false << "fFFFFFFFFFFFF h6080";
        QTest::newRow("sector 31 block 3")
            << 31 << 3 << KeySlot::A << false << "fFFFFFFFFFFFF h607F";
        QTest::newRow("sector 39 block 15")
            << 39 << 15 << KeySlot::B << false << "fFFFFFFFFFFFF h61FF";
        QTest::newRow("not on a card") << 31 << 4 << KeySlot::A << false << "";
    }
    void readCommands() {
        QFETCH(int, sector);
        QFETCH(int, block);
        QFETCH(KeySlot, slot);
        QFETCH(bool, stored);
        QFETCH(QString, commands);
        QCOMPARE(Texts(ReadBlockCommands(BlockRead{sector, block, slot, stored, kF12})), commands);
    }

    // A write always loads the typed key, whatever the EEPROM box says.
    void writeCommands() {
        QCOMPARE(Texts(WriteBlockCommands(
                     BlockWrite{1, 2, KeySlot::A, kF12, "00112233445566778899AABBCCDDEEFF"})),
                 QString("fFFFFFFFFFFFF i600600112233445566778899AABBCCDDEEFF"));
        QCOMPARE(Texts(WriteBlockCommands(BlockWrite{39, 15, KeySlot::B, "A0A1A2A3A4A5", "12"})),
                 QString("fA0A1A2A3A4A5 i61FF12"));
        QCOMPARE(Texts(WriteBlockCommands(BlockWrite{40, 0, KeySlot::A, kF12, "12"})), QString());
    }
};

QTEST_GUILESS_MAIN(TestMifareCommands)
#include "tst_mifare_commands.moc"
