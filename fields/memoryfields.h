#pragma once

#include "fields/fields.h"

#include <QHash>

// Plain in-memory field store: every field springs into being on first use,
// visible, enabled, empty, with list index -1.
class MemoryFields : public Fields
{
public:
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

    // What the operations did, for tests and the command-line tool.
    QStringList statusHistory;
    QStringList messages;
    QString focused;
    int beeps = 0;
    // Called for every StatusLine text (headless progress output).
    std::function<void(const QString &)> onStatus;
    std::function<void(const QString &)> onMessage;

private:
    struct Field
    {
        QString text;
        QString caption;
        int listIndex = -1;
        QStringList entries;
        int value = 0;
        bool visible = true;
        bool enabled = true;
        Handler click;
    };
    Field &field(const QString &name);
    const Field *find(const QString &name) const;

    QHash<QString, Field> m_fields;
    QString m_status;
};
