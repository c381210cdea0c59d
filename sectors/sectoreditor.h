#pragma once

#include "sectors/sectortable.h"

#include <QList>
#include <QString>
#include <functional>

class Fields;
class SectorGrid;

// The sector grid editor and the colour labels of the colour-sector page:
// typing into the grid, the check on leaving a cell, redrawing the grid from
// the table, and showing and choosing the eight colours.
class SectorEditor
{
public:
    SectorEditor(SectorState &state, SectorGrid &grid, Fields &fields);

    void FormatearGrid();
    void BorrarDatosGrid();
    void CBorrarTabla_Click();
    void MSFlexGridPautas_KeyPress(int charCode);
    // Checks the current cell (it is about to be left) and stores its value.
    void MSFlexGridPautas_LeaveCell();
    // The check for a given cell; the grid calls it for the cell it leaves.
    void leaveCell(int row, int column);
    void RedibujaGrid();
    // RedibujaGrid for some rows (1..8) only; the other rows keep what they show.
    void redrawRows(const QList<int> &rows);

    void RellenarColores();
    // RellenarColores for some colours (1..8) only.
    void showColours(const QList<int> &indexes);
    void LColor_Click(int index);

    // The modal colour chooser: returns the colour it shows when closed, in the
    // 24-bit red-low convention.
    std::function<quint32()> chooseColour;

    // "000": at least three digits with leading zeros.
    static QString formatAngle(qint32 value);
    // A colour label's caption read as a number (leading number, rounded).
    static qint32 colourFromCaption(const QString &caption);
    static QString colourLabel(int index);

    SectorState &state() { return m_state; }
    SectorGrid &grid() { return m_grid; }

private:
    SectorState &m_state;
    SectorGrid &m_grid;
    Fields &m_fields;
};
