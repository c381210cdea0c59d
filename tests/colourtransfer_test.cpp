#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "sectors/colourrecord.h"
#include "sectors/colourtransfer.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"
#include "support/virtuallink.h"

#include <QtTest>

namespace {

const QStringList kButtons{"CAbrir", "CGuardar", "CLeer", "CEscribir"};

struct Rig : VirtualLink
{
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ColourTransfer transfer{link, fields, editor};
    // Whether the main buttons were enabled while transactions waited.
    QSet<bool> buttonsDuring;

    Rig()
    {
        link.processEvents = [this] { buttonsDuring.insert(fields.isEnabled("CLeer")); };
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        for (int i = 1; i <= 8; ++i)
            fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
    }

    bool buttonsEnabled() const
    {
        for (const QString &name : kButtons)
            if (!fields.isEnabled(name))
                return false;
        return true;
    }
};

// A different byte at every used address of every bank.
quint8 patternByte(int bank, int address)
{
    return quint8(bank * 37 + address * 3);
}

QList<QByteArray> expectedFrames(bool write, const FakeControllerPort &port)
{
    QList<QByteArray> frames;
    for (int bank = 1; bank <= 4; ++bank)
        for (int first : {0, 128})
            for (int address = first; address < first + 67; ++address)
                frames.append(
                    encodeRequest(write ? ColourRecord::writeRequest(bank, address, port.banks[bank][address])
                                        : ColourRecord::readRequest(bank, address)));
    return frames;
}

} // namespace

class ColourTransferTest : public QObject
{
    Q_OBJECT

private slots:
    void progressText();
    void readFillsLabelsGridAndTable();
    void fullReadByteForByte();
    void fullWriteByteForByte();
    void writeAfterStartUpSendsDesignColours();
    void chosenBlueGoesToItsBank();
    void silentAddressLeavesItsBankAsItWas();
    void openFailure_data();
    void openFailure();
    void busyLinkSendsNothing();
    void lineLostMidway();
    void writeLineLostInTheSecondHalfBank();
};

void ColourTransferTest::progressText()
{
    QCOMPARE(ColourTransfer::progressText(1, 5, 255), QStringLiteral(" 1 - 005 - 255"));
    QCOMPARE(ColourTransfer::progressText(4, 194, 0), QStringLiteral(" 4 - 194 - 000"));
}

void ColourTransferTest::readFillsLabelsGridAndTable()
{
    Rig rig;
    auto &bank1 = rig.port.banks[1];
    for (int a = 3; a <= 66; a += 2) {
        bank1[a] = 0x01;
        bank1[a + 1] = 0xFF;
    }
    const quint8 start[] = {0x00, 0x00, 0xFF, 0x00, 0x2D, 0x00, 0x5A};
    std::copy(std::begin(start), std::end(start), bank1.begin());
    bank1[9] = 0x03; // entry 4 of row 1: 1000, shown empty
    bank1[10] = 0xE8;

    rig.transfer.CLeerColores_Click();

    QCOMPARE(rig.fields.caption("LColor(1)"), QStringLiteral("255"));
    QCOMPARE(rig.grid.headerColours[1], 255);
    QCOMPARE(rig.grid.cellText(1, 1), QStringLiteral("045"));
    QCOMPARE(rig.grid.cellText(1, 2), QStringLiteral("090"));
    QCOMPARE(rig.grid.cellText(1, 3), QString());
    QCOMPARE(rig.state.table.entry(1, 4), 1000);
    QCOMPARE(rig.state.table.entry(1, 5), 511);
    QCOMPARE(rig.fields.caption("LColor(2)"), QStringLiteral("0"));
    QCOMPARE(rig.state.table.entry(2, 1), 0); // bank 1's second record was all zero
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    QVERIFY(rig.fields.statusHistory.contains(QStringLiteral(" 1 - 002 - 255")));
    QCOMPARE(rig.buttonsDuring, QSet<bool>{false});
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(rig.fields.beeps, 0);
}

void ColourTransferTest::fullReadByteForByte()
{
    Rig rig;
    for (int bank = 1; bank <= 4; ++bank)
        for (int a = 0; a < 256; ++a)
            rig.port.banks[bank][a] = patternByte(bank, a);

    rig.transfer.CLeerColores_Click();

    QCOMPARE(rig.port.frames.size(), 536);
    QCOMPARE(rig.port.frames, expectedFrames(false, rig.port));
    for (int bank = 1; bank <= 4; ++bank) {
        ColourRecord::TransferBuffer buffer{};
        ColourRecord::encodeBank(buffer, bank, rig.state);
        for (int first : {0, 128})
            for (int a = first; a < first + 67; ++a)
                QCOMPARE(buffer[a], patternByte(bank, a));
    }
    QCOMPARE(rig.fields.caption("LColor(8)"), QString::number(rig.state.colours.colour(8)));
}

