#include "sectors/colourrecord.h"

namespace ColourRecord {

void encode(TransferBuffer &buffer, int start, qint32 colour, const SectorTable &table, int row)
{
    buffer.at(start) = quint8(colour >> 16);
    buffer.at(start + 1) = quint8(colour >> 8);
    buffer.at(start + 2) = quint8(colour);
    for (int e = 1; e <= SectorTable::kEntries; ++e) {
        const qint32 value = table.entry(row, e);
        buffer.at(start + 2 * e + 1) = quint8(value >> 8);
        buffer.at(start + 2 * e + 2) = quint8(value);
    }
}

void decode(const TransferBuffer &buffer, int start, qint32 &colour, SectorTable &table, int row)
{
    colour = buffer.at(start) * 65536 + buffer.at(start + 1) * 256 + buffer.at(start + 2);
    for (int e = 1; e <= SectorTable::kEntries; ++e)
        table.setEntry(row, e, buffer.at(start + 2 * e + 1) * 256 + buffer.at(start + 2 * e + 2));
}

void encodeBank(TransferBuffer &buffer, int bank, const SectorState &state)
{
    for (int half = 0; half < 2; ++half) {
        const int row = 2 * bank - 1 + half;
        encode(buffer, kRecordStarts[half], state.colours.colour(row), state.table, row);
    }
}

void decodeBank(const TransferBuffer &buffer, int bank, SectorState &state)
{
    for (int half = 0; half < 2; ++half) {
        const int row = 2 * bank - 1 + half;
        qint32 colour = 0;
        decode(buffer, kRecordStarts[half], colour, state.table, row);
        state.colours.setColour(row, colour);
    }
}

RequestFrame readRequest(int bank, int address)
{
    RequestFrame request;
    request.Command = quint8(134 + bank);
    request.Param1 = quint8(address);
    return request;
}

RequestFrame writeRequest(int bank, int address, quint8 byte)
{
    RequestFrame request;
    request.Command = quint8(130 + bank);
    request.Param1 = quint8(address);
    request.Param2 = byte;
    return request;
}

} // namespace ColourRecord
