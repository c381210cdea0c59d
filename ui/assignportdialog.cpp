#include "ui/assignportdialog.h"

#include "link/portcatalogue.h"
#include "link/portlookup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

AssignPortDialog::AssignPortDialog(PortLookup &lookup, int number, const QString &intro, QWidget *parent)
    : QDialog(parent), m_lookup(lookup), m_devices(lookup.catalogue().devices())
{
    setObjectName(QStringLiteral("AssignPortDialog"));
    // The window's face, not the desktop's.
    setAttribute(Qt::WA_WindowPropagation);
    setWindowTitle(tr("Serial adapters"));
    auto *layout = new QVBoxLayout(this);
    if (!intro.isEmpty()) {
        auto *label = new QLabel(intro, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("devices"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {tr("Device"), tr("Description"), tr("Maker"), tr("Serial number"), tr("USB"), tr("Stable name")});
    for (const SerialDevice &device : m_devices) {
        auto *item = new QTreeWidgetItem(m_list, {device.path, device.description, device.manufacturer,
                                                  device.serialNumber, device.usbIds(), device.stableName});
        item->setData(0, Qt::UserRole, device.path);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->setMinimumWidth(560);
    layout->addWidget(m_list);
    if (m_devices.isEmpty())
        layout->addWidget(new QLabel(tr("No serial device is present: plug the adapter in and "
                                        "open this list again."),
                                     this));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Com:"), this));
    m_number = new QComboBox(this);
    m_number->setObjectName(QStringLiteral("number"));
    for (int n = 1; n <= 9; ++n)
        m_number->addItem(QStringLiteral("Com%1:").arg(n));
    m_number->setCurrentIndex(qBound(1, number, 9) - 1);
    row->addWidget(m_number);
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("current"));
    row->addWidget(m_current, 1);
    layout->addLayout(row);

    auto *buttons = new QDialogButtonBox(this);
    m_assign = buttons->addButton(tr("Assign"), QDialogButtonBox::AcceptRole);
    m_assign->setObjectName(QStringLiteral("assign"));
    m_remove = buttons->addButton(tr("Remove assignment"), QDialogButtonBox::ActionRole);
    m_remove->setObjectName(QStringLiteral("remove"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    connect(m_assign, &QPushButton::clicked, this, &AssignPortDialog::assignPicked);
    connect(m_remove, &QPushButton::clicked, this, &AssignPortDialog::removeAssignment);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_number, &QComboBox::currentIndexChanged, this, &AssignPortDialog::showAssignment);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &AssignPortDialog::showAssignment);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &AssignPortDialog::assignPicked);
    showAssignment();
}

int AssignPortDialog::number() const
{
    return m_number->currentIndex() + 1;
}

void AssignPortDialog::select(const QString &path)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() == path)
            m_list->setCurrentItem(item);
    }
}

void AssignPortDialog::showAssignment()
{
    const PortRoute route = m_lookup.route(number());
    QString text;
    if (route.source == PortRoute::Assignment)
        text = tr("assigned: %1").arg(route.assigned);
    else
        text = tr("not assigned: opens %1").arg(PortLookup::defaultDevice(number()));
    if (route.source == PortRoute::Variable)
        text += tr("; %1 is set to %2 and comes first").arg(route.sourceText(), route.device);
    m_current->setText(text);
    m_remove->setEnabled(!m_lookup.assignment(number()).isEmpty());
    m_assign->setEnabled(m_list->currentItem() != nullptr);
}

void AssignPortDialog::assignPicked()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const QString path = item->data(0, Qt::UserRole).toString();
    for (const SerialDevice &device : m_devices) {
        if (device.path == path)
            m_lookup.assign(number(), device.assignmentName());
    }
    accept();
}

void AssignPortDialog::removeAssignment()
{
    m_lookup.unassign(number());
    accept();
}
