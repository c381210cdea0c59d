#pragma once

#include "ui/layouttable.h"

#include <QPixmap>
#include <QSize>
#include <QString>

// The window's pictures, drawn rather than loaded so that they scale with the screen.

// The maker's logo: a beacon lantern with its light and the name.
QPixmap drawLogo(const QSize &size);

// The yellow start-up call-out whose tip, at tipX along the bottom edge, points
// down at the Read button; readCaption is that button's caption.
QPixmap drawHint(const QSize &size, int tipX, const QString &readCaption);

// A round indicator lamp of the given kind.
QPixmap drawLamp(LampPicture lamp, int diameter);
