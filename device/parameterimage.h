#pragma once

#include <QtGlobal>

#include <array>

// A copy of the controller's 256 one-byte parameter cells, by address. Cells are
// whole numbers: while the image is built from the fields, or read from a file, a
// cell may hold a number that does not fit one byte.
using ParameterImage = std::array<qint64, 256>;
