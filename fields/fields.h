#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The window's controls as the device operations see them: named fields
// ("TLuxON", "Label(24)", "LColor(3)") with Text, Caption, ListIndex, Value,
// Visible and Enabled. The main window implements it over its widgets;
// MemoryFields keeps plain values for tests and headless use.
//
// Rules every implementation keeps:
// - setListIndex from code runs the list's click handler exactly as a user's
//   pick does, whether or not the index changed;
// - a hidden field keeps its value and is still read and written;
// - a list with no choice has index -1.
class Fields
{
public:
    using Handler = std::function<void()>;

    virtual ~Fields() = default;

    virtual QString text(const QString &name) const = 0;
    virtual void setText(const QString &name, const QString &text) = 0;

    virtual QString caption(const QString &name) const = 0;
    virtual void setCaption(const QString &name, const QString &caption) = 0;

    virtual int listIndex(const QString &name) const = 0;
    virtual void setListIndex(const QString &name, int index) = 0;
    virtual QStringList listEntries(const QString &name) const = 0;
    virtual void setListEntries(const QString &name, const QStringList &entries) = 0;

    // Check boxes: 0 cleared, 1 set (2, greyed, counts as not ticked).
    virtual int value(const QString &name) const = 0;
    virtual void setValue(const QString &name, int value) = 0;

    virtual bool isVisible(const QString &name) const = 0;
    virtual void setVisible(const QString &name, bool visible) = 0;
    virtual bool isEnabled(const QString &name) const = 0;
    virtual void setEnabled(const QString &name, bool enabled) = 0;

    // The list's click handler; setListIndex runs it.
    virtual void setClickHandler(const QString &name, Handler handler) = 0;

    // Panel 1 of the status bar.
    virtual void setStatusLine(const QString &text) = 0;
    virtual QString statusLine() const = 0;

    // Let pending window events run (nothing headless).
    virtual void processEvents() = 0;
    virtual void beep() = 0;
    // A modal message with an OK button under the application title.
    virtual void messageBox(const QString &text) = 0;
    // Bring the field's page to the front and give the field the focus.
    virtual void focusField(const QString &name) = 0;
};

// Builds the name of an item of a control array: arrayName("Label", 24) is "Label(24)".
inline QString arrayName(const char *family, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(family)).arg(index);
}
