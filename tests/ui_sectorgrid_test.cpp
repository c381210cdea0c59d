#include "device/numbers.h"
#include "fields/memoryfields.h"
#include "sectors/sectoreditor.h"
#include "ui/drawingwindow.h"
#include "ui/sectorgrid.h"
#include "ui/twips.h"

#include <QScrollBar>
#include <QtTest>

namespace {

struct Page
{
    SectorState state;
    MemoryFields fields;
    SectorGridWidget grid;
    SectorEditor editor{state, grid, fields};

    Page()
    {
        grid.attach(editor);
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        grid.resize(twipsToPixels(6435), twipsToPixels(2655));
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        activated = QTest::qWaitForWindowActive(&grid);
    }

    QPoint centreOf(int row, int column)
    {
        grid.scrollToItem(grid.item(row, column));
        return grid.visualItemRect(grid.item(row, column)).center();
    }

    void click(int row, int column)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(row, column));
    }

    bool activated = false;

    QPair<int, int> current() const { return {grid.currentRow(), grid.currentColumn()}; }
};

// True when some pixel in a small square around p is close to the colour.
bool colourNear(const QImage &image, QPoint p, QColor colour)
{
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (!image.rect().contains(q))
                continue;
            const QColor c = image.pixelColor(q);
            if (qAbs(c.red() - colour.red()) < 60 && qAbs(c.green() - colour.green()) < 60 &&
                qAbs(c.blue() - colour.blue()) < 60)
                return true;
        }
    }
    return false;
}

} // namespace

class UiSectorGridTest : public QObject
{
    Q_OBJECT

private slots:
    void shapeHeadersAndShading();
    void typingAndTab();
    void arrowKeysRunTheCheck();
    void mouseRunsTheCheck();
    void headerCellsNeverCurrent();
    void programMovesRunTheCheck();
    void otherKeysIgnored();
    void headerColumnStaysInPlace();
    void drawingWindow();
};

void UiSectorGridTest::shapeHeadersAndShading()
{
    Page page;
    QCOMPARE(page.grid.rowCount(), 9);
    QCOMPARE(page.grid.columnCount(), 33);
    QCOMPARE(page.grid.columnWidth(0), twipsToPixels(350));
    QCOMPARE(page.grid.columnWidth(32), twipsToPixels(350));
    QCOMPARE(page.grid.rowHeight(8), twipsToPixels(250));
    QCOMPARE(page.grid.item(0, 0)->text(), QString());
    QCOMPARE(page.grid.item(3, 0)->text(), QStringLiteral(" 3"));
    QCOMPARE(page.grid.item(0, 31)->text(), QStringLiteral(" 16I"));
    QCOMPARE(page.grid.item(0, 32)->text(), QStringLiteral(" 16F"));
    QCOMPARE(page.grid.item(4, 2)->background().color(), page.grid.shadeColour());
    QCOMPARE(page.grid.item(8, 32)->background().color(), page.grid.shadeColour());
    QCOMPARE(page.grid.item(4, 1)->background().style(), Qt::NoBrush);
    QVERIFY(page.grid.shadeColour() != page.grid.palette().color(QPalette::Base));
    // The light 3-D edge is the Midlight role, not the white button highlight.
    QPalette palette = page.grid.palette();
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Light, QColor(250, 250, 250));
    palette.setColor(QPalette::Midlight, QColor(227, 227, 227));
    page.grid.setPalette(palette);
    QCOMPARE(page.grid.shadeColour(), QColor(227, 227, 227));
    QCOMPARE(page.current(), qMakePair(1, 1));

    page.state.colours.setColour(1, 255);
    page.state.colours.setColour(3, 0xFF0000);
    page.editor.RellenarColores();
    QCOMPARE(page.grid.item(1, 0)->background().color(), QColor(255, 0, 0));
    QCOMPARE(page.grid.item(3, 0)->background().color(), QColor(0, 0, 255));
    QCOMPARE(page.fields.caption("LColor(3)"), QStringLiteral("16711680"));
}

