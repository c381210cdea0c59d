#pragma once

#include <QRect>

// Screen pixels per twip follow the screen's logical resolution: 15 twips are one
// pixel at 96 dpi.
double pixelsPerTwip();
int twipsToPixels(int twips);
double pixelsToTwips(int pixels);
QRect twipsRect(int left, int top, int width, int height);
