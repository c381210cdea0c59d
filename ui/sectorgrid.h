#pragma once

#include "sectors/sectorgrid.h"

#include <QTableView>
#include <QTableWidget>
#include <functional>

class SectorEditor;

// The sector grid `MSFlexGridPautas`: 9 x 33 cells, row 0 and column 0 drawn
// as header cells (the row headers carry the sector colours). There is no
// in-place editor: every typed character goes to onKeyPress, and the leave-cell
// check (onLeaveCell) runs on the old cell before the current cell moves, by
// mouse, arrow keys, tab or program. Header cells never become current.
class SectorGridWidget : public QTableWidget, public SectorGrid
{
    Q_OBJECT

public:
    explicit SectorGridWidget(QWidget *parent = nullptr);

    // Sends typed characters to the editor's key handler.
    void attach(SectorEditor &editor);
    std::function<void(int charCode)> onKeyPress;

    QString cellText(int row, int column) const override;
    void setCellText(int row, int column, const QString &text) override;
    int currentRow() const override;
    int currentColumn() const override;
    void setCurrentCell(int row, int column) override;
    void setHeaderColour(int row, quint32 colour24) override;
    void setColumnShaded(int column, bool shaded) override;
    void setCellSizeTwips(int widthTwips, int heightTwips) override;
    void repaint() override;

    // The light 3-D edge colour the end columns are shaded with.
    QColor shadeColour() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeFrozenColumn();
    // Column 0 drawn again over the left edge, so the row headers stay in
    // place when the data columns scroll sideways.
    QTableView *m_frozen = nullptr;

    static bool isHeader(int row, int column) { return row == 0 || column == 0; }
};
