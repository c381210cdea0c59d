#pragma once

#include <QtGlobal>
#include <array>

// The sector table of a segmented light: row r (1..8) belongs to colour r,
// entry 2k-1 is the start angle and entry 2k the end angle of sector k (1..16).
// Angles are 0..359; 511 marks an empty entry; anything else the controller
// sends is kept as it is and shown as empty. Index 0 exists and is never used.
class SectorTable
{
public:
    static constexpr int kRows = 8;
    static constexpr int kEntries = 32;
    static constexpr qint32 kEmpty = 511;

    SectorTable() { clear(); }

    void clear()
    {
        for (auto &row : m_entries)
            row.fill(kEmpty);
    }

    qint32 entry(int row, int column) const { return m_entries.at(row).at(column); }
    void setEntry(int row, int column, qint32 value) { m_entries.at(row).at(column) = value; }

    static bool isAngle(qint32 value) { return value >= 0 && value <= 359; }

private:
    std::array<std::array<qint32, kEntries + 1>, kRows + 1> m_entries;
};

// The eight sector colours in the chooser's 24-bit convention: red in bits 0..7,
// green in 8..15, blue in 16..23. Index 0 exists and is never used.
class SectorColours
{
public:
    static constexpr int kCount = 8;

    SectorColours() { m_colours.fill(0); }

    qint32 colour(int index) const { return m_colours.at(index); }
    void setColour(int index, qint32 colour) { m_colours.at(index) = colour; }

private:
    std::array<qint32, kCount + 1> m_colours;
};

// The colour-sector state of one window: lives as long as the window and is
// handed by reference to the grid logic, the transfers and the parameter file.
struct SectorState
{
    SectorTable table;
    SectorColours colours;
};
