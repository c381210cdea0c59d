#include "ui/textfit.h"

#include "ui/dialogface.h"
#include "ui/elidinglineedit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QVariant>

namespace {

constexpr qreal kStep = 0.25;
const char *const kDesignFont = "zavDesignFont";
const char *const kDesignRect = "zavDesignRect";

// The face and size the layout gave the control, kept from the first fitting on.
QFont designFont(QWidget *widget)
{
    const QVariant design = widget->property(kDesignFont);
    if (design.isValid())
        return design.value<QFont>();
    widget->setProperty(kDesignFont, widget->font());
    return widget->font();
}

QRect designRect(QWidget *widget)
{
    const QVariant design = widget->property(kDesignRect);
    if (design.isValid())
        return design.toRect();
    widget->setProperty(kDesignRect, widget->geometry());
    return widget->geometry();
}

// Width the control draws its caption in.
int captionRoom(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->contentsRect().width() - 2 * label->margin();
    QStyleOptionButton option;
    option.initFrom(widget);
    if (qobject_cast<const QCheckBox *>(widget))
        return widget->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, widget).width();
    return widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, widget).width();
}

QString captionOf(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return QString();
}

bool fitsOneLine(const QWidget *widget, const QFont &font, const QString &text)
{
    return QFontMetrics(font).horizontalAdvance(text) <= captionRoom(widget);
}

// The rows above and below a label that its neighbours leave free.
QPair<int, int> freeBand(const QWidget *label, const QRect &design)
{
    const QWidget *parent = label->parentWidget();
    int top = 0;
    int bottom = parent ? parent->height() : design.bottom() + 1;
    if (!parent)
        return {design.top(), design.bottom() + 1};
    for (const QObject *child : parent->children()) {
        const auto *sibling = qobject_cast<const QWidget *>(child);
        if (!sibling || sibling == label || sibling->isWindow())
            continue;
        const QRect r = sibling->geometry();
        if (r.right() < design.left() || r.left() > design.right())
            continue; // beside the label's column
        if (r.bottom() < design.top())
            top = qMax(top, r.bottom() + 1);
        else if (r.top() > design.bottom())
            bottom = qMin(bottom, r.top());
    }
    return {top, bottom};
}

// Two lines at the label's own size, when the rows around leave the room.
bool wrapIntoFreeBand(QLabel *label, const QRect &design)
{
    label->setWordWrap(true);
    const int height = label->heightForWidth(design.width());
    const auto [top, bottom] = freeBand(label, design);
    if (height <= 0 || height > bottom - top) {
        label->setWordWrap(false);
        return false;
    }
    const int y = qBound(top, design.center().y() - height / 2 + 1, bottom - height);
    label->setGeometry(design.x(), y, design.width(), height);
    return true;
}

bool wrappedFits(QLabel *label, const QFont &font)
{
    label->setFont(font);
    return label->heightForWidth(label->width()) <= label->height();
}

} // namespace

void fitCaption(QWidget *widget)
{
    auto *label = qobject_cast<QLabel *>(widget);
    if (!label && !qobject_cast<QAbstractButton *>(widget))
        return;
    const QString text = captionOf(widget);
    const QFont design = designFont(widget);
    widget->setFont(design);
    widget->setToolTip(QString());
    if (text.isEmpty())
        return;

    // A label drawn two lines high wraps within its own box.
    if (label && label->wordWrap() && !label->property(kDesignRect).isValid()) {
        QFont font = design;
        while (!wrappedFits(label, font) && font.pointSizeF() - kStep >= kSmallestPoints)
            font.setPointSizeF(font.pointSizeF() - kStep);
        if (!wrappedFits(label, font))
            label->setToolTip(text);
        return;
    }

    if (label) {
        const QRect box = designRect(label);
        label->setWordWrap(false);
        label->setGeometry(box);
        if (fitsOneLine(label, design, text))
            return;
        if (wrapIntoFreeBand(label, box))
            return;
    } else if (fitsOneLine(widget, design, text)) {
        return;
    }

    QFont font = design;
    while (!fitsOneLine(widget, font, text) && font.pointSizeF() - kStep >= kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - kStep);
    widget->setFont(font);
    if (!fitsOneLine(widget, font, text))
        widget->setToolTip(text);
}

void fitListText(QComboBox *combo)
{
    const QString text = combo->currentText();
    const QFont design = designFont(combo);
    combo->setToolTip(QString());

    // The entries open in a list as wide as the longest of them.
    const QFontMetrics metrics(design);
    int longest = 0;
    for (int i = 0; i < combo->count(); ++i)
        longest = qMax(longest, metrics.horizontalAdvance(combo->itemText(i)));
    QAbstractItemView *view = combo->view();
    const int frame = 2 * view->frameWidth();
    // The item's text margins, as the item delegate keeps them.
    const int margins = 2 * (combo->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    view->setMinimumWidth(qMax(combo->width(), longest + frame + margins + 2));

    if (auto *edit = qobject_cast<ElidingLineEdit *>(combo->lineEdit())) {
        QFont font = design;
        edit->setFont(font);
        while (!edit->textFits() && font.pointSizeF() - kStep >= kSmallestPoints) {
            font.setPointSizeF(font.pointSizeF() - kStep);
            edit->setFont(font);
        }
        if (!edit->textFits())
            combo->setToolTip(text);
        edit->update();
        return;
    }
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    if (metrics.horizontalAdvance(text) > field.width() - 4)
        combo->setToolTip(text);
}
