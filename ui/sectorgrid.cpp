#include "ui/sectorgrid.h"

#include "sectors/sectoreditor.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Runs the leave-cell check on the cell being left before the current index
// changes, whatever asks for the change, and keeps header cells from ever
// becoming current.
class LeaveCheckingSelectionModel : public QItemSelectionModel
{
public:
    LeaveCheckingSelectionModel(QAbstractItemModel *model, SectorGridWidget *grid)
        : QItemSelectionModel(model, grid), m_grid(grid)
    {
    }

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index.isValid() && (index.row() == 0 || index.column() == 0))
            return;
        const QModelIndex from = currentIndex();
        if (index != from && from.isValid() && m_grid->onLeaveCell)
            m_grid->onLeaveCell(from.row(), from.column());
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    SectorGridWidget *m_grid;
};

// Paints every cell edge to edge with a one-pixel margin, so three digits fit
// the narrow columns; header cells look like buttons unless coloured.
class SectorCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool header = index.row() == 0 || index.column() == 0;
        const QVariant background = index.data(Qt::BackgroundRole);
        QBrush fill = background.canConvert<QBrush>() ? background.value<QBrush>() : QBrush();
        if (fill.style() == Qt::NoBrush)
            fill = header ? option.palette.button() : option.palette.base();
        QColor textColour = header ? option.palette.buttonText().color() : option.palette.text().color();
        const QVariant foreground = index.data(Qt::ForegroundRole);
        if (foreground.canConvert<QBrush>() && foreground.value<QBrush>().style() != Qt::NoBrush)
            textColour = foreground.value<QBrush>().color();
        if (!header && (option.state & QStyle::State_Selected)) {
            fill = option.palette.highlight();
            textColour = option.palette.highlightedText().color();
        }

        painter->save();
        painter->fillRect(option.rect, fill);
        painter->setPen(textColour);
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(1, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(Qt::DisplayRole).toString());
        if (!header && (option.state & QStyle::State_HasFocus)) {
            painter->setPen(QPen(option.palette.text().color(), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }
};

} // namespace

SectorGridWidget::SectorGridWidget(QWidget *parent) : QTableWidget(kRows, kColumns, parent)
{
    setObjectName(QStringLiteral("MSFlexGridPautas"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setItemDelegate(new SectorCellDelegate(this));

    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto *item = new QTableWidgetItem;
            item->setFlags(isHeader(row, column) ? Qt::ItemIsEnabled
                                                 : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(row, column, item);
        }
    }

    QItemSelectionModel *old = selectionModel();
    setSelectionModel(new LeaveCheckingSelectionModel(model(), this));
    delete old;
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_frozen = new QTableView(this);
    m_frozen->setObjectName(QStringLiteral("MSFlexGridPautasFixedColumn"));
    m_frozen->setModel(model());
    m_frozen->setSelectionModel(selectionModel());
    m_frozen->setItemDelegate(itemDelegate());
    m_frozen->setSelectionMode(QAbstractItemView::NoSelection);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->horizontalHeader()->hide();
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setMinimumSectionSize(1);
    m_frozen->verticalHeader()->setMinimumSectionSize(1);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int column = 1; column < kColumns; ++column)
        m_frozen->setColumnHidden(column, true);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);

    QTableWidget::setCurrentCell(1, 1);
    setCellSizeTwips(kColumnWidthTwips, kRowHeightTwips);
}

void SectorGridWidget::placeFrozenColumn()
{
    if (!m_frozen)
        return;
    m_frozen->setFont(font());
    for (int row = 0; row < kRows; ++row)
        m_frozen->setRowHeight(row, rowHeight(row));
    m_frozen->setColumnWidth(0, columnWidth(0));
    m_frozen->setGeometry(frameWidth(), frameWidth(), columnWidth(0), viewport()->height());
    m_frozen->raise();
    m_frozen->show();
}

void SectorGridWidget::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    placeFrozenColumn();
}

