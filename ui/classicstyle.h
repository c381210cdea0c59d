#pragma once

#include <QProxyStyle>

// The look the window's twip layout was drawn for, over Fusion: frame captions sit
// on the frame's border line with the line broken behind them, and a drop-down
// list keeps a slim arrow button so that its box leaves its chosen value the most
// room. Everything else is Fusion's, drawn in vectors at any scale.
class ClassicStyle : public QProxyStyle
{
    Q_OBJECT

public:
    ClassicStyle();

    // The one instance the main window's controls share; it lives as long as the application.
    static ClassicStyle *instance();

    // Width of a drop-down list's arrow button, in device-independent pixels.
    static constexpr int kComboArrowWidth = 13;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                         const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};
