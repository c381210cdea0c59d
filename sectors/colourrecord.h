#pragma once

#include "link/frame.h"
#include "sectors/sectortable.h"

#include <array>

// The controller's colour memory as this program addresses it: four banks,
// each holding two 67-byte records, colour 2n-1 with its table row at
// addresses 0..66 and colour 2n with its row at 128..194.
//
// Record layout: colour blue, green, red; then for each of the 32 entries of
// the row its high byte and its low byte (511 travels as 01 FF).
namespace ColourRecord {

constexpr int kSize = 67;
constexpr int kBanks = 4;
constexpr int kBufferSize = 257;
// First address of the two records of a bank.
constexpr std::array<int, 2> kRecordStarts{0, 128};
// One transaction per byte of both records of every bank: 536.
constexpr int kTransactions = kBanks * int(kRecordStarts.size()) * kSize;

using TransferBuffer = std::array<quint8, kBufferSize>;

// Writes colour and row into the record at `start`.
void encode(TransferBuffer &buffer, int start, qint32 colour, const SectorTable &table, int row);
// Takes colour and row from the record at `start`.
void decode(const TransferBuffer &buffer, int start, qint32 &colour, SectorTable &table, int row);

// Both records of bank n (1..4): colours and rows 2n-1 and 2n.
void encodeBank(TransferBuffer &buffer, int bank, const SectorState &state);
void decodeBank(const TransferBuffer &buffer, int bank, SectorState &state);

// Command 134 + n reads and 130 + n writes one byte of bank n.
RequestFrame readRequest(int bank, int address);
RequestFrame writeRequest(int bank, int address, quint8 byte);

} // namespace ColourRecord
