#include "ui/textfit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVariant>

namespace {

constexpr double kSmallestPointSize = 6.0;

int spareWidth(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->contentsRect().width() - 2 * label->margin() - 2;
    return widget->width() - 10; // a push button's bevel and padding
}

} // namespace

void fitCaptionToWidth(QWidget *widget)
{
    QString text;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (label->wordWrap() || label->text().isEmpty())
            return;
        text = label->text();
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        text = button->text();
    } else {
        return;
    }
    // Start from the control's own face each time (the status captions have a larger
    // one), so a shorter caption grows back to it.
    const char *const designFont = "zavDesignFont";
    QFont font = widget->font();
    const QVariant design = widget->property(designFont);
    if (design.isValid())
        font = design.value<QFont>();
    else
        widget->setProperty(designFont, font);
    widget->setFont(font);
    const int room = spareWidth(widget);
    while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > kSmallestPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    if (font != widget->font())
        widget->setFont(font);
}
