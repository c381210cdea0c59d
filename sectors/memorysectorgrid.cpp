#include "sectors/memorysectorgrid.h"

namespace {
bool inGrid(int row, int column)
{
    return row >= 0 && row < SectorGrid::kRows && column >= 0 && column < SectorGrid::kColumns;
}
} // namespace

QString MemorySectorGrid::cellText(int row, int column) const
{
    return inGrid(row, column) ? m_cells[row][column] : QString();
}

void MemorySectorGrid::setCellText(int row, int column, const QString &text)
{
    if (inGrid(row, column))
        m_cells[row][column] = text;
}

void MemorySectorGrid::setCurrentCell(int row, int column)
{
    if (!inGrid(row, column) || row == 0 || column == 0)
        return;
    if (row == m_row && column == m_column)
        return;
    if (onLeaveCell)
        onLeaveCell(m_row, m_column);
    m_row = row;
    m_column = column;
}

void MemorySectorGrid::setHeaderColour(int row, quint32 colour24)
{
    if (row > 0 && row < kRows)
        headerColours[row] = colour24;
}

void MemorySectorGrid::setColumnShaded(int column, bool shaded)
{
    if (shaded)
        shadedColumns.insert(column);
    else
        shadedColumns.remove(column);
}

void MemorySectorGrid::setCellSizeTwips(int w, int h)
{
    widthTwips = w;
    heightTwips = h;
}
