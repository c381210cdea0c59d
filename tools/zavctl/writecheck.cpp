#include "writecheck.h"

#include "device/parametermap.h"
#include "fields/fields.h"
#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/operationprogress.h"
#include "parameterreport.h"
#include "sectors/colourtransfer.h"

namespace {
constexpr quint8 kReadCommand = 1;
constexpr int kFailurePauseMs = 1000;

QString cellText(int address, qint64 sent, qint64 stored)
{
    return QStringLiteral("cell %1: sent %2, stored %3").arg(address).arg(sent).arg(stored);
}

QString shownWithUnit(const ShownParameter &shown)
{
    return shown.unit.isEmpty() ? shown.value : shown.value + QLatin1Char(' ') + shown.unit;
}
} // namespace

WriteCheck::WriteCheck(Link &link, Fields &fields) : m_link(link), m_fields(fields) {}

bool WriteCheck::readFailed(int address)
{
    // The read's own words, beep and pause.
    m_fields.setStatusLine(QStringLiteral("Reading Error in data %1").arg(address));
    m_fields.beep();
    m_link.delay().DelayMs(kFailurePauseMs);
    return false;
}

bool WriteCheck::readParameters(const QList<int> &addresses, ParameterImage &stored)
{
    LinkSession session(m_link);
    if (!session || !m_link.AbrirCom()) {
        m_fields.setStatusLine(session ? m_link.failureText() : QStringLiteral("Busy"));
        return false;
    }
    bool ok = true;
    for (int address : addresses) {
        RequestFrame request;
        request.Command = kReadCommand;
        request.Param1 = quint8(address);
        const ReplyFrame reply = m_link.ExchangeFrame(request);
        if (m_link.failed() || m_link.aborted() || reply.Status != kAck) {
            ok = readFailed(address);
            break;
        }
        stored[address] = reply.Data3;
        m_fields.setStatusLine(QString::number(address));
        m_link.progress().advance();
    }
    m_link.closePort();
    return ok && !m_link.failed();
}

bool WriteCheck::readColourBank(int bank, ColourRecord::TransferBuffer &stored)
{
    LinkSession session(m_link);
    if (!session || !m_link.AbrirCom()) {
        m_fields.setStatusLine(session ? m_link.failureText() : QStringLiteral("Busy"));
        return false;
    }
    bool ok = true;
    for (int first : ColourRecord::kRecordStarts) {
        for (int address = first; ok && address < first + ColourRecord::kSize; ++address) {
            const ReplyFrame reply = m_link.ExchangeFrame(ColourRecord::readRequest(bank, address));
            if (m_link.failed() || m_link.aborted() || reply.Status != kAck) {
                ok = readFailed(address);
                break;
            }
            stored[address] = reply.Data3;
            m_link.progress().advance();
            m_fields.setStatusLine(ColourTransfer::progressText(bank, address, reply.Data3));
        }
    }
    m_link.closePort();
    return ok && !m_link.failed();
}

void WriteCheck::showImage(Fields &fields, const ParameterImage &image)
{
    setUpParameterFields(fields);
    ReadMapping(fields, image, MappingMode::ReadAll);
}

QStringList WriteCheck::parameterDifferences(const Fields &labels, const ParameterImage &sent,
                                             const ParameterImage &stored, const QList<int> &addresses)
{
    QList<int> differing;
    for (int address : addresses) {
        if (sent[address] != stored[address])
            differing << address;
    }
    if (differing.isEmpty())
        return {};

    // Both images shown as a read shows them, so a value reads the same on both sides.
    MemoryFields sentShown;
    MemoryFields storedShown;
    showImage(sentShown, sent);
    showImage(storedShown, stored);

    QStringList lines;
    const ParameterRow *lastRow = nullptr;
    for (int address : differing) {
        const ParameterRow *row = parameterRowAt(address);
        if (row && row == lastRow)
            continue;
        lastRow = row;
        if (!row) {
            lines << cellText(address, sent[address], stored[address]);
            continue;
        }
        QStringList cells;
        for (int cell = row->address; cell < row->address + row->width; ++cell) {
            if (differing.contains(cell))
                cells << cellText(cell, sent[cell], stored[cell]);
        }
        ShownParameter before = shownParameter(sentShown, *row);
        const ShownParameter after = shownParameter(storedShown, *row);
        QString label = captionOf(labels, row->label);
        if (label.isEmpty())
            label = QLatin1String(row->field);
        lines << QStringLiteral("%1: sent %2, stored %3 (%4)")
                     .arg(label, shownWithUnit(before), shownWithUnit(after),
                          cells.join(QStringLiteral("; ")));
    }
    return lines;
}

QStringList WriteCheck::colourDifferences(int bank, const ColourRecord::TransferBuffer &sent,
                                          const ColourRecord::TransferBuffer &stored)
{
    static const char *const kColourParts[] = {"blue", "green", "red"};
    QStringList lines;
    for (int first : ColourRecord::kRecordStarts) {
        const int colour = first == 0 ? 2 * bank - 1 : 2 * bank;
        for (int offset = 0; offset < ColourRecord::kSize; ++offset) {
            const int address = first + offset;
            if (sent[address] == stored[address])
                continue;
            // Offsets 0..2 hold the colour; then each entry's high byte, then its low byte.
            const QString what =
                offset < 3
                    ? QStringLiteral("colour %1 %2").arg(colour).arg(QLatin1String(kColourParts[offset]))
                    : QStringLiteral("colour %1, entry %2 %3 byte")
                          .arg(colour)
                          .arg((offset - 1) / 2)
                          .arg(offset % 2 ? QLatin1String("high") : QLatin1String("low"));
            lines << QStringLiteral("Colour bank %1, cell %2: sent %3, stored %4 (%5)")
                         .arg(bank)
                         .arg(address)
                         .arg(sent[address])
                         .arg(stored[address])
                         .arg(what);
        }
    }
    return lines;
}
