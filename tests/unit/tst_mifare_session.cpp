// The MIFARE reader commands against a simulated PX30-M on the scripted channel: the frames each
// attempt sends, the pauses that open the attempts, and which replies count. Faults are played
// on one command's replies only, so the reader check before it stays sound.
#include <QtTest>

#include "CommandRig.h"
#include "commands/mifare/MifareCommands.h"

using commands::CardIdLocation;
using commands::Session;
using commands::mifare::KeySlot;
using tbsim::Fault;
using tbsim::MifareSize;

Q_DECLARE_METATYPE(tbsim::Fault)
Q_DECLARE_METATYPE(commands::mifare::KeySlot)

namespace {

enum class Card { None, Classic1K, Classic4K };

const QString kF12(12, 'F');
const std::string kBlock6 = "000102030405060708090A0B0C0D0E0F";

// Data columns every table shares: the card in the field, the fault and the command it hits,
// what went over the line, the pauses, and the outcome.
void AddCommonColumns() {
    QTest::addColumn<int>("card");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("only");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("pauses");
    QTest::addColumn<bool>("ok");
}

// A rig with one PX30-M (ID 01) on COM1, opened, with the row's card and fault.
struct Bench {
    CommandRig rig;
    Session session{rig.link, rig.pacer, "A01"};
    bool opened = false;

    Bench() {
        QFETCH(int, card);
        QFETCH(Fault, fault);
        QFETCH(QString, only);
        tbsim::SimReader* reader = rig.addReader(tbsim::ReaderKind::PX30M, 1);
        if (Card(card) != Card::None) {
            auto made = tbsim::MakeMifareCard(
                Card(card) == Card::Classic1K ? MifareSize::Classic1K : MifareSize::Classic4K,
                {0x5A, 0x6B, 0x7C, 0x8D});
            // Sector 1, block 2: bytes that show where the data field lies in a reply.
            for (std::uint8_t i = 0; i < 16; ++i) made.blocks[6][i] = i;
            reader->presentMifareCard(made);
        }
        tbsim::FaultPlan plan;
        plan.fault = fault;
        plan.length = fault == Fault::OverlongReply ? (only == "d6" ? 4 : 35) : 0;
        rig.line().setFault(plan, only.toStdString());
        opened = rig.open();
    }

    void verify(bool result) {
        QFETCH(QString, commands);
        QFETCH(QString, pauses);
        QFETCH(bool, ok);
        QVERIFY(opened);
        QStringList sent;
        for (const auto& text : rig.takeCommands()) sent << QString::fromStdString(text);
        QCOMPARE(sent.join(' '), commands);
        QCOMPARE(QString::fromStdString(rig.pacer.pausesText()), pauses);
        QCOMPARE(result, ok);
    }
};

const int k1K = int(Card::Classic1K);
const int k4K = int(Card::Classic4K);
const int kNoCard = int(Card::None);

}  // namespace

class TestMifareSession : public QObject {
    Q_OBJECT

private slots:
    void cardIdLocation_data();
    void cardIdLocation();
    void eepromKey_data();
    void eepromKey();
    void sectorTrailer_data();
    void sectorTrailer();
    void readBlock_data();
    void readBlock();
    void writeBlock_data();
    void writeBlock();
};

void TestMifareSession::cardIdLocation_data() {
    AddCommonColumns();
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("keyError");

    QTest::newRow("sector 1 block 2 byte 4, Key B, LED") << kNoCard << Fault::None << ""
                                                         << "A01B A01a0102040101"
                                                         << "K100" << true << 1 << 1;
    QTest::newRow("sector 39 block 3 byte 31, BEEP+LED") << kNoCard << Fault::None << ""
                                                         << "A01B A01a27031F0003"
                                                         << "K100" << true << 39 << 3;
    // Any verified reply counts, whatever its length.
    QTest::newRow("long reply to a") << kNoCard << Fault::OverlongReply << "a"
                                     << "A01B A01a0102040101"
                                     << "K100" << true << 1 << 1;
    QTest::newRow("reader check of 15 bytes: no a sent") << kNoCard << Fault::WrongLength << "B"
                                                         << "A01B A01B"
                                                         << "K100 K100" << false << 1 << 1;
    QTest::newRow("wrong checksum on a") << kNoCard << Fault::WrongChecksum << "a"
                                         << "A01B A01a0102040101 A01B A01a0102040101"
                                         << "K100 K100" << false << 1 << 1;
    QTest::newRow("key-error list without a selection: nothing sent")
        << kNoCard << Fault::None << ""
        << ""
        << "" << false << 1 << -1;
}