void SectorGridWidget::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.column() == 0)
        return;
    QTableWidget::scrollTo(index, hint);
    // A cell scrolled to the left edge would sit under the fixed column.
    const int hidden = columnWidth(0) - visualRect(index).left();
    if (hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

void SectorGridWidget::attach(SectorEditor &editor)
{
    onKeyPress = [&editor](int charCode) { editor.MSFlexGridPautas_KeyPress(charCode); };
}

QString SectorGridWidget::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void SectorGridWidget::setCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
}

int SectorGridWidget::currentRow() const
{
    return QTableWidget::currentRow();
}

int SectorGridWidget::currentColumn() const
{
    return QTableWidget::currentColumn();
}

void SectorGridWidget::setCurrentCell(int row, int column)
{
    if (row < 1 || column < 1 || row >= kRows || column >= kColumns)
        return;
    QTableWidget::setCurrentCell(row, column);
}

void SectorGridWidget::setHeaderColour(int row, quint32 colour24)
{
    QTableWidgetItem *cell = item(row, 0);
    if (!cell || row == 0)
        return;
    const QColor colour(int(colour24 & 0xFF), int((colour24 >> 8) & 0xFF), int((colour24 >> 16) & 0xFF));
    cell->setBackground(colour);
    // Keeps the row number readable on a dark colour.
    const int luma = (299 * colour.red() + 587 * colour.green() + 114 * colour.blue()) / 1000;
    cell->setForeground(luma < 128 ? Qt::white : Qt::black);
}

QColor SectorGridWidget::shadeColour() const
{
    // The light 3-D edge (COLOR_3DLIGHT) is the Midlight role; Light is the
    // button highlight, white on most systems. Where a style makes it as light
    // as the cell background, the button face keeps the end columns shaded.
    const QColor light = palette().color(QPalette::Midlight);
    return light == palette().color(QPalette::Base) ? palette().color(QPalette::Button) : light;
}

void SectorGridWidget::setColumnShaded(int column, bool shaded)
{
    for (int row = 1; row < kRows; ++row) {
        if (QTableWidgetItem *cell = item(row, column))
            cell->setBackground(shaded ? QBrush(shadeColour()) : QBrush());
    }
}

void SectorGridWidget::setCellSizeTwips(int widthTwips, int heightTwips)
{
    const int width = qMax(1, twipsToPixels(widthTwips));
    const int height = qMax(1, twipsToPixels(heightTwips));
    horizontalHeader()->setDefaultSectionSize(width);
    verticalHeader()->setDefaultSectionSize(height);
    for (int column = 0; column < kColumns; ++column)
        setColumnWidth(column, width);
    for (int row = 0; row < kRows; ++row)
        setRowHeight(row, height);
    // Three digits have to fit the narrow cells.
    QFont small = font();
    small.setPixelSize(qMax(6, height * 2 / 3));
    setFont(small);
    placeFrozenColumn();
}

void SectorGridWidget::repaint()
{
    viewport()->update();
}

void SectorGridWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QTableWidget::keyPressEvent(event);
        return;
    case Qt::Key_Tab:
        if (onKeyPress)
            onKeyPress(9);
        event->accept();
        return;
    case Qt::Key_Backspace:
        if (onKeyPress)
            onKeyPress(8);
        event->accept();
        return;
    case Qt::Key_Backtab:
        event->accept();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        event->ignore();
        return;
    }
    if (onKeyPress) {
        for (const QChar ch : text)
            onKeyPress(ch.unicode());
    }
    event->accept();
}

void SectorGridWidget::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || isHeader(index.row(), index.column())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void SectorGridWidget::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging does not carry the current cell along; only a click moves it.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

QModelIndex SectorGridWidget::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableWidget::moveCursor(action, modifiers);
    if (!target.isValid() || !isHeader(target.row(), target.column()))
        return target;
    return model()->index(qMax(1, target.row()), qMax(1, target.column()));
}
