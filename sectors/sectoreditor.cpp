#include "sectors/sectoreditor.h"

#include "device/numbers.h"
#include "fields/fields.h"
#include "sectors/sectorgrid.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int kBackspace = 8;
constexpr int kTab = 9;

// The cell's text as an angle; nothing when it is not a digit string from 0 to
// 359. Digit strings of any length are handled: a long one is simply too large.
std::optional<qint32> angleFromText(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (ch.unicode() - '0');
        if (value > 359)
            return std::nullopt;
    }
    return value;
}
} // namespace

SectorEditor::SectorEditor(SectorState &state, SectorGrid &grid, Fields &fields)
    : m_state(state), m_grid(grid), m_fields(fields)
{
    m_grid.onLeaveCell = [this](int row, int column) { leaveCell(row, column); };
}

QString SectorEditor::formatAngle(qint32 value)
{
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

qint32 SectorEditor::colourFromCaption(const QString &caption)
{
    const std::optional<qint64> whole = scaledWhole(LeadingNumber(caption));
    if (!whole)
        return LeadingNumber(caption).negative ? std::numeric_limits<qint32>::min()
                                               : std::numeric_limits<qint32>::max();
    return qint32(
        std::clamp<qint64>(*whole, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

QString SectorEditor::colourLabel(int index)
{
    return arrayName("LColor", index);
}

void SectorEditor::FormatearGrid()
{
    m_grid.setCellSizeTwips(SectorGrid::kColumnWidthTwips, SectorGrid::kRowHeightTwips);
    for (int row = 1; row <= SectorTable::kRows; ++row)
        m_grid.setCellText(row, 0, QStringLiteral(" %1").arg(row));
    for (int k = 1; k <= SectorTable::kEntries / 2; ++k) {
        m_grid.setCellText(0, 2 * k - 1, QStringLiteral(" %1I").arg(k));
        m_grid.setCellText(0, 2 * k, QStringLiteral(" %1F").arg(k));
        m_grid.setColumnShaded(2 * k, true);
    }
}

void SectorEditor::BorrarDatosGrid()
{
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        for (int column = 1; column <= SectorTable::kEntries; ++column) {
            m_grid.setCellText(row, column, QString());
            m_state.table.setEntry(row, column, SectorTable::kEmpty);
        }
    }
}

void SectorEditor::CBorrarTabla_Click()
{
    BorrarDatosGrid();
}

void SectorEditor::MSFlexGridPautas_KeyPress(int charCode)
{
    const int row = m_grid.currentRow();
    const int column = m_grid.currentColumn();
    if (row < 1 || column < 1)
        return;

    if (charCode >= '0' && charCode <= '9') {
        m_grid.setCellText(row, column, m_grid.cellText(row, column) + QChar(charCode));
    } else if (charCode == kBackspace) {
        QString text = m_grid.cellText(row, column);
        if (!text.isEmpty()) {
            text.chop(1);
            m_grid.setCellText(row, column, text);
        }
    } else if (charCode == kTab) {
        // The last column wraps to the first of the next row, and the last row to
        // the first, so tab always leaves the cell and always runs the check.
        if (column < SectorTable::kEntries)
            m_grid.setCurrentCell(row, column + 1);
        else
            m_grid.setCurrentCell(row < SectorTable::kRows ? row + 1 : 1, 1);
    }
}

void SectorEditor::MSFlexGridPautas_LeaveCell()
{
    leaveCell(m_grid.currentRow(), m_grid.currentColumn());
}

void SectorEditor::leaveCell(int row, int column)
{
    if (row < 1 || column < 1 || row > SectorTable::kRows || column > SectorTable::kEntries)
        return;

    // The row header left of column 1 is never empty.
    const bool leftFilled = column == 1 || !m_grid.cellText(row, column - 1).isEmpty();
    const std::optional<qint32> angle = angleFromText(m_grid.cellText(row, column));
    if (angle && leftFilled) {
        m_state.table.setEntry(row, column, *angle);
        m_grid.setCellText(row, column, formatAngle(*angle));
        return;
    }

    const bool shown = !m_grid.cellText(row, column).isEmpty();
    m_grid.setCellText(row, column, QString());
    // A blanked cell never leaves an angle behind in the table, nor the 360 a
    // parameter file shows, so what is written or saved is what the technician
    // sees. Values that showed as empty (511, or odd values from the
    // controller) are kept as they are.
    const qint32 old = m_state.table.entry(row, column);
    if (SectorTable::isAngle(old) || (old == 360 && shown))
        m_state.table.setEntry(row, column, SectorTable::kEmpty);
}

void SectorEditor::RedibujaGrid()
{
    QList<int> rows;
    for (int row = 1; row <= SectorTable::kRows; ++row)
        rows << row;
    redrawRows(rows);
}

void SectorEditor::redrawRows(const QList<int> &rows)
{
    for (const int row : rows) {
        for (int column = 1; column <= SectorTable::kEntries; ++column) {
            const qint32 value = m_state.table.entry(row, column);
            m_grid.setCellText(row, column, SectorTable::isAngle(value) ? formatAngle(value) : QString());
        }
    }
    MSFlexGridPautas_LeaveCell();
    m_grid.repaint();
}

void SectorEditor::RellenarColores()
{
    QList<int> indexes;
    for (int i = 1; i <= SectorColours::kCount; ++i)
        indexes << i;
    showColours(indexes);
}

void SectorEditor::showColours(const QList<int> &indexes)
{
    for (const int i : indexes) {
        const qint32 colour = m_state.colours.colour(i);
        m_fields.setCaption(colourLabel(i), QString::number(colour));
        m_grid.setHeaderColour(i, quint32(colour) & 0xFFFFFFu);
    }
}

void SectorEditor::LColor_Click(int index)
{
    if (index < 1 || index > SectorColours::kCount || !chooseColour)
        return;
    const quint32 chosen = chooseColour() & 0xFFFFFFu;
    m_grid.setHeaderColour(index, chosen);
    m_fields.setCaption(colourLabel(index), QString::number(chosen));
    m_state.colours.setColour(index, colourFromCaption(m_fields.caption(colourLabel(index))));
}