void ColourTransferTest::fullWriteByteForByte()
{
    Rig rig;
    for (int bank = 1; bank <= 4; ++bank)
        rig.port.banks[bank].fill(0xAA);
    // Rows 1..7 filled with distinct angles; row 8 left empty.
    for (int row = 1; row <= 7; ++row)
        for (int e = 1; e <= 32; ++e)
            rig.state.table.setEntry(row, e, (row * 40 + e) % 360);
    for (int i = 1; i <= 8; ++i)
        rig.fields.setCaption(SectorEditor::colourLabel(i), QString::number(i * 0x010203));
    for (const QString &name : kButtons)
        rig.fields.setEnabled(name, false);

    rig.transfer.CEscribirColores_Click();

    QCOMPARE(rig.port.frames.size(), 536);
    SectorState sent = rig.state;
    QCOMPARE(rig.port.frames, expectedFrames(true, rig.port));
    for (int bank = 1; bank <= 4; ++bank) {
        ColourRecord::TransferBuffer buffer{};
        ColourRecord::encodeBank(buffer, bank, sent);
        for (int first : {0, 128})
            for (int a = first; a < first + 67; ++a)
                QCOMPARE(rig.port.banks[bank][a], buffer[a]);
        QCOMPARE(rig.port.banks[bank][67], quint8(0xAA)); // unused addresses untouched
    }
    QCOMPARE(rig.state.colours.colour(5), 5 * 0x010203);
    // Row 8 is the second record of bank 4: 32 pairs 01 FF.
    for (int a = 131; a <= 194; a += 2) {
        QCOMPARE(rig.port.banks[4][a], quint8(0x01));
        QCOMPARE(rig.port.banks[4][a + 1], quint8(0xFF));
    }
    QCOMPARE(rig.fields.statusHistory.first(), QStringLiteral("Segments transmision"));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    // The write does not disable the buttons, and enables them at its end.
    QCOMPARE(rig.buttonsDuring, QSet<bool>{false});
    QVERIFY(rig.buttonsEnabled());
}

void ColourTransferTest::writeAfterStartUpSendsDesignColours()
{
    Rig rig;
    rig.transfer.CEscribirColores_Click();
    for (int bank = 1; bank <= 4; ++bank) {
        QCOMPARE(rig.port.banks[bank][2], quint8(2 * bank - 1));
        QCOMPARE(rig.port.banks[bank][130], quint8(2 * bank));
        QCOMPARE(rig.port.banks[bank][0], quint8(0));
        QCOMPARE(rig.port.banks[bank][1], quint8(0));
        for (int a = 3; a <= 66; a += 2) {
            QCOMPARE(rig.port.banks[bank][a], quint8(0x01));
            QCOMPARE(rig.port.banks[bank][a + 1], quint8(0xFF));
        }
    }
}

void ColourTransferTest::chosenBlueGoesToItsBank()
{
    Rig rig;
    rig.editor.chooseColour = [] { return quint32(0xFF0000); };
    rig.editor.LColor_Click(3);
    rig.editor.LColor_Click(4);
    rig.transfer.CEscribirColores_Click();
    const auto &bank2 = rig.port.banks[2];
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&bank2[0]), 3).toHex(), QByteArray("ff0000"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&bank2[128]), 3).toHex(), QByteArray("ff0000"));
}

