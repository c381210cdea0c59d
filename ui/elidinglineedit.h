#pragma once

#include <QLineEdit>

// The text part of a drop-down list that also takes typed text. While the list
// does not have the focus, a value longer than the box shows its beginning and an
// ellipsis rather than being cut off at the edge; editing shows it all as usual.
class ElidingLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    // Where the text is drawn.
    QRect textRoom() const;
    // True when the whole text fits the room at the current font.
    bool textFits() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
