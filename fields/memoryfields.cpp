#include "fields/memoryfields.h"

MemoryFields::Field &MemoryFields::field(const QString &name)
{
    return m_fields[name];
}

const MemoryFields::Field *MemoryFields::find(const QString &name) const
{
    auto it = m_fields.constFind(name);
    return it == m_fields.constEnd() ? nullptr : &it.value();
}

QString MemoryFields::text(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->text : QString();
}

void MemoryFields::setText(const QString &name, const QString &text)
{
    field(name).text = text;
}

QString MemoryFields::caption(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->caption : QString();
}

void MemoryFields::setCaption(const QString &name, const QString &caption)
{
    field(name).caption = caption;
}

int MemoryFields::listIndex(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->listIndex : -1;
}

void MemoryFields::setListIndex(const QString &name, int index)
{
    Field &f = field(name);
    // An index past the entries gives no choice, as an editable list does.
    f.listIndex = (index >= 0 && (f.entries.isEmpty() || index < f.entries.size())) ? index : -1;
    if (f.listIndex >= 0 && f.listIndex < f.entries.size())
        f.text = f.entries.at(f.listIndex);
    Handler h = f.click; // the handler may touch other fields and rehash
    if (h)
        h();
}

QStringList MemoryFields::listEntries(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->entries : QStringList();
}

void MemoryFields::setListEntries(const QString &name, const QStringList &entries)
{
    Field &f = field(name);
    f.entries = entries;
    f.listIndex = -1;
}

int MemoryFields::value(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->value : 0;
}

void MemoryFields::setValue(const QString &name, int value)
{
    field(name).value = value;
}

bool MemoryFields::isVisible(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->visible : true;
}

void MemoryFields::setVisible(const QString &name, bool visible)
{
    field(name).visible = visible;
}

bool MemoryFields::isEnabled(const QString &name) const
{
    const Field *f = find(name);
    return f ? f->enabled : true;
}

void MemoryFields::setEnabled(const QString &name, bool enabled)
{
    field(name).enabled = enabled;
}

void MemoryFields::setClickHandler(const QString &name, Handler handler)
{
    field(name).click = std::move(handler);
}

void MemoryFields::setStatusLine(const QString &text)
{
    m_status = text;
    statusHistory.append(text);
    if (onStatus)
        onStatus(text);
}

QString MemoryFields::statusLine() const
{
    return m_status;
}

void MemoryFields::processEvents() {}

void MemoryFields::beep()
{
    ++beeps;
}

void MemoryFields::messageBox(const QString &text)
{
    messages.append(text);
    if (onMessage)
        onMessage(text);
}

void MemoryFields::focusField(const QString &name)
{
    focused = name;
}
