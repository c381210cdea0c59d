#include "sectors/colourtransfer.h"

#include "fields/fields.h"
#include "link/delay.h"
#include "link/link.h"
#include "sectors/colourrecord.h"
#include "sectors/sectoreditor.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
const char *const kButtons[] = {"CAbrir", "CGuardar", "CLeer", "CEscribir"};
constexpr int kFailurePauseMs = 1000;
using ColourRecord::kTransactions;
} // namespace

ColourTransfer::ColourTransfer(Link &link, Fields &fields, SectorEditor &editor)
    : m_link(link), m_fields(fields), m_editor(editor)
{
}

QString ColourTransfer::progressText(int bank, int address, int byte)
{
    return QStringLiteral(" %1 - %2 - %3")
        .arg(bank)
        .arg(address, 3, 10, QLatin1Char('0'))
        .arg(byte, 3, 10, QLatin1Char('0'));
}

void ColourTransfer::DeshabilitaBotones()
{
    for (const char *name : kButtons)
        m_fields.setEnabled(QLatin1String(name), false);
}

void ColourTransfer::HabilitaBotones()
{
    for (const char *name : kButtons)
        m_fields.setEnabled(QLatin1String(name), true);
}

bool ColourTransfer::lineGone() const
{
    return m_link.failed() || m_link.aborted();
}

ColourTransfer::RecordEnd ColourTransfer::transferRecord(Direction direction, int bank, int first,
                                                         ColourRecord::TransferBuffer &buffer)
{
    for (int address = first; address < first + ColourRecord::kSize; ++address) {
        const ReplyFrame reply = m_link.ExchangeFrame(
            direction == Direction::Read ? ColourRecord::readRequest(bank, address)
                                         : ColourRecord::writeRequest(bank, address, buffer[address]));
        if (lineGone())
            return RecordEnd::LineGone;
        if (reply.Status != kAck) {
            // Ends only this half of the bank; the write reports with the same words.
            m_failure = QStringLiteral("Reading Error in data ") + QString::number(address);
            m_fields.setStatusLine(m_failure);
            m_fields.beep();
            m_link.delay().DelayMs(kFailurePauseMs);
            // The rest of this half is skipped: settled all the same.
            m_link.progress().advance(first + ColourRecord::kSize - address);
            return RecordEnd::CutShort;
        }
        if (direction == Direction::Read)
            buffer[address] = reply.Data3;
        m_fields.setStatusLine(progressText(bank, address, buffer[address]));
        m_link.progress().advance();
    }
    return RecordEnd::Whole;
}

QString ColourTransfer::endText() const
{
    // A failure stays in view: progress texts after it must not end on "Ended".
    if (m_link.failed())
        return m_link.failureText();
    return m_failure.isEmpty() ? QStringLiteral("Ended") : m_failure;
}

QString ColourTransfer::unchangedNote() const
{
    if (m_unchangedRows.isEmpty())
        return {};
    if (m_unchangedRows.size() == SectorTable::kRows)
        return QCoreApplication::translate("ColourTransfer", "colour read not finished, nothing was changed");
    QStringList numbers;
    for (const int row : m_unchangedRows)
        numbers << QString::number(row);
    return QCoreApplication::translate("ColourTransfer", "colour read not finished, rows %1 not changed")
        .arg(numbers.join(QLatin1String(", ")));
}

void ColourTransfer::CLeerColores_Click()
{
    m_unchangedRows.clear();
    m_failure.clear();
    LinkSession session(m_link);
    if (!session) {
        m_fields.setStatusLine(
            QCoreApplication::translate("ColourTransfer", "Busy: wait for the running operation to end"));
        return;
    }
    OperationProgress::Scope progress(m_link.progress(), kTransactions);
    DeshabilitaBotones();
    // Not cleared between banks (a bank is decoded only when all of it came, so
    // no byte of an earlier bank ends up in its rows).
    ColourRecord::TransferBuffer buffer{};
    if (!m_link.AbrirCom()) {
        m_fields.setStatusLine(m_link.failureText());
        for (int row = 1; row <= SectorTable::kRows; ++row)
            m_unchangedRows << row;
        HabilitaBotones();
        return;
    }

    SectorState &state = m_editor.state();
    QList<int> changedRows;
    bool gone = false;
    for (int bank = 1; bank <= ColourRecord::kBanks; ++bank) {
        bool whole = !gone;
        for (int first : ColourRecord::kRecordStarts) {
            if (gone)
                break;
            const RecordEnd end = transferRecord(Direction::Read, bank, first, buffer);
            gone = end == RecordEnd::LineGone;
            whole = whole && end == RecordEnd::Whole;
        }
        // A bank that did not come whole keeps its colours and rows rather than
        // taking bytes that never came or that belong to another bank.
        const QList<int> rows{2 * bank - 1, 2 * bank};
        if (whole) {
            ColourRecord::decodeBank(buffer, bank, state);
            changedRows << rows;
        } else {
            m_unchangedRows << rows;
        }
    }

    m_link.closePort();
    m_fields.setStatusLine(endText());
    if (m_unchangedRows.isEmpty()) {
        m_editor.RellenarColores();
        m_editor.RedibujaGrid();
    } else if (!changedRows.isEmpty()) {
        m_editor.showColours(changedRows);
        m_editor.redrawRows(changedRows);
    }
    HabilitaBotones();
}

void ColourTransfer::CEscribirColores_Click()
{
    m_failure.clear();
    LinkSession session(m_link);
    if (!session) {
        m_fields.setStatusLine(
            QCoreApplication::translate("ColourTransfer", "Busy: wait for the running operation to end"));
        return;
    }
    m_fields.setStatusLine(QStringLiteral("Segments transmision"));
    OperationProgress::Scope progress(m_link.progress(), kTransactions);
    if (!m_link.AbrirCom()) {
        m_fields.setStatusLine(m_link.failureText());
        HabilitaBotones();
        return;
    }

    SectorState &state = m_editor.state();
    // The labels are what the technician sees, so they are what is sent.
    for (int i = 1; i <= SectorColours::kCount; ++i)
        state.colours.setColour(
            i, SectorEditor::colourFromCaption(m_fields.caption(SectorEditor::colourLabel(i))));

    ColourRecord::TransferBuffer buffer{};
    bool gone = false;
    for (int bank = 1; bank <= ColourRecord::kBanks && !gone; ++bank) {
        ColourRecord::encodeBank(buffer, bank, state);
        for (int first : ColourRecord::kRecordStarts) {
            if (transferRecord(Direction::Write, bank, first, buffer) == RecordEnd::LineGone) {
                gone = true;
                break;
            }
        }
    }

    m_fields.setStatusLine(endText());
    m_link.closePort();
    HabilitaBotones();
}