void UiSectorGridTest::typingAndTab()
{
    Page page;
    QTest::keyClicks(&page.grid, "45");
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("45"));
    QCOMPARE(page.state.table.entry(1, 1), 511);
    QTest::keyClick(&page.grid, Qt::Key_Tab);
    QCOMPARE(page.current(), qMakePair(1, 2));
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("045"));
    QCOMPARE(page.state.table.entry(1, 1), 45);
    QVERIFY(page.activated);
    QVERIFY(page.grid.hasFocus()); // tab stays in the grid

    QTest::keyClicks(&page.grid, "360");
    QTest::keyClick(&page.grid, Qt::Key_Tab);
    QCOMPARE(page.grid.item(1, 2)->text(), QString());
    QCOMPARE(page.state.table.entry(1, 2), 511);

    // Backspace, then the last column wraps to the next row.
    page.grid.setCurrentCell(1, 1);
    QTest::keyClick(&page.grid, Qt::Key_Backspace);
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("04"));
    page.grid.setCurrentCell(1, 32);
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("004"));
    QTest::keyClick(&page.grid, Qt::Key_Tab);
    QCOMPARE(page.current(), qMakePair(2, 1));
}

void UiSectorGridTest::arrowKeysRunTheCheck()
{
    Page page;
    QTest::keyClicks(&page.grid, "7");
    QTest::keyClick(&page.grid, Qt::Key_Right);
    QCOMPARE(page.current(), qMakePair(1, 2));
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("007"));
    QCOMPARE(page.state.table.entry(1, 1), 7);

    QTest::keyClicks(&page.grid, "90");
    QTest::keyClick(&page.grid, Qt::Key_Down);
    QCOMPARE(page.current(), qMakePair(2, 2));
    QCOMPARE(page.state.table.entry(1, 2), 90);

    // A gap to the left blanks the entry.
    QTest::keyClicks(&page.grid, "120");
    QTest::keyClick(&page.grid, Qt::Key_Up);
    QCOMPARE(page.current(), qMakePair(1, 2));
    QCOMPARE(page.grid.item(2, 2)->text(), QString());
    QCOMPARE(page.state.table.entry(2, 2), 511);
}

void UiSectorGridTest::mouseRunsTheCheck()
{
    Page page;
    QTest::keyClicks(&page.grid, "359");
    page.click(4, 7);
    QCOMPARE(page.current(), qMakePair(4, 7));
    QCOMPARE(page.state.table.entry(1, 1), 359);

    QTest::keyClicks(&page.grid, "10");
    page.click(6, 20);
    QCOMPARE(page.current(), qMakePair(6, 20));
    QCOMPARE(page.grid.item(4, 7)->text(), QString());
    QCOMPARE(page.state.table.entry(4, 7), 511);
}

void UiSectorGridTest::headerCellsNeverCurrent()
{
    Page page;
    QTest::keyClicks(&page.grid, "45");
    page.click(0, 5);
    page.click(3, 0);
    QCOMPARE(page.current(), qMakePair(1, 1));
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("45")); // not left, not checked

    QTest::keyClick(&page.grid, Qt::Key_Left);
    QTest::keyClick(&page.grid, Qt::Key_Up);
    QTest::keyClick(&page.grid, Qt::Key_Home);
    QCOMPARE(page.current(), qMakePair(1, 1));
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("45"));

    page.grid.setCurrentCell(0, 0);
    page.grid.QTableWidget::setCurrentCell(5, 0);
    QCOMPARE(page.current(), qMakePair(1, 1));
}

void UiSectorGridTest::programMovesRunTheCheck()
{
    Page page;
    QTest::keyClicks(&page.grid, "5");
    // Also through the table widget's own call, which skips our override.
    page.grid.QTableWidget::setCurrentCell(2, 2);
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("005"));
    QCOMPARE(page.state.table.entry(1, 1), 5);

    page.state.table.setEntry(3, 1, 1000);
    page.state.table.setEntry(3, 2, 45);
    page.editor.RedibujaGrid();
    QCOMPARE(page.grid.item(3, 1)->text(), QString());
    QCOMPARE(page.grid.item(3, 2)->text(), QStringLiteral("045"));
    QCOMPARE(page.state.table.entry(3, 1), 1000);
}

