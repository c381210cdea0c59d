#pragma once

#include <QList>
#include <QString>
#include <array>

class Fields;
class Link;
class SectorEditor;

// Copies the eight colours and the sector table between the program and the
// controller's colour banks, one byte per transaction (536 in all).
class ColourTransfer
{
public:
    ColourTransfer(Link &link, Fields &fields, SectorEditor &editor);

    void CLeerColores_Click();
    void CEscribirColores_Click();

    static QString progressText(int bank, int address, int byte);

    // The grid rows (with their colours) the last colour read left as they were,
    // because their bank did not come whole; empty after a whole read.
    QList<int> unchangedRows() const { return m_unchangedRows; }
    // What the last colour read left unchanged, in words; empty after a whole read.
    QString unchangedNote() const;

private:
    enum class Direction
    {
        Read,
        Write
    };
    enum class RecordEnd
    {
        Whole,
        CutShort, // a byte went unanswered: the rest of this record was skipped
        LineGone  // nothing more can be sent
    };
    // Runs addresses first..first+66 of one bank.
    RecordEnd transferRecord(Direction direction, int bank, int first, std::array<quint8, 257> &buffer);
    bool lineGone() const;
    // The last failure of the transfer, else "Ended".
    QString endText() const;
    void DeshabilitaBotones();
    void HabilitaBotones();

    Link &m_link;
    Fields &m_fields;
    SectorEditor &m_editor;
    QList<int> m_unchangedRows;
    // The failure text of the running transfer, shown again at its end.
    QString m_failure;
};
