#include "ui/widgetfields.h"

#include "ui/textfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

WidgetFields::WidgetFields(QWidget *window) : QObject(window), m_window(window) {}

void WidgetFields::addField(const QString &name, QWidget *widget)
{
    m_widgets.insert(name, widget);
    m_names.insert(widget, name);

    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        connect(combo, &QComboBox::activated, this, [this, name, combo](int) {
            fitListText(combo);
            runClickHandler(name);
        });
        if (QLineEdit *edit = combo->lineEdit()) {
            connect(edit, &QLineEdit::textEdited, this, [this, name](const QString &) {
                if (Handler change = m_change.value(name))
                    change();
            });
            // Typed text is fitted once the technician leaves the list, not letter by letter.
            connect(edit, &QLineEdit::editingFinished, combo, [combo] { fitListText(combo); });
        }
        combo->installEventFilter(this);
    } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
        connect(tabs, &QTabBar::currentChanged, this, [this, name](int) { runClickHandler(name); });
    }
}

QWidget *WidgetFields::widget(const QString &name) const
{
    return m_widgets.value(name);
}

QWidget *WidgetFields::find(const QString &name) const
{
    QWidget *w = m_widgets.value(name);
    if (!w && !m_warned.contains(name)) {
        m_warned.insert(name);
        qWarning("WidgetFields: no control named %s; its value is kept in memory", qPrintable(name));
    }
    return w;
}

void WidgetFields::setChangeHandler(const QString &name, Handler handler)
{
    m_change.insert(name, std::move(handler));
}

void WidgetFields::setFocusOutHandler(const QString &name, Handler handler)
{
    m_focusOut.insert(name, std::move(handler));
}

void WidgetFields::runClickHandler(const QString &name)
{
    // A copy: the handler may replace itself or select in this list again.
    if (Handler click = m_click.value(name))
        click();
}

bool WidgetFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const QString name = m_names.value(watched);
        if (Handler lost = m_focusOut.value(name))
            lost();
    }
    return QObject::eventFilter(watched, event);
}

QString WidgetFields::text(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.text(name);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        return memo->toPlainText();
    return caption(name);
}

void WidgetFields::setText(const QString &name, const QString &text)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setText(name, text);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        edit->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker blocker(combo);
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        fitListText(combo);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
        memo->setPlainText(text);
    } else {
        setCaption(name, text);
    }
}

QString WidgetFields::caption(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.caption(name);
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(w))
        return frame->title();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    return w->windowTitle();
}

void WidgetFields::setCaption(const QString &name, const QString &caption)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setCaption(name, caption);
    if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(caption);
        fitCaption(label);
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        button->setText(caption);
        fitCaption(button);
    } else if (auto *frame = qobject_cast<QGroupBox *>(w))
        frame->setTitle(caption);
    else if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(caption);
    else
        w->setWindowTitle(caption);
}

int WidgetFields::listIndex(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.listIndex(name);
    if (auto *tabs = qobject_cast<QTabBar *>(w))
        return tabs->currentIndex();
    auto *combo = qobject_cast<QComboBox *>(w);
    if (!combo)
        return -1;
    if (!combo->isEditable())
        return combo->currentIndex();
    // Typed text that is no entry leaves the list without a choice.
    const QString typed = combo->currentText();
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == typed)
        return current;
    return combo->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void WidgetFields::setListIndex(const QString &name, int index)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setListIndex(name, index);
    if (auto *tabs = qobject_cast<QTabBar *>(w)) {
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(index);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        // A long entry shows its beginning, not its end.
        if (QLineEdit *edit = combo->lineEdit())
            edit->setCursorPosition(0);
        fitListText(combo);
    }
    // From code exactly as from the user: the handler runs whether or not the index changed.
    runClickHandler(name);
}

QStringList WidgetFields::listEntries(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.listEntries(name);
    QStringList entries;
    if (auto *tabs = qobject_cast<QTabBar *>(w)) {
        for (int i = 0; i < tabs->count(); ++i)
            entries << tabs->tabText(i);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
    }
    return entries;
}

void WidgetFields::setListEntries(const QString &name, const QStringList &entries)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setListEntries(name, entries);
    if (auto *tabs = qobject_cast<QTabBar *>(w)) {
        // Tabs are added or removed at the end; the selected tab stays where it is.
        const QSignalBlocker blocker(tabs);
        while (tabs->count() > entries.size())
            tabs->removeTab(tabs->count() - 1);
        for (int i = 0; i < entries.size(); ++i) {
            if (i < tabs->count())
                tabs->setTabText(i, entries.at(i));
            else
                tabs->addTab(entries.at(i));
        }
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItems(entries);
        combo->setCurrentIndex(-1);
        fitListText(combo);
    }
}

int WidgetFields::value(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.value(name);
    if (auto *check = qobject_cast<QCheckBox *>(w)) {
        switch (check->checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        }
    }
    return 0;
}

void WidgetFields::setValue(const QString &name, int value)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setValue(name, value);
    if (auto *check = qobject_cast<QCheckBox *>(w)) {
        if (value == 2)
            check->setTristate(true);
        check->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
}

bool WidgetFields::isVisible(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.isVisible(name);
    // The field's own flag: a field on a page behind another tab is still "visible".
    return !w->isHidden();
}

void WidgetFields::setVisible(const QString &name, bool visible)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setVisible(name, visible);
    w->setVisible(visible);
}

bool WidgetFields::isEnabled(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.isEnabled(name);
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

void WidgetFields::setEnabled(const QString &name, bool enabled)
{
    QWidget *w = find(name);
    if (!w)
        return m_unknown.setEnabled(name, enabled);
    w->setEnabled(enabled);
}

void WidgetFields::setClickHandler(const QString &name, Handler handler)
{
    m_click.insert(name, std::move(handler));
}

void WidgetFields::setStatusLine(const QString &text)
{
    if (m_status) {
        m_status->setText(text);
        // A long text (why a port cannot be opened) is cut at the panel's edge.
        m_status->setToolTip(text);
    }
}

QString WidgetFields::statusLine() const
{
    return m_status ? m_status->text() : QString();
}

void WidgetFields::processEvents()
{
    QCoreApplication::processEvents();
}

void WidgetFields::beep()
{
    QApplication::beep();
}

void WidgetFields::messageBox(const QString &text)
{
    // Plain text: a message may quote a file's line, which must not be taken for markup.
    QMessageBox box(QMessageBox::Information, QStringLiteral("ZAV"), text, QMessageBox::Ok, m_window);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int WidgetFields::pageOf(QWidget *widget) const
{
    static const QString prefix = QStringLiteral("FrameP(");
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        const QString name = m_names.value(w);
        if (name.startsWith(prefix))
            return QStringView(name).mid(prefix.size()).chopped(1).toInt();
    }
    return 0;
}

void WidgetFields::focusField(const QString &name)
{
    QWidget *w = find(name);
    if (!w) {
        m_unknown.focusField(name);
        return;
    }
    const int page = pageOf(w);
    auto *tabs = qobject_cast<QTabBar *>(m_widgets.value(QStringLiteral("TabStrip1")));
    if (page > 0 && tabs && page <= tabs->count())
        setListIndex(QStringLiteral("TabStrip1"), page - 1);
    w->setFocus(Qt::OtherFocusReason);
}
