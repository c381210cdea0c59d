#pragma once

#include <QFont>

// The window's face. The twip boxes were drawn for the classic 8-point dialog face;
// Carlito (Debian fonts-crosextra-carlito) comes closest to its widths of the faces
// measured by tools/fontmeasure, so the captions of all three languages fit their
// boxes at the design size. The desktop's own face plays no part.
constexpr qreal kDesignPoints = 8.25;
// The status captions of page 3.
constexpr qreal kIndicatorPoints = 9.75;
// Below this a caption is no longer comfortably read: nothing shrinks further.
constexpr qreal kSmallestPoints = 7.5;

// The window's face at the given size.
QFont dialogFont(qreal points = kDesignPoints);

// True when the face is installed or bundled (otherwise the system stands in another
// one and some captions may need to shrink or wrap).
bool dialogFaceInstalled();
