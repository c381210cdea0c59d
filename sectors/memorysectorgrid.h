#pragma once

#include "sectors/sectorgrid.h"

#include <QSet>
#include <array>

// Plain in-memory sector grid for tests and headless use. The current cell
// starts at (1, 1), as the window's grid does.
class MemorySectorGrid : public SectorGrid
{
public:
    QString cellText(int row, int column) const override;
    void setCellText(int row, int column, const QString &text) override;
    int currentRow() const override { return m_row; }
    int currentColumn() const override { return m_column; }
    void setCurrentCell(int row, int column) override;
    void setHeaderColour(int row, quint32 colour24) override;
    void setColumnShaded(int column, bool shaded) override;
    void setCellSizeTwips(int widthTwips, int heightTwips) override;
    void repaint() override { ++repaints; }

    // What the logic did, for tests.
    std::array<qint64, kRows> headerColours{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    QSet<int> shadedColumns;
    int widthTwips = 0;
    int heightTwips = 0;
    int repaints = 0;

private:
    std::array<std::array<QString, kColumns>, kRows> m_cells;
    int m_row = 1;
    int m_column = 1;
};
