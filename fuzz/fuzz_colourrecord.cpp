// The colour-bank record. Read: the bytes of the four banks decode into colours
// and table, which the labels and the grid show; writing them back (the colours
// as the labels read) sends the same bytes. And any colours and entries in memory
// travel as their low 24 and 16 bits.
#include "fields/memoryfields.h"
#include "fuzz/fuzzcheck.h"
#include "sectors/colourrecord.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kBankBytes = 2 * ColourRecord::kSize;

// Byte i of bank n's two records, in address order; 0 past the input's end.
quint8 inputByte(const std::uint8_t *data, std::size_t size, int bank, int i)
{
    const std::size_t at = std::size_t((bank - 1) * kBankBytes + i);
    return at < size ? data[at] : 0;
}

int addressOf(int i)
{
    return i < ColourRecord::kSize ? i : 128 + i - ColourRecord::kSize;
}

void readThenWriteBack(const std::uint8_t *data, std::size_t size)
{
    MemoryFields fields;
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor(state, grid, fields);
    editor.FormatearGrid();
    editor.BorrarDatosGrid();

    // As the colour read does: one buffer, not cleared between banks.
    ColourRecord::TransferBuffer buffer{};
    for (int bank = 1; bank <= ColourRecord::kBanks; ++bank) {
        for (int i = 0; i < kBankBytes; ++i)
            buffer[size_t(addressOf(i))] = inputByte(data, size, bank, i);
        ColourRecord::decodeBank(buffer, bank, state);
    }
    editor.RellenarColores();
    editor.RedibujaGrid();

    for (int row = 1; row <= SectorTable::kRows; ++row) {
        FUZZ_CHECK(grid.headerColours[size_t(row)] == (state.colours.colour(row) & 0xFFFFFF));
        for (int column = 1; column <= SectorTable::kEntries; ++column) {
            const qint32 entry = state.table.entry(row, column);
            FUZZ_CHECK(entry >= 0 && entry <= 0xFFFF);
            FUZZ_CHECK(grid.cellText(row, column) ==
                       (SectorTable::isAngle(entry) ? SectorEditor::formatAngle(entry) : QString()));
        }
    }

    // As the colour write does: the colours from the labels.
    for (int i = 1; i <= SectorColours::kCount; ++i)
        state.colours.setColour(
            i, SectorEditor::colourFromCaption(fields.caption(SectorEditor::colourLabel(i))));
    for (int bank = 1; bank <= ColourRecord::kBanks; ++bank) {
        ColourRecord::TransferBuffer out{};
        ColourRecord::encodeBank(out, bank, state);
        for (int i = 0; i < kBankBytes; ++i)
            FUZZ_CHECK(out[size_t(addressOf(i))] == inputByte(data, size, bank, i));
    }
}

void memoryThroughRecords(const std::uint8_t *data, std::size_t size)
{
    const auto word = [&](std::size_t index) {
        std::uint32_t value = 0;
        if ((index + 1) * 4 <= size)
            std::memcpy(&value, data + index * 4, 4);
        return qint32(value);
    };
    SectorState state;
    std::size_t next = 0;
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        state.colours.setColour(row, word(next++));
        for (int column = 1; column <= SectorTable::kEntries; ++column)
            state.table.setEntry(row, column, word(next++));
    }
    SectorState back;
    for (int bank = 1; bank <= ColourRecord::kBanks; ++bank) {
        ColourRecord::TransferBuffer buffer{};
        ColourRecord::encodeBank(buffer, bank, state);
        ColourRecord::decodeBank(buffer, bank, back);
    }
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        FUZZ_CHECK(back.colours.colour(row) == (state.colours.colour(row) & 0xFFFFFF));
        for (int column = 1; column <= SectorTable::kEntries; ++column)
            FUZZ_CHECK(back.table.entry(row, column) == (state.table.entry(row, column) & 0xFFFF));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    readThenWriteBack(data, size);
    memoryThroughRecords(data, size);
    return 0;
}
