// End-to-end checks of the colour read and write over the real serial path
// against zav-sim: all 536 transactions and the banks byte for byte. The
// carry-over of an earlier bank's bytes when an address goes unanswered is
// colourtransfer_test's, in virtual time.

#include "sectors/colourrecord.h"
#include "support/e2erig.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

constexpr int kRecordSize = 67;

// One row of the sector table with its colour, as the test sets it up.
struct Row
{
    qint32 colour = 0;
    std::array<qint32, 33> entries{}; // 1..32
};

using Rows = std::array<Row, 9>; // 1..8

// A different colour and a different mix of angles, empty entries (511) and
// numbers that are not angles in every row; row 8 is left empty.
Rows patternRows()
{
    Rows rows;
    for (int r = 1; r <= 8; ++r) {
        rows[r].colour = qint32((quint32(r) * 0x2F1B47u + 0x0A0B0Cu) & 0xFFFFFF);
        for (int e = 1; e <= 32; ++e) {
            qint32 value = (r * 47 + e * 13) % 420;
            if ((e + r) % 5 == 0 || r == 8)
                value = 511;
            rows[r].entries[e] = value;
        }
    }
    rows[2].entries[5] = 1000;
    rows[5].entries[1] = 0;
    rows[5].entries[2] = 359;
    return rows;
}

// The 67 bytes of a record: blue, green, red, then each entry high byte first.
QByteArray recordBytes(const Row &row)
{
    QByteArray bytes;
    bytes.append(char((row.colour >> 16) & 0xFF))
        .append(char((row.colour >> 8) & 0xFF))
        .append(char(row.colour & 0xFF));
    for (int e = 1; e <= 32; ++e)
        bytes.append(char((row.entries[e] >> 8) & 0xFF)).append(char(row.entries[e] & 0xFF));
    return bytes;
}

// Bank n holds rows 2n-1 (addresses 0..66) and 2n (128..194).
QByteArray bankBytes(const Rows &rows, int bank)
{
    QByteArray bytes(256, '\0');
    bytes.replace(0, kRecordSize, recordBytes(rows[2 * bank - 1]));
    bytes.replace(128, kRecordSize, recordBytes(rows[2 * bank]));
    return bytes;
}

bool loadBank(E2eRig &rig, int bank, const QByteArray &bytes)
{
    for (int first : {0, 128}) {
        QString line = QStringLiteral("set bank %1 %2").arg(bank).arg(first);
        for (int a = first; a < first + kRecordSize; ++a)
            line += QLatin1Char(' ') + QString::number(quint8(bytes[a]));
        if (!rig.simCommand(line))
            return false;
    }
    return true;
}

// The used addresses of a bank as "a:b" pairs, for readable failures.
QStringList usedBytes(const QByteArray &bank)
{
    QStringList out;
    for (int first : {0, 128}) {
        for (int a = first; a < first + kRecordSize; ++a)
            out << QStringLiteral("%1:%2").arg(a).arg(quint8(bank[a]));
    }
    return out;
}

QList<QByteArray> transferFrames(bool write, const std::array<QByteArray, 5> &banks)
{
    QList<QByteArray> frames;
    for (int bank = 1; bank <= 4; ++bank) {
        for (int first : {0, 128}) {
            for (int a = first; a < first + kRecordSize; ++a)
                frames.append(write ? E2eRig::frame(quint8(130 + bank), quint8(a), quint8(banks[bank][a]))
                                    : E2eRig::frame(quint8(134 + bank), quint8(a)));
        }
    }
    return frames;
}

QString cellText(qint32 value)
{
    return value >= 0 && value <= 359 ? QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0')) : QString();
}

} // namespace

class E2eColoursTest : public QObject
{
    Q_OBJECT

private slots:
    void writeRightAfterStartUp();
    void fullRead();
    void fullWrite();
};

