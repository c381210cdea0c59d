#include "fields/memoryfields.h"
#include "sectors/colourrecord.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"

#include <QtTest>

namespace {
constexpr quint32 kPureBlue = 0xFF0000;

struct Page
{
    SectorState state;
    MemorySectorGrid grid;
    MemoryFields fields;
    SectorEditor editor{state, grid, fields};

    Page()
    {
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        for (int i = 1; i <= 8; ++i)
            fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
    }

    void type(const QString &keys)
    {
        for (const QChar ch : keys)
            editor.MSFlexGridPautas_KeyPress(ch.unicode());
    }
};
} // namespace

class SectorsTest : public QObject
{
    Q_OBJECT

private slots:
    void formatAndClear();
    void keyAndLeave_data();
    void keyAndLeave();
    void typingChangesOnlyTheText();
    void tabInTheLastColumnWraps();
    void programMoveRunsTheCheck();
    void redrawShowsOnlyAngles();
    void clearKeepsColours();
    void colourLabels();
    void colourFromCaption_data();
    void colourFromCaption();
    void recordCodec();
    void requestFrames_data();
    void requestFrames();
};

void SectorsTest::formatAndClear()
{
    Page page;
    QCOMPARE(page.grid.cellText(0, 0), QString());
    QCOMPARE(page.grid.cellText(1, 0), QStringLiteral(" 1"));
    QCOMPARE(page.grid.cellText(8, 0), QStringLiteral(" 8"));
    QCOMPARE(page.grid.cellText(0, 1), QStringLiteral(" 1I"));
    QCOMPARE(page.grid.cellText(0, 2), QStringLiteral(" 1F"));
    QCOMPARE(page.grid.cellText(0, 31), QStringLiteral(" 16I"));
    QCOMPARE(page.grid.cellText(0, 32), QStringLiteral(" 16F"));
    QSet<int> endColumns;
    for (int k = 1; k <= 16; ++k)
        endColumns.insert(2 * k);
    QCOMPARE(page.grid.shadedColumns, endColumns);
    QCOMPARE(page.grid.widthTwips, 350);
    QCOMPARE(page.grid.heightTwips, 250);
    for (int r = 1; r <= 8; ++r) {
        for (int c = 1; c <= 32; ++c) {
            QVERIFY(page.grid.cellText(r, c).isEmpty());
            QCOMPARE(page.state.table.entry(r, c), 511);
        }
    }
}

// Keys: digits and letters as typed, "\b" backspace. The cell is left by tab.
void SectorsTest::keyAndLeave_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("left");  // text of the cell to the left (column > 1)
    QTest::addColumn<QString>("shown"); // text of the cell before typing
    QTest::addColumn<int>("entry");     // its table entry before typing
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cellAfter"); // after leaving
    QTest::addColumn<int>("entryAfter");

    const QString forty = QStringLiteral("1234567890123456789012345678901234567890");
    // clang-format off
    QTest::newRow("45 in the first column") << 1 << "" << "" << 511 << "45" << "045" << 45;
    QTest::newRow("90 after an empty cell") << 2 << "" << "" << 511 << "90" << "" << 511;
    QTest::newRow("360") << 2 << "045" << "" << 511 << "360" << "" << 511;
    QTest::newRow("359") << 2 << "045" << "" << 511 << "359" << "359" << 359;
    QTest::newRow("0") << 2 << "045" << "" << 511 << "0" << "000" << 0;
    QTest::newRow("7") << 3 << "090" << "" << 511 << "7" << "007" << 7;
    QTest::newRow("045 then 7") << 1 << "" << "045" << 45 << "7" << "" << 511;
    QTest::newRow("backspace on empty") << 2 << "045" << "" << 511 << "\b" << "" << 511;
    QTest::newRow("backspace on 045") << 2 << "045" << "045" << 45 << "\b" << "004" << 4;
    QTest::newRow("cleared by backspaces") << 2 << "045" << "045" << 45 << "\b\b\b" << "" << 511;
    QTest::newRow("40 digits") << 2 << "045" << "" << 511 << forty << "" << 511;
    QTest::newRow("40 digits over a value") << 2 << "045" << "090" << 90 << forty << "" << 511;
    QTest::newRow("leading zeros") << 2 << "045" << "" << 511 << "0000000000000000000000359" << "359" << 359;
    QTest::newRow("other keys ignored") << 1 << "" << "" << 511 << "4a-. \r5" << "045" << 45;
    QTest::newRow("left and empty, unchanged") << 2 << "045" << "" << 511 << "" << "" << 511;
    QTest::newRow("odd controller value kept") << 2 << "045" << "" << 1000 << "" << "" << 1000;
    QTest::newRow("rejected over odd value") << 2 << "045" << "" << 1000 << "400" << "" << 1000;
    QTest::newRow("360 from a file, left") << 2 << "045" << "360" << 360 << "" << "" << 511;
    QTest::newRow("column 32") << 32 << "300" << "" << 511 << "310" << "310" << 310;
    // clang-format on
}

