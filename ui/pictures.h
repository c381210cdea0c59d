#pragma once

#include "ui/layouttable.h"

#include <QPixmap>
#include <QSize>
#include <QString>

class QFont;

// The window's pictures, drawn rather than loaded so that they scale with the screen.
// Sizes are in device-independent pixels; each picture is drawn at the screen's
// device pixel ratio (dpr), so it stays sharp at 200 %.

// The maker's logo: a beacon lantern with its light and the name.
QPixmap drawLogo(const QSize &size, qreal dpr);

// The yellow start-up call-out whose tip, at tipX along the bottom edge, points
// down at the Read button; text is what it says, in font or smaller where it must.
QPixmap drawHint(const QSize &size, int tipX, const QString &text, const QFont &font, qreal dpr);

// A round indicator lamp of the given kind.
QPixmap drawLamp(LampPicture lamp, int diameter, qreal dpr);
