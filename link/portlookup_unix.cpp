#include "link/portlookup.h"

#include "link/portcatalogue.h"

#include <QFile>
#include <QFileInfo>

QString PortLookup::defaultDevice(int number)
{
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

PortLookup::Presence PortLookup::systemPresence(const QString &device) const
{
    // Pseudo-terminals and other nodes the catalogue does not list count when they
    // exist, unless the serial driver says no UART answered at the node: its port
    // type, read where it needs no open (which would raise the modem lines, and
    // which a user outside the port's group may not do), is 0, unknown.
    const QFileInfo node(device);
    if (node.exists()) {
        QFile type(m_ttyClassDir + QLatin1Char('/') + QFileInfo(node.canonicalFilePath()).fileName() +
                   QStringLiteral("/type"));
        if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0")
            return Presence::NoDevice;
        return Presence::Present;
    }
    return m_catalogue.find(device) ? Presence::Present : Presence::NotConnected;
}

QString PortLookup::assignedDevice(const QString &assigned) const
{
    // The stable name leads to wherever the adapter is plugged in now. The
    // device is opened by its own node, so that lock files name it as other
    // programs do (LCK..ttyUSB0).
    const QFileInfo link(assigned);
    if (link.exists())
        return link.canonicalFilePath();
    if (const SerialDevice *device = m_catalogue.find(assigned))
        return device->path;
    return assigned;
}