void UiSectorGridTest::otherKeysIgnored()
{
    Page page;
    QTest::keyClicks(&page.grid, "1a-.,x 2");
    QTest::keyClick(&page.grid, Qt::Key_Return);
    QTest::keyClick(&page.grid, Qt::Key_Escape);
    QCOMPARE(page.grid.item(1, 1)->text(), QStringLiteral("12"));
    QCOMPARE(page.current(), qMakePair(1, 1));
}

void UiSectorGridTest::headerColumnStaysInPlace()
{
    Page page;
    auto *fixed = page.grid.findChild<QTableView *>("MSFlexGridPautasFixedColumn");
    QVERIFY(fixed);
    page.grid.setCurrentCell(3, 32);
    QVERIFY(page.grid.horizontalScrollBar()->value() > 0);
    QVERIFY(fixed->isVisible());
    QCOMPARE(fixed->geometry().left(), page.grid.frameWidth());
    QCOMPARE(fixed->width(), page.grid.columnWidth(0));
    QCOMPARE(fixed->visualRect(fixed->model()->index(3, 0)).top(),
             page.grid.visualRect(page.grid.model()->index(3, 5)).top());

    // Coming back left, the cell is not hidden under the header column.
    page.grid.setCurrentCell(3, 1);
    QCOMPARE(page.grid.horizontalScrollBar()->value(), 0);
    page.grid.setCurrentCell(3, 32);
    page.grid.setCurrentCell(3, 20);
    QVERIFY(page.grid.visualRect(page.grid.model()->index(3, 20)).left() >= page.grid.columnWidth(0));

    // A click on the header column moves nothing.
    QTest::keyClicks(&page.grid, "12");
    QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {},
                      fixed->visualRect(fixed->model()->index(5, 0)).center());
    QCOMPARE(page.current(), qMakePair(3, 20));
    QCOMPARE(page.grid.item(3, 20)->text(), QStringLiteral("12"));
}

void UiSectorGridTest::drawingWindow()
{
    QWidget owner;
    MemoryFields fields;
    fields.setCaption("LColor(1)", "255");

    FormDibujo *first = FormDibujo::Command2_Click(&owner, fields);
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(first->size(), QSize(twipsToPixels(5865), twipsToPixels(4650)));
    QVERIFY(first->isWindow());
    QCOMPARE(FormDibujo::Command2_Click(&owner, fields), first);

    const QRect outer = first->frameGeometry();
    const double ppt = pixelsPerTwip();
    const QPointF centre(roundHalfEven(pixelsToTwips(outer.width()) / 2.0) * ppt,
                         roundHalfEven(pixelsToTwips(outer.height()) / 2.0) * ppt);
    const QImage drawing = first->drawing();
    const QPoint outerRing = (centre + QPointF(1500 * ppt, 0)).toPoint();
    const QPoint middleRing = (centre + QPointF(0, 500 * ppt)).toPoint();
    QVERIFY(colourNear(drawing, outerRing, Qt::red));
    QVERIFY(colourNear(drawing, (centre + QPointF(-100 * ppt, 0)).toPoint(), Qt::red));
    QVERIFY(colourNear(drawing, middleRing, Qt::black));
    QVERIFY(!colourNear(drawing, (centre + QPointF(1000 * ppt, 0)).toPoint(), Qt::red));

    // What is shown is the kept drawing, so covering and uncovering loses nothing.
    QVERIFY(colourNear(first->grab().toImage(), outerRing, Qt::red));

    // Nothing is erased between presses: a new colour draws over the old circles.
    fields.setCaption("LColor(1)", QString::number(0x00FF00));
    FormDibujo::Command2_Click(&owner, fields);
    QVERIFY(colourNear(first->drawing(), outerRing, Qt::green));
    QVERIFY(colourNear(first->drawing(), middleRing, Qt::black));

    FormDibujo::closeIfOpen();
    QTRY_VERIFY(FormDibujo::instance() == nullptr);
    FormDibujo *second = FormDibujo::Command2_Click(&owner, fields);
    QVERIFY(second);
    QCOMPARE(FormDibujo::instance(), second);
    QCOMPARE(second->size(), QSize(twipsToPixels(5865), twipsToPixels(4650)));
    FormDibujo::closeIfOpen();
}

QTEST_MAIN(UiSectorGridTest)
#include "ui_sectorgrid_test.moc"
