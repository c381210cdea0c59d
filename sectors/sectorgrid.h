#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// The sector grid as the grid logic sees it: 9 x 33 cells, row 0 and column 0
// fixed headers, a current cell that is always a data cell. The window's
// widget implements it; MemorySectorGrid keeps plain values for tests.
//
// Every implementation calls onLeaveCell(row, column) for the cell being left
// before the current cell changes, whatever moves it (mouse, keys, program).
class SectorGrid
{
public:
    static constexpr int kRows = 9;
    static constexpr int kColumns = 33;
    // Every column 350 twips wide, every row 250 twips high.
    static constexpr int kColumnWidthTwips = 350;
    static constexpr int kRowHeightTwips = 250;

    virtual ~SectorGrid() = default;

    virtual QString cellText(int row, int column) const = 0;
    virtual void setCellText(int row, int column, const QString &text) = 0;

    virtual int currentRow() const = 0;
    virtual int currentColumn() const = 0;
    // Ignored for a header cell or a cell outside the grid.
    virtual void setCurrentCell(int row, int column) = 0;

    // Background of the row header cell (row, 0); colour in the 24-bit red-low convention.
    virtual void setHeaderColour(int row, quint32 colour24) = 0;
    // Shades the data cells of a column with the light 3-D edge colour.
    virtual void setColumnShaded(int column, bool shaded) = 0;
    virtual void setCellSizeTwips(int widthTwips, int heightTwips) = 0;
    virtual void repaint() = 0;

    std::function<void(int row, int column)> onLeaveCell;
};