void SectorsTest::keyAndLeave()
{
    QFETCH(int, column);
    QFETCH(QString, left);
    QFETCH(QString, shown);
    QFETCH(int, entry);
    QFETCH(QString, keys);
    QFETCH(QString, cellAfter);
    QFETCH(int, entryAfter);

    Page page;
    const int row = 3;
    page.grid.setCurrentCell(row, column);
    if (column > 1)
        page.grid.setCellText(row, column - 1, left);
    page.grid.setCellText(row, column, shown);
    page.state.table.setEntry(row, column, entry);

    page.type(keys);
    page.editor.MSFlexGridPautas_KeyPress(9);

    QVERIFY(page.grid.currentRow() != row || page.grid.currentColumn() != column);
    QCOMPARE(page.grid.cellText(row, column), cellAfter);
    QCOMPARE(page.state.table.entry(row, column), entryAfter);
}

void SectorsTest::typingChangesOnlyTheText()
{
    Page page;
    page.type(QStringLiteral("45"));
    page.editor.MSFlexGridPautas_KeyPress(9);
    QCOMPARE(page.state.table.entry(1, 1), 45);

    page.grid.setCurrentCell(1, 1);
    page.type(QStringLiteral("7"));
    QCOMPARE(page.grid.cellText(1, 1), QStringLiteral("0457"));
    QCOMPARE(page.state.table.entry(1, 1), 45);
}

void SectorsTest::tabInTheLastColumnWraps()
{
    Page page;
    page.grid.setCurrentCell(2, 32);
    page.grid.setCellText(2, 31, QStringLiteral("100"));
    page.type(QStringLiteral("120\t"));
    QCOMPARE(page.grid.currentRow(), 3);
    QCOMPARE(page.grid.currentColumn(), 1);
    QCOMPARE(page.state.table.entry(2, 32), 120);

    page.grid.setCurrentCell(8, 32);
    page.type(QStringLiteral("\t"));
    QCOMPARE(page.grid.currentRow(), 1);
    QCOMPARE(page.grid.currentColumn(), 1);
}

void SectorsTest::programMoveRunsTheCheck()
{
    Page page;
    page.type(QStringLiteral("5"));
    page.grid.setCurrentCell(4, 4);
    QCOMPARE(page.grid.cellText(1, 1), QStringLiteral("005"));
    QCOMPARE(page.state.table.entry(1, 1), 5);

    // Header cells never become current.
    page.grid.setCurrentCell(0, 3);
    page.grid.setCurrentCell(2, 0);
    QCOMPARE(page.grid.currentRow(), 4);
    QCOMPARE(page.grid.currentColumn(), 4);
}

void SectorsTest::redrawShowsOnlyAngles()
{
    Page page;
    page.grid.setCurrentCell(5, 7);
    SectorTable &table = page.state.table;
    table.setEntry(1, 1, 45);
    table.setEntry(1, 2, 1000);
    table.setEntry(1, 3, 511);
    table.setEntry(1, 4, 0);
    // The current cell is checked after the redraw and keeps its odd value.
    table.setEntry(5, 7, 1000);
    const int repaints = page.grid.repaints;

    page.editor.RedibujaGrid();

    QCOMPARE(page.grid.cellText(1, 1), QStringLiteral("045"));
    QCOMPARE(page.grid.cellText(1, 2), QString());
    QCOMPARE(page.grid.cellText(1, 3), QString());
    QCOMPARE(page.grid.cellText(1, 4), QStringLiteral("000"));
    QCOMPARE(table.entry(1, 2), 1000);
    QCOMPARE(table.entry(1, 3), 511);
    QCOMPARE(table.entry(5, 7), 1000);
    QCOMPARE(page.grid.repaints, repaints + 1);

    // So does a 360 from the controller, which the grid never showed.
    table.setEntry(5, 7, 360);
    page.editor.RedibujaGrid();
    QCOMPARE(page.grid.cellText(5, 7), QString());
    QCOMPARE(table.entry(5, 7), 360);
}

void SectorsTest::clearKeepsColours()
{
    Page page;
    page.state.colours.setColour(2, 255);
    page.editor.RellenarColores();
    page.type(QStringLiteral("45\t90"));
    page.editor.CBorrarTabla_Click();

    QCOMPARE(page.grid.cellText(1, 2), QString());
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 32; ++c)
            QCOMPARE(page.state.table.entry(r, c), 511);
    QCOMPARE(page.state.colours.colour(2), 255);
    QCOMPARE(page.fields.caption("LColor(2)"), QStringLiteral("255"));
    QCOMPARE(page.grid.headerColours[2], 255);
}

