#include "ui/trafficview.h"

#include "files/wholefilewriter.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>

TrafficView::TrafficView(QPlainTextEdit *box) : QObject(box), m_box(box)
{
    m_box->setReadOnly(true);
    m_box->setMaximumBlockCount(kMaxLines);
    m_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(m_box->font().pointSizeF());
    m_box->setFont(fixed);
    // The menu opens without a loop of its own: a right click inside a reply
    // wait must not hold up the transaction until the menu closes.
    m_box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_box, &QWidget::customContextMenuRequested, this, &TrafficView::showMenu);

    m_flush.setSingleShot(true);
    m_flush.setInterval(0);
    connect(&m_flush, &QTimer::timeout, this, &TrafficView::flush);
}

void TrafficView::append(const QString &line)
{
    m_waiting << line;
    if (m_waiting.size() > kMaxLines)
        m_waiting.remove(0, m_waiting.size() - kMaxLines);
    if (!m_flush.isActive())
        m_flush.start();
}

void TrafficView::flush()
{
    if (m_waiting.isEmpty())
        return;
    m_box->appendPlainText(m_waiting.join(QLatin1Char('\n')));
    m_waiting.clear();
}

QString TrafficView::text()
{
    flush();
    return m_box->toPlainText();
}

void TrafficView::clear()
{
    m_waiting.clear();
    m_box->clear();
}

bool TrafficView::saveTo(const QString &path, QString *error)
{
    QByteArray bytes = text().toUtf8();
    if (!bytes.isEmpty())
        bytes += '\n';
    // Written whole or not at all: a full disk must not leave half a record in place of an older one.
    QString reason;
    if (WholeFileWriter::writeFile(path, bytes, &reason))
        return true;
    *error = tr("%1 not saved: %2").arg(path, reason);
    return false;
}

void TrafficView::showMenu(const QPoint &pos)
{
    QMenu *menu = m_box->createStandardContextMenu(pos);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *save = menu->addAction(tr("Save traffic record..."));
    save->setEnabled(!m_box->document()->isEmpty() || !m_waiting.isEmpty());
    connect(save, &QAction::triggered, this, &TrafficView::save);
    connect(menu->addAction(tr("Clear")), &QAction::triggered, this, &TrafficView::clear);
    menu->popup(m_box->viewport()->mapToGlobal(pos));
}

void TrafficView::save()
{
    if (refusedWhileBusy && refusedWhileBusy())
        return;
    const QString path =
        QFileDialog::getSaveFileName(m_box->window(), tr("Save traffic record"),
                                     QStringLiteral("zav-traffic.txt"), tr("Text (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveTo(path, &error))
        QMessageBox::warning(m_box->window(), QStringLiteral("ZAV"), error);
}