void E2eColoursTest::writeRightAfterStartUp()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    rig.setRealPauses(false);
    // Whatever the controller held is replaced.
    for (int bank = 1; bank <= 4; ++bank)
        QVERIFY(loadBank(rig, bank, QByteArray(256, '\x77')));

    const int mark = rig.logMark();
    rig.colours.CEscribirColores_Click();

    // Colours 1..8 from the captions "1".."8"; every row empty, 32 pairs 01 FF.
    Rows startUp;
    for (int r = 1; r <= 8; ++r) {
        startUp[r].colour = r;
        startUp[r].entries.fill(511);
    }
    std::array<QByteArray, 5> expected;
    for (int bank = 1; bank <= 4; ++bank) {
        expected[bank] = bankBytes(startUp, bank);
        QCOMPARE(usedBytes(rig.sim.dumpBank(bank)), usedBytes(expected[bank]));
        QCOMPARE(expected[bank].mid(3, 64), QByteArray::fromHex("01FF").repeated(32));
    }
    QCOMPARE(rig.requestsSince(mark), transferFrames(true, expected));
    QCOMPARE(rig.fields.statusHistory.first(), QStringLiteral("Segments transmision"));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    QCOMPARE(rig.fields.statusHistory.at(rig.fields.statusHistory.size() - 2),
             QStringLiteral(" 4 - 194 - 255"));
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.port->isOpen());
}

void E2eColoursTest::fullRead()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    rig.setRealPauses(false);
    const Rows rows = patternRows();
    std::array<QByteArray, 5> banks;
    for (int bank = 1; bank <= 4; ++bank) {
        banks[bank] = bankBytes(rows, bank);
        QVERIFY(loadBank(rig, bank, banks[bank]));
        QCOMPARE(usedBytes(rig.sim.dumpBank(bank)), usedBytes(banks[bank]));
    }
    QSet<bool> buttonsDuring;
    rig.link.processEvents = [&] { buttonsDuring.insert(rig.buttonsEnabled()); };

    const int mark = rig.logMark();
    rig.colours.CLeerColores_Click();

    QCOMPARE(rig.requestsSince(mark), transferFrames(false, banks));
    QCOMPARE(buttonsDuring, QSet<bool>{false});
    QVERIFY(rig.buttonsEnabled());
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    for (int r = 1; r <= 8; ++r) {
        QCOMPARE(rig.sectors.colours.colour(r), rows[r].colour);
        QCOMPARE(rig.fields.caption(SectorEditor::colourLabel(r)), QString::number(rows[r].colour));
        QCOMPARE(rig.grid.headerColours[r], qint64(rows[r].colour));
        for (int e = 1; e <= 32; ++e) {
            QCOMPARE(rig.sectors.table.entry(r, e), rows[r].entries[e]);
            QCOMPARE(rig.grid.cellText(r, e), cellText(rows[r].entries[e]));
        }
    }
    QCOMPARE(rig.grid.cellText(5, 1), QStringLiteral("000"));
    QCOMPARE(rig.fields.beeps, 0);
}

void E2eColoursTest::fullWrite()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("led"), {QStringLiteral("--no-line-rate")}));
    rig.setRealPauses(false);
    const Rows rows = patternRows();
    for (int r = 1; r <= 8; ++r) {
        // The write takes the colours from the labels, not from the stored colours.
        rig.fields.setCaption(SectorEditor::colourLabel(r), QString::number(rows[r].colour));
        rig.sectors.colours.setColour(r, 0x123456);
        for (int e = 1; e <= 32; ++e)
            rig.sectors.table.setEntry(r, e, rows[r].entries[e]);
    }
    rig.editor.RedibujaGrid();

    const int mark = rig.logMark();
    rig.colours.CEscribirColores_Click();

    std::array<QByteArray, 5> expected;
    for (int bank = 1; bank <= 4; ++bank) {
        expected[bank] = bankBytes(rows, bank);
        QCOMPARE(usedBytes(rig.sim.dumpBank(bank)), usedBytes(expected[bank]));
    }
    // Row 8 is empty: 32 pairs 01 FF at 131..194 of bank 4.
    QCOMPARE(rig.sim.dumpBank(4).mid(131, 64), QByteArray::fromHex("01FF").repeated(32));
    QCOMPARE(rig.requestsSince(mark), transferFrames(true, expected));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    for (int r = 1; r <= 8; ++r)
        QCOMPARE(rig.sectors.colours.colour(r), rows[r].colour);
    QCOMPARE(rig.fields.beeps, 0);
}

QTEST_GUILESS_MAIN(E2eColoursTest)
#include "e2e_colours_test.moc"
