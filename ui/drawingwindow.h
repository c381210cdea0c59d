#pragma once

#include <QImage>
#include <QWidget>

class Fields;

// `FormDibujo`: a plain window ("Form1") in which `Command2_Click` draws three
// concentric circles. The drawing goes into a backing image that the window
// paints, so it survives being covered, and each press draws over what is
// there without erasing it.
class FormDibujo : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidthTwips = 5865;
    static constexpr int kClientHeightTwips = 4650;

    // Opens the window (one at a time; a new one after it was closed) and draws
    // the circles, the inner and outer in colour 1 as LColor(1) shows it.
    // The window is a child window of owner, so it goes when owner goes.
    static FormDibujo *Command2_Click(QWidget *owner, Fields &fields);
    // The open window, or nothing.
    static FormDibujo *instance();
    // Closes the window if it is open (program exit).
    static void closeIfOpen();

    // Draws a circle outline; centre and radius in twips from the client area's top left.
    void drawCircle(QPointF centreTwips, double radiusTwips, quint32 colour24);
    QImage drawing() const { return m_drawing; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    explicit FormDibujo(QWidget *owner);
    void growDrawing(QSize size);

    QImage m_drawing;
};