void TestMifareSession::cardIdLocation() {
    QFETCH(int, sector);
    QFETCH(int, keyError);
    Bench bench;
    const CardIdLocation location = sector == 39 ? CardIdLocation{39, 3, 31, false, keyError}
                                                 : CardIdLocation{1, 2, 4, true, keyError};
    bench.verify(commands::mifare::SetCardIdLocation(bench.session, location));
}

void TestMifareSession::eepromKey_data() {
    AddCommonColumns();
    QTest::addColumn<int>("sector");
    QTest::addColumn<KeySlot>("slot");
    QTest::addColumn<QString>("key");

    QTest::newRow("sector 39, Key B") << kNoCard << Fault::None << ""
                                      << "A01B A01d6127FFFFFFFFFFFF"
                                      << "K100" << true << 39 << KeySlot::B << kF12;
    QTest::newRow("sector 10, Key A") << kNoCard << Fault::None << ""
                                      << "A01B A01d600AA0A1A2A3A4A5"
                                      << "K100" << true << 10 << KeySlot::A << "A0A1A2A3A4A5";
    // The reader answers a key of 11 characters with status 04: both attempts send it as typed.
    QTest::newRow("11-character key refused twice")
        << kNoCard << Fault::None << ""
        << "A01B A01d6002FFFFFFFFFFF A01B A01d6002FFFFFFFFFFF"
        << "K100 K100" << false << 2 << KeySlot::A << kF12.left(11);
    QTest::newRow("9-byte reply") << kNoCard << Fault::WrongLength << "d6"
                                  << "A01B A01d6001FFFFFFFFFFFF A01B A01d6001FFFFFFFFFFFF"
                                  << "K100 K100" << false << 1 << KeySlot::A << kF12;
    QTest::newRow("12-byte reply beginning 00")
        << kNoCard << Fault::OverlongReply << "d6"
        << "A01B A01d6001FFFFFFFFFFFF A01B A01d6001FFFFFFFFFFFF"
        << "K100 K100" << false << 1 << KeySlot::A << kF12;
}

void TestMifareSession::eepromKey() {
    QFETCH(int, sector);
    QFETCH(KeySlot, slot);
    QFETCH(QString, key);
    Bench bench;
    bench.verify(
        commands::mifare::WriteKeyToEeprom(bench.session, sector, slot, key.toStdString()));
}

void TestMifareSession::sectorTrailer_data() {
    AddCommonColumns();
    QTest::addColumn<int>("sector");

    const QString initial = "A01B A01i60FFFFFFFFFFFF07FFFFFFFFFFFFFF0780AAFFFFFFFFFFFF";
    QTest::newRow("initial values, sector 1")
        << k1K << Fault::None << "" << initial << "K100" << true << 1;
    QTest::newRow("sector 39 of a 4K card")
        << k4K << Fault::None << ""
        << "A01B A01i60FFFFFFFFFFFFFFFFFFFFFFFFFFFF0780AAFFFFFFFFFFFF"
        << "K100" << true << 39;
    QTest::newRow("no card: status 01")
        << kNoCard << Fault::None << "" << initial + " " + initial << "K100 K100" << false << 1;
    QTest::newRow("41-byte reply") << k1K << Fault::WrongLength << "i6" << initial + " " + initial
                                   << "K100 K100" << false << 1;
    QTest::newRow("43-byte reply beginning 00")
        << k1K << Fault::OverlongReply << "i6" << initial + " " + initial << "K100 K100" << false
        << 1;
}

