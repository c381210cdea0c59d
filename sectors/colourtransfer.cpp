#include "sectors/colourtransfer.h"

#include "fields/fields.h"
#include "link/delay.h"
#include "link/link.h"
#include "sectors/colourrecord.h"
#include "sectors/sectoreditor.h"

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

bool ColourTransfer::transferRecord(Direction direction, int bank, int first,
                                    ColourRecord::TransferBuffer &buffer)
{
    for (int address = first; address < first + ColourRecord::kSize; ++address) {
        const ReplyFrame reply = m_link.ExchangeFrame(
            direction == Direction::Read ? ColourRecord::readRequest(bank, address)
                                         : ColourRecord::writeRequest(bank, address, buffer[address]));
        if (lineGone())
            return false;
        if (reply.Status != kAck) {
            // Ends only this half of the bank; the write reports with the same words.
            m_fields.setStatusLine(QStringLiteral("Reading Error in data ") + QString::number(address));
            m_fields.beep();
            m_link.delay().DelayMs(kFailurePauseMs);
            // The rest of this half is skipped: settled all the same.
            m_link.progress().advance(first + ColourRecord::kSize - address);
            return true;
        }
        if (direction == Direction::Read)
            buffer[address] = reply.Data3;
        m_fields.setStatusLine(progressText(bank, address, buffer[address]));
        m_link.progress().advance();
    }
    return true;
}

void ColourTransfer::CLeerColores_Click()
{
    LinkSession session(m_link);
    if (!session) {
        m_fields.setStatusLine(QStringLiteral("Busy: wait for the running operation to end"));
        return;
    }
    OperationProgress::Scope progress(m_link.progress(), kTransactions);
    DeshabilitaBotones();
    // Not cleared between banks: a byte that does not arrive keeps what an
    // earlier bank put at that address.
    ColourRecord::TransferBuffer buffer{};
    if (!m_link.AbrirCom()) {
        m_fields.setStatusLine(m_link.failureText());
        HabilitaBotones();
        return;
    }

    SectorState &state = m_editor.state();
    bool gone = false;
    for (int bank = 1; bank <= ColourRecord::kBanks && !gone; ++bank) {
        for (int first : ColourRecord::kRecordStarts) {
            if (!transferRecord(Direction::Read, bank, first, buffer)) {
                gone = true;
                break;
            }
        }
        // A bank cut short by a lost line is left as it was rather than filled
        // with bytes that never came.
        if (!gone)
            ColourRecord::decodeBank(buffer, bank, state);
    }

    m_link.closePort();
    m_fields.setStatusLine(m_link.failed() ? m_link.failureText() : QStringLiteral("Ended"));
    m_editor.RellenarColores();
    m_editor.RedibujaGrid();
    HabilitaBotones();
}

void ColourTransfer::CEscribirColores_Click()
{
    LinkSession session(m_link);
    if (!session) {
        m_fields.setStatusLine(QStringLiteral("Busy: wait for the running operation to end"));
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
            if (!transferRecord(Direction::Write, bank, first, buffer)) {
                gone = true;
                break;
            }
        }
    }

    m_fields.setStatusLine(m_link.failed() ? m_link.failureText() : QStringLiteral("Ended"));
    m_link.closePort();
    HabilitaBotones();
}
