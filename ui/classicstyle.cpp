#include "ui/classicstyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace {

// Where a frame's caption starts, and the gap the border leaves either side of it.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionGap = 2;

} // namespace

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

ClassicStyle *ClassicStyle::instance()
{
    static QPointer<ClassicStyle> style;
    if (!style) {
        style = new ClassicStyle;
        // Outlives every widget that uses it: the application owns it.
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

QRect ClassicStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                   SubControl subControl, const QWidget *widget) const
{
    if (control == CC_GroupBox) {
        if (const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            const QRect r = box->rect;
            const int textHeight = box->fontMetrics.height();
            const int textWidth = box->fontMetrics.horizontalAdvance(box->text);
            // The border line runs through the middle of the caption, as the classic style draws it.
            const int line = box->text.isEmpty() ? 0 : textHeight / 2;
            switch (subControl) {
            case SC_GroupBoxFrame:
                return r.adjusted(0, line, 0, 0);
            case SC_GroupBoxLabel:
                if (box->text.isEmpty())
                    return QRect();
                return QRect(r.left() + kCaptionIndent, r.top(),
                             qMin(textWidth + 2 * kCaptionGap, r.width() - 2 * kCaptionIndent), textHeight);
            case SC_GroupBoxContents:
                return r.adjusted(2, box->text.isEmpty() ? 2 : textHeight + 1, -2, -2);
            default:
                return QRect();
            }
        }
    }
    if (control == CC_ComboBox) {
        if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option)) {
            const QRect r = combo->rect;
            const int arrow = qMin(kComboArrowWidth, r.width() / 2);
            switch (subControl) {
            case SC_ComboBoxArrow:
                return visualRect(combo->direction, r,
                                  QRect(r.right() - arrow, r.top() + 1, arrow, r.height() - 2));
            case SC_ComboBoxEditField:
                return visualRect(combo->direction, r,
                                  QRect(r.left() + 1, r.top() + 1, r.width() - arrow - 2, r.height() - 2));
            default:
                break;
            }
        }
    }
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

void ClassicStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                      QPainter *painter, const QWidget *widget) const
{
    if (control == CC_GroupBox) {
        if (const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            const QRect label = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
            painter->save();
            // The border is broken where the caption stands on it.
            QRegion clip(box->rect);
            clip -= label;
            painter->setClipRegion(clip);
            QStyleOptionFrame frame;
            frame.QStyleOption::operator=(*box);
            frame.rect = subControlRect(CC_GroupBox, box, SC_GroupBoxFrame, widget);
            frame.lineWidth = 1;
            frame.midLineWidth = 0;
            drawPrimitive(PE_FrameGroupBox, &frame, painter, widget);
            painter->restore();
            if (!box->text.isEmpty()) {
                drawItemText(painter, label.adjusted(kCaptionGap, 0, -kCaptionGap, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                             box->state & State_Enabled, box->text, QPalette::WindowText);
            }
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void ClassicStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    if (element == PE_FrameGroupBox) {
        // An etched line: dark, with a light line inside it, as classic frames are drawn.
        const QRect r = option->rect;
        qDrawShadeRect(painter, r.x(), r.y(), r.width(), r.height(), option->palette, true, 1, 0);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ClassicStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element == CE_ComboBoxLabel) {
        if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option)) {
            // A list of entries only shows its value elided where even the whole box cannot hold it.
            if (!combo->editable) {
                QStyleOptionComboBox copy = *combo;
                const QRect field = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
                copy.currentText = combo->fontMetrics.elidedText(combo->currentText, Qt::ElideRight,
                                                                 field.width() - 2 * kCaptionGap);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