void SectorsTest::colourLabels()
{
    Page page;
    for (int i = 1; i <= 8; ++i)
        page.state.colours.setColour(i, i * 1000);
    page.editor.RellenarColores();
    QCOMPARE(page.fields.caption("LColor(1)"), QStringLiteral("1000"));
    QCOMPARE(page.fields.caption("LColor(8)"), QStringLiteral("8000"));
    QCOMPARE(page.grid.headerColours[8], 8000);

    int shown = 0;
    quint32 last = 0; // the chooser starts at black and keeps the last choice
    page.editor.chooseColour = [&] {
        ++shown;
        return last;
    };
    page.editor.LColor_Click(5);
    QCOMPARE(page.fields.caption("LColor(5)"), QStringLiteral("0"));
    QCOMPARE(page.state.colours.colour(5), 0);

    last = kPureBlue;
    page.editor.LColor_Click(3);
    QCOMPARE(shown, 2);
    QCOMPARE(page.fields.caption("LColor(3)"), QStringLiteral("16711680"));
    QCOMPARE(page.grid.headerColours[3], qint64(kPureBlue));
    QCOMPARE(page.state.colours.colour(3), 16711680);
}

void SectorsTest::colourFromCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("colour");
    QTest::newRow("red") << "255" << 255;
    QTest::newRow("design caption") << "7" << 7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("text after") << "12abc" << 12;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("huge") << "99999999999999999999999" << 2147483647;
}

void SectorsTest::colourFromCaption()
{
    QFETCH(QString, caption);
    QFETCH(int, colour);
    QCOMPARE(SectorEditor::colourFromCaption(caption), colour);
}

void SectorsTest::recordCodec()
{
    SectorState state;
    state.colours.setColour(1, 255);
    state.colours.setColour(2, 0x123456);
    state.table.setEntry(1, 1, 45);
    state.table.setEntry(1, 2, 90);
    state.table.setEntry(2, 32, 359);

    ColourRecord::TransferBuffer buffer{};
    ColourRecord::encodeBank(buffer, 1, state);
    const QByteArray first(reinterpret_cast<const char *>(buffer.data()), ColourRecord::kSize);
    QByteArray expected = QByteArray::fromHex("0000FF002D005A");
    for (int e = 3; e <= 32; ++e)
        expected += QByteArray::fromHex("01FF");
    QCOMPARE(first.toHex(), expected.toHex());
    QCOMPARE(buffer[128], quint8(0x12));
    QCOMPARE(buffer[129], quint8(0x34));
    QCOMPARE(buffer[130], quint8(0x56));
    QCOMPARE(buffer[193], quint8(0x01));
    QCOMPARE(buffer[194], quint8(0x67));
    QCOMPARE(buffer[67], quint8(0)); // unused addresses stay as they were

    SectorState back;
    back.table.setEntry(3, 1, 7);
    ColourRecord::decodeBank(buffer, 1, back);
    for (int row = 1; row <= 2; ++row) {
        QCOMPARE(back.colours.colour(row), state.colours.colour(row));
        for (int e = 1; e <= 32; ++e)
            QCOMPARE(back.table.entry(row, e), state.table.entry(row, e));
    }
    QCOMPARE(back.table.entry(3, 1), 7); // other banks untouched

    // Any 16-bit value comes back as it was sent.
    buffer[3] = 0xFF;
    buffer[4] = 0xFE;
    ColourRecord::decodeBank(buffer, 1, back);
    QCOMPARE(back.table.entry(1, 1), 65534);
}

void SectorsTest::requestFrames_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QByteArray>("frame");
    // clang-format off
    QTest::newRow("read bank 1 address 0") << false << 1 << 0 << 0 << QByteArray("4a51000087000078");
    QTest::newRow("read bank 4 address 194") << false << 4 << 194 << 0 << QByteArray("4a5100008ac200b7");
    QTest::newRow("write 255 bank 1 address 0") << true << 1 << 0 << 255 << QByteArray("4a5100008300ff83");
    QTest::newRow("write 1 bank 1 address 3") << true << 1 << 3 << 1 << QByteArray("4a5100008303017e");
    // clang-format on
}

void SectorsTest::requestFrames()
{
    QFETCH(bool, write);
    QFETCH(int, bank);
    QFETCH(int, address);
    QFETCH(int, byte);
    QFETCH(QByteArray, frame);
    const RequestFrame request = write ? ColourRecord::writeRequest(bank, address, quint8(byte))
                                       : ColourRecord::readRequest(bank, address);
    QCOMPARE(encodeRequest(request).toHex(), frame);
}

QTEST_GUILESS_MAIN(SectorsTest)
#include "sectors_test.moc"
