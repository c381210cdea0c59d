#include "ui/drawingwindow.h"

#include "device/numbers.h"
#include "fields/fields.h"
#include "sectors/sectoreditor.h"
#include "ui/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

namespace {
QPointer<FormDibujo> s_window;

QColor fromColour24(quint32 colour24)
{
    return QColor(int(colour24 & 0xFF), int((colour24 >> 8) & 0xFF), int((colour24 >> 16) & 0xFF));
}
} // namespace

FormDibujo::FormDibujo(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("FormDibujo"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    growDrawing(size());
}

FormDibujo *FormDibujo::instance()
{
    return s_window.data();
}

void FormDibujo::closeIfOpen()
{
    if (s_window)
        s_window->close();
}

FormDibujo *FormDibujo::Command2_Click(QWidget *owner, Fields &fields)
{
    if (!s_window)
        s_window = new FormDibujo(owner);
    FormDibujo *window = s_window.data();
    // Shown first so that the outer size includes the frame the system gave it;
    // nothing is visible in between, since painting waits for the event loop.
    window->show();

    const QRect outer = window->frameGeometry();
    const double x = double(roundHalfEven(pixelsToTwips(outer.width()) / 2.0));
    const double y = double(roundHalfEven(pixelsToTwips(outer.height()) / 2.0));
    const QPointF centre(x, y);
    const quint32 colour =
        quint32(SectorEditor::colourFromCaption(fields.caption(SectorEditor::colourLabel(1)))) & 0xFFFFFFu;

    window->drawCircle(centre, 500, 0);
    window->drawCircle(centre, 100, colour);
    window->drawCircle(centre, 1500, colour);
    return window;
}

void FormDibujo::drawCircle(QPointF centreTwips, double radiusTwips, quint32 colour24)
{
    QPainter painter(&m_drawing);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = pixelsPerTwip();
    painter.scale(scale, scale);
    painter.setPen(QPen(fromColour24(colour24), 0)); // one device pixel wide
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centreTwips, radiusTwips, radiusTwips);
    painter.end();
    update();
}

void FormDibujo::growDrawing(QSize size)
{
    const QSize wanted = m_drawing.size().expandedTo(size);
    if (wanted == m_drawing.size())
        return;
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(palette().color(QPalette::Window));
    if (!m_drawing.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_drawing);
    }
    m_drawing = grown;
}

void FormDibujo::resizeEvent(QResizeEvent *event)
{
    // A larger window keeps what was drawn and shows plain background beyond it.
    growDrawing(size());
    QWidget::resizeEvent(event);
}

void FormDibujo::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_drawing, event->rect());
}
