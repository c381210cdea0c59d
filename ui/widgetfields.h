#pragma once

#include "fields/fields.h"
#include "fields/memoryfields.h"

#include <QHash>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QSet>

class QTabBar;
class QWidget;

// The named-field store over the main window's widgets. Lists run their click
// handler on every selection, from code or from the user; text boxes, lists,
// captions, check boxes, frames, pictures and the tab strip answer by name.
class WidgetFields : public QObject, public Fields
{
    Q_OBJECT

public:
    explicit WidgetFields(QWidget *window);

    // Registers a widget under its field name and hooks up its events.
    void addField(const QString &name, QWidget *widget);
    QWidget *widget(const QString &name) const;
    bool hasField(const QString &name) const { return m_widgets.contains(name); }
    QStringList fieldNames() const { return m_widgets.keys(); }

    void setStatusLabel(QLabel *label) { m_status = label; }
    // Runs when the technician types into an editable list's text.
    void setChangeHandler(const QString &name, Handler handler);
    // Runs when the field loses the keyboard focus.
    void setFocusOutHandler(const QString &name, Handler handler);
    // Runs the list's click handler as a pick would.
    void runClickHandler(const QString &name);

    QString text(const QString &name) const override;
    void setText(const QString &name, const QString &text) override;
    QString caption(const QString &name) const override;
    void setCaption(const QString &name, const QString &caption) override;
    int listIndex(const QString &name) const override;
    void setListIndex(const QString &name, int index) override;
    QStringList listEntries(const QString &name) const override;
    void setListEntries(const QString &name, const QStringList &entries) override;
    int value(const QString &name) const override;
    void setValue(const QString &name, int value) override;
    bool isVisible(const QString &name) const override;
    void setVisible(const QString &name, bool visible) override;
    bool isEnabled(const QString &name) const override;
    void setEnabled(const QString &name, bool enabled) override;
    void setClickHandler(const QString &name, Handler handler) override;
    void setStatusLine(const QString &text) override;
    QString statusLine() const override;
    void processEvents() override;
    void beep() override;
    void messageBox(const QString &text) override;
    void focusField(const QString &name) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *find(const QString &name) const;
    // The page frame ("FrameP(n)") that holds the widget, 0 when none.
    int pageOf(QWidget *widget) const;

    QWidget *m_window;
    QPointer<QLabel> m_status;
    QHash<QString, QWidget *> m_widgets;
    QHash<QObject *, QString> m_names;
    QHash<QString, Handler> m_click;
    QHash<QString, Handler> m_change;
    QHash<QString, Handler> m_focusOut;
    // Names the window has no widget for: kept in memory so an operation never trips.
    MemoryFields m_unknown;
    mutable QSet<QString> m_warned;
};
