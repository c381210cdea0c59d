#include "ui/pictures.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

struct LampColours
{
    QColor light;
    QColor body;
    bool lit;
};

LampColours lampColours(LampPicture lamp)
{
    switch (lamp) {
    case LampPicture::LitBlue:
        return {QColor(170, 215, 255), QColor(0, 90, 230), true};
    case LampPicture::UnlitBlue:
        return {QColor(120, 140, 170), QColor(40, 55, 90), false};
    case LampPicture::Red:
    case LampPicture::LitRed:
        return {QColor(255, 180, 170), QColor(220, 20, 10), true};
    case LampPicture::UnlitRed:
        return {QColor(170, 120, 120), QColor(90, 30, 30), false};
    case LampPicture::Green:
        return {QColor(190, 255, 180), QColor(20, 170, 40), true};
    case LampPicture::None:
        break;
    }
    return {Qt::lightGray, Qt::gray, false};
}

// A transparent picture of size device-independent pixels with room for every
// device pixel.
QPixmap canvas(const QSize &size, qreal dpr)
{
    const qreal ratio = dpr > 0 ? dpr : 1.0;
    QPixmap pixmap((QSizeF(size) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap drawLamp(LampPicture lamp, int diameter, qreal dpr)
{
    const int d = qMax(diameter, 4);
    QPixmap pixmap = canvas(QSize(d, d), dpr);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const LampColours c = lampColours(lamp);
    const QRectF rim(0.5, 0.5, d - 1.0, d - 1.0);
    painter.setPen(QPen(QColor(60, 60, 60), 1.0));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawEllipse(rim);

    const qreal inset = d * 0.12;
    const QRectF glass = rim.adjusted(inset, inset, -inset, -inset);
    QRadialGradient gradient(glass.center() - QPointF(glass.width() * 0.18, glass.height() * 0.18),
                             glass.width() * 0.65);
    gradient.setColorAt(0.0, c.lit ? Qt::white : c.light);
    gradient.setColorAt(0.35, c.light);
    gradient.setColorAt(1.0, c.body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(glass);
    return pixmap;
}

QPixmap drawLogo(const QSize &size, qreal dpr)
{
    const QSize logical = size.expandedTo(QSize(8, 8));
    QPixmap pixmap = canvas(logical, dpr);
    const qreal w = logical.width();
    const qreal h = logical.height();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(10, 40, 100));
    sky.setColorAt(1, QColor(30, 90, 170));
    painter.fillRect(QRectF(0, 0, w, h), sky);

    // Light beams from the lantern.
    const QPointF lamp(w * 0.28, h * 0.34);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 90, 110));
    QPainterPath beams;
    beams.moveTo(lamp);
    beams.lineTo(0, h * 0.12);
    beams.lineTo(0, h * 0.50);
    beams.closeSubpath();
    beams.moveTo(lamp);
    beams.lineTo(w * 0.62, h * 0.10);
    beams.lineTo(w * 0.62, h * 0.52);
    beams.closeSubpath();
    painter.drawPath(beams);

    // Lantern: base, body, lamp and cap.
    painter.setBrush(QColor(230, 230, 235));
    painter.drawRect(QRectF(w * 0.20, h * 0.45, w * 0.16, h * 0.42));
    painter.setBrush(QColor(200, 30, 30));
    painter.drawRect(QRectF(w * 0.20, h * 0.58, w * 0.16, h * 0.08));
    painter.drawRect(QRectF(w * 0.20, h * 0.74, w * 0.16, h * 0.08));
    painter.setBrush(QColor(255, 240, 150));
    painter.drawEllipse(lamp, w * 0.07, h * 0.09);
    painter.setBrush(QColor(60, 60, 70));
    painter.drawRect(QRectF(w * 0.18, h * 0.22, w * 0.20, h * 0.04));
    painter.drawRect(QRectF(w * 0.16, h * 0.86, w * 0.24, h * 0.05));

    // The name.
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(8, int(qMin(h * 0.34, w * 0.17))));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(w * 0.42, h * 0.25, w * 0.56, h * 0.5), Qt::AlignCenter, QStringLiteral("ZAV"));
    return pixmap;
}

QPixmap drawHint(const QSize &size, int tipX, const QString &text, const QFont &font, qreal dpr)
{
    const QSize logical = size.expandedTo(QSize(16, 16));
    QPixmap pixmap = canvas(logical, dpr);
    const qreal w = logical.width();
    const qreal h = logical.height();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    // A rounded balloon over the upper part, its tip running down to the bottom edge.
    const QRectF balloon(2, 2, w - 4, h * 0.62);
    const qreal tip = qBound(balloon.left() + 20, qreal(tipX), balloon.right() - 20);
    const qreal tipBase = qBound(balloon.left() + 30, tip + w * 0.06, balloon.right() - 10);
    QPainterPath path;
    path.addRoundedRect(balloon, 18, 18);
    QPainterPath pointer;
    pointer.moveTo(tipBase - w * 0.14, balloon.bottom() - 2);
    pointer.lineTo(tip, h - 2);
    pointer.lineTo(tipBase, balloon.bottom() - 2);
    pointer.closeSubpath();
    path = path.united(pointer);

    painter.setPen(QPen(QColor(150, 120, 0), 2));
    painter.setBrush(QColor(255, 236, 90));
    painter.drawPath(path);

    // The words as large as the balloon takes them, every word whole.
    const QRectF textBox = balloon.adjusted(14, 10, -14, -10);
    QFont face = font;
    int pixels = qMax(9, int(balloon.height() / 9));
    const auto fits = [&] {
        face.setPixelSize(pixels);
        const QFontMetricsF metrics(face);
        const QRectF used = metrics.boundingRect(textBox, Qt::AlignCenter | Qt::TextWordWrap, text);
        return textBox.contains(used);
    };
    while (pixels > 8 && !fits())
        --pixels;
    painter.setFont(face);
    painter.setPen(QColor(40, 30, 0));
    painter.drawText(textBox, Qt::AlignCenter | Qt::TextWordWrap, text);
    return pixmap;
}
