#pragma once

#include "link/serialdevice.h"

#include <QDialog>
#include <QList>

class PortLookup;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Lists the serial devices the system has and assigns the one picked to a Com
// number, by its stable name, for this user.
class AssignPortDialog : public QDialog
{
    Q_OBJECT

public:
    // intro: a line above the list (the first-start offer says why it asks).
    AssignPortDialog(PortLookup &lookup, int number, const QString &intro, QWidget *parent);

    // Picks the device in the list.
    void select(const QString &path);

private:
    void showAssignment();
    void assignPicked();
    void removeAssignment();
    int number() const;

    PortLookup &m_lookup;
    QList<SerialDevice> m_devices;
    QTreeWidget *m_list = nullptr;
    QComboBox *m_number = nullptr;
    QLabel *m_current = nullptr;
    QPushButton *m_assign = nullptr;
    QPushButton *m_remove = nullptr;
};
