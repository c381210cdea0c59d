#pragma once

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

private:
    enum class Direction
    {
        Read,
        Write
    };
    // Runs addresses first..first+66 of one bank; false when the line is gone
    // and nothing more can be sent.
    bool transferRecord(Direction direction, int bank, int first, std::array<quint8, 257> &buffer);
    bool lineGone() const;
    void DeshabilitaBotones();
    void HabilitaBotones();

    Link &m_link;
    Fields &m_fields;
    SectorEditor &m_editor;
};