void TestMifareSession::sectorTrailer() {
    QFETCH(int, sector);
    Bench bench;
    commands::mifare::SectorTrailerWrite write;
    write.sector = sector;
    bench.verify(commands::mifare::WriteSectorTrailer(bench.session, write));
}

void TestMifareSession::readBlock_data() {
    AddCommonColumns();
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("block");
    QTest::addColumn<KeySlot>("slot");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("data");

    const QString typed = "A01B A01fFFFFFFFFFFFF A01h6006";
    QTest::newRow("typed key") << k1K << Fault::None << "" << typed << "K100" << true << 1 << 2
                               << KeySlot::A << false << QString::fromStdString(kBlock6);
    QTest::newRow("stored Key A names the sector")
        << k1K << Fault::None << ""
        << "A01B A01e6001 A01h6006"
        << "K100" << true << 1 << 2 << KeySlot::A << true << QString::fromStdString(kBlock6);
    QTest::newRow("sector 35 block 12 of a 4K card")
        << k4K << Fault::None << ""
        << "A01B A01fFFFFFFFFFFFF A01h60BC"
        << "K100" << true << 35 << 12 << KeySlot::A << false << QString(32, '0');
    // A fresh card lets Key B be read, and a readable Key B opens nothing.
    QTest::newRow("stored Key B on a fresh card")
        << k1K << Fault::None << ""
        << "A01B A01e6101 A01h6106 A01B A01e6101 A01h6106"
        << "K100 K100" << false << 1 << 2 << KeySlot::B << true << "";
    QTest::newRow("key command unanswered: no read")
        << k1K << Fault::Silence << "f"
        << "A01B A01fFFFFFFFFFFFF A01B A01fFFFFFFFFFFFF"
        << "K100 K100" << false << 1 << 2 << KeySlot::A << false << "";
    QTest::newRow("41-byte block reply")
        << k1K << Fault::WrongLength << "h6" << typed + " " + typed << "K100 K100" << false << 1
        << 2 << KeySlot::A << false << "";
    QTest::newRow("no card") << kNoCard << Fault::None << "" << typed + " " + typed << "K100 K100"
                             << false << 1 << 2 << KeySlot::A << false << "";
}

void TestMifareSession::readBlock() {
    QFETCH(int, sector);
    QFETCH(int, block);
    QFETCH(KeySlot, slot);
    QFETCH(bool, stored);
    QFETCH(QString, data);
    Bench bench;
    const auto read = commands::mifare::ReadBlock(
        bench.session, {sector, block, slot, stored, kF12.toStdString()});
    bench.verify(read.has_value());
    QCOMPARE(read ? QString::fromStdString(*read) : QString(), data);
}

void TestMifareSession::writeBlock_data() {
    AddCommonColumns();
    QTest::addColumn<QString>("data");

    const QString bytes = "00112233445566778899AABBCCDDEEFF";
    const QString write = "A01B A01fFFFFFFFFFFFF A01i6004" + bytes;
    QTest::newRow("echoed as sent") << k1K << Fault::None << "" << write << "K100" << true << bytes;
    QTest::newRow("echo differs in one character")
        << k1K << Fault::AlteredData << "i6" << write + " " + write << "K100 K100" << false
        << bytes;
    const QString shortData = bytes.left(31);
    const QString shortWrite = "A01B A01fFFFFFFFFFFFF A01i6004" + shortData;
    QTest::newRow("31 characters never echoed")
        << k1K << Fault::None << "" << shortWrite + " " + shortWrite << "K100 K100" << false
        << shortData;
}

void TestMifareSession::writeBlock() {
    QFETCH(QString, data);
    Bench bench;
    const bool written = commands::mifare::WriteBlock(
        bench.session, {1, 0, KeySlot::A, kF12.toStdString(), data.toStdString()});
    bench.verify(written);
    if (written) {
        const auto card = bench.rig.line().readers().front()->mifareCard();
        QCOMPARE(card->blocks[4][15], std::uint8_t{0xFF});
    }
}

QTEST_GUILESS_MAIN(TestMifareSession)
#include "tst_mifare_session.moc"
