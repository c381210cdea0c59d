#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

double pixelsPerTwip()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return (dpi > 0 ? dpi : 96.0) / 1440.0;
}

int twipsToPixels(int twips)
{
    return qRound(twips * pixelsPerTwip());
}

double pixelsToTwips(int pixels)
{
    return pixels / pixelsPerTwip();
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