void ColourTransferTest::silentAddressLeavesItsBankAsItWas()
{
    Rig rig;
    for (int bank = 1; bank <= 4; ++bank)
        for (int a = 0; a < 256; ++a)
            rig.port.banks[bank][a] = patternByte(bank, a);
    rig.port.silentCommandAddress.insert({136, 40});
    // Rows 3 and 4 before the read: a colour loaded from a file that the label does
    // not show yet, a table entry, and a grid cell typed but not yet stored.
    rig.state.colours.setColour(3, 77);
    rig.state.table.setEntry(3, 1, 45);
    rig.grid.setCellText(3, 1, QStringLiteral("045"));
    rig.grid.setCellText(4, 2, QStringLiteral("090"));
    const SectorTable tableBefore = rig.state.table;

    rig.transfer.CLeerColores_Click();

    QCOMPARE(rig.fields.beeps, 1);
    QSet<int> bank2Asked;
    int triesAt40 = 0;
    for (const QByteArray &frame : rig.port.frames) {
        if (quint8(frame[4]) == 136) {
            bank2Asked.insert(quint8(frame[5]));
            triesAt40 += quint8(frame[5]) == 40;
        }
    }
    // Only the half with the silent address is cut short; the rest is asked for.
    QCOMPARE(triesAt40, 3);
    for (int a = 41; a <= 66; ++a)
        QVERIFY(!bank2Asked.contains(a));
    for (int a = 128; a <= 194; ++a)
        QVERIFY(bank2Asked.contains(a));
    QCOMPARE(rig.port.frames.size(), 536 - 27 + 3);

    // Bank 2 did not come whole: its colours, rows, labels and grid cells are as
    // they were, with no byte of bank 1 carried into them.
    QCOMPARE(rig.transfer.unchangedRows(), (QList<int>{3, 4}));
    QCOMPARE(rig.transfer.unchangedNote(), QStringLiteral("colour read not finished, rows 3, 4 not changed"));
    QCOMPARE(rig.state.colours.colour(3), 77);
    QCOMPARE(rig.state.colours.colour(4), 0);
    QCOMPARE(rig.fields.caption("LColor(3)"), QStringLiteral("3"));
    QCOMPARE(rig.fields.caption("LColor(4)"), QStringLiteral("4"));
    for (int row : {3, 4}) {
        for (int entry = 1; entry <= SectorTable::kEntries; ++entry)
            QCOMPARE(rig.state.table.entry(row, entry), tableBefore.entry(row, entry));
    }
    QCOMPARE(rig.grid.cellText(3, 1), QStringLiteral("045"));
    QCOMPARE(rig.grid.cellText(4, 2), QStringLiteral("090"));
    QCOMPARE(rig.grid.cellText(4, 1), QString());
    // The other banks are read whole and shown.
    for (int bank : {1, 3, 4}) {
        for (int row : {2 * bank - 1, 2 * bank}) {
            const int start = row % 2 ? 0 : 128;
            const qint32 colour = patternByte(bank, start) * 65536 + patternByte(bank, start + 1) * 256 +
                                  patternByte(bank, start + 2);
            QCOMPARE(rig.state.colours.colour(row), colour);
            QCOMPARE(rig.fields.caption(SectorEditor::colourLabel(row)), QString::number(colour));
            const qint32 first = patternByte(bank, start + 3) * 256 + patternByte(bank, start + 4);
            QCOMPARE(rig.state.table.entry(row, 1), first);
            QCOMPARE(rig.grid.cellText(row, 1),
                     SectorTable::isAngle(first) ? SectorEditor::formatAngle(first) : QString());
        }
    }
    // The failure stays in view after the progress texts of the banks that followed.
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Reading Error in data 40"));
    QVERIFY(!rig.fields.statusHistory.contains(QStringLiteral("Ended")));
    QVERIFY(rig.buttonsEnabled());
    // Three tries of 2 s and the 1 s pause in virtual time.
    QVERIFY(rig.clock.nowNs() > 7'000'000'000LL);
}

void ColourTransferTest::openFailure_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void ColourTransferTest::openFailure()
{
    QFETCH(bool, write);
    Rig rig;
    rig.port.openFails = true;
    if (write)
        rig.transfer.CEscribirColores_Click();
    else
        rig.transfer.CLeerColores_Click();
    QVERIFY(rig.port.frames.isEmpty());
    QVERIFY(!rig.fields.statusLine().isEmpty());
    QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
    QVERIFY(rig.buttonsEnabled());
    QCOMPARE(rig.fields.caption("LColor(1)"), QStringLiteral("1"));
    QCOMPARE(rig.transfer.unchangedNote(),
             write ? QString() : QStringLiteral("colour read not finished, nothing was changed"));
}

void ColourTransferTest::busyLinkSendsNothing()
{
    Rig rig;
    QVERIFY(rig.link.tryBegin());
    rig.transfer.CLeerColores_Click();
    rig.transfer.CEscribirColores_Click();
    QVERIFY(rig.port.frames.isEmpty());
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Busy: wait for the running operation to end"));
    QVERIFY(rig.buttonsEnabled());
    rig.link.end();
}

void ColourTransferTest::lineLostMidway()
{
    Rig rig;
    for (int bank = 1; bank <= 4; ++bank)
        for (int a = 0; a < 256; ++a)
            rig.port.banks[bank][a] = patternByte(bank, a);
    rig.state.table.setEntry(5, 1, 45);
    rig.port.loseAfterFrames = 200; // in bank 2

    rig.transfer.CLeerColores_Click();

    QCOMPARE(rig.port.frames.size(), 201);
    QCOMPARE(rig.fields.beeps, 0);
    QVERIFY(!rig.link.failureText().isEmpty());
    QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
    // Bank 1 arrived whole; the banks after the loss keep what they held.
    QCOMPARE(rig.state.colours.colour(1),
             patternByte(1, 0) * 65536 + patternByte(1, 1) * 256 + patternByte(1, 2));
    QCOMPARE(rig.state.table.entry(5, 1), 45);
    QCOMPARE(rig.state.table.entry(3, 1), 511);
    QCOMPARE(rig.transfer.unchangedRows(), (QList<int>{3, 4, 5, 6, 7, 8}));
    QCOMPARE(rig.transfer.unchangedNote(),
             QStringLiteral("colour read not finished, rows 3, 4, 5, 6, 7, 8 not changed"));
    QVERIFY(rig.buttonsEnabled());
}

// A write that loses the line in the second record of bank 1 sends nothing more:
// not the rest of the bank, not the banks after it.
void ColourTransferTest::writeLineLostInTheSecondHalfBank()
{
    Rig rig;
    rig.port.loseAfterFrames = 75;

    rig.transfer.CEscribirColores_Click();

    QCOMPARE(rig.port.frames.size(), 76);
    QCOMPARE(quint8(rig.port.frames.last()[5]), quint8(128 + 75 - 67));
    QCOMPARE(rig.fields.beeps, 0);
    QVERIFY(!rig.link.failureText().isEmpty());
    QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.link.busy());
    QVERIFY(!rig.port.isOpen());
}

QTEST_GUILESS_MAIN(ColourTransferTest)
#include "colourtransfer_test.moc"
