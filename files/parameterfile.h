#pragma once

#include "device/parameterimage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

struct SectorState;

// The 520-line parameter file: lines 1..256 the image cells 0..255, then for each
// colour row 1..8 its colour followed by its 32 table entries. Whole numbers in
// decimal, one per line, CR LF.
namespace ParameterFile {

constexpr int kLines = 520;
constexpr int kImageLines = 256;
constexpr int kRowLines = 33;
// 520 lines of whole numbers need a few kilobytes; anything larger is no parameter file.
constexpr qint64 kMaxFileSize = 1024 * 1024;

// Line (1-based) of the colour of row c, and of entry k of row c.
constexpr int colourLine(int row)
{
    return 257 + kRowLines * (row - 1);
}
constexpr int entryLine(int row, int column)
{
    return 258 + kRowLines * (row - 1) + (column - 1);
}

QByteArray encode(const ParameterImage &image, const SectorState &sectors);

// A file read and checked whole, before anything of it is applied.
struct Content
{
    ParameterImage image{};
    std::array<qint64, 9> colours{};                 // [1..8]
    std::array<std::array<qint64, 33>, 9> entries{}; // [1..8][1..32], as the lines read
};

struct DecodeResult
{
    std::optional<Content> content;
    QString error; // names the line when content is empty
};

// Lines past the 520th are ignored. An image line must be a whole number; colour and
// table lines are read by their leading number, as the grid and the labels do.
DecodeResult decode(const QByteArray &bytes);

// Checks the cells a list or the check box will take; the error names the line.
QString checkFieldValues(const ParameterImage &image);

// Reads and decodes the file at path. A folder, a pipe, a device or a file larger
// than kMaxFileSize is refused before it is read. The error names the path.
DecodeResult readFile(const QString &path);

} // namespace ParameterFile
