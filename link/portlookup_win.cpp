#include "link/portlookup.h"

#include "link/portcatalogue.h"

QString PortLookup::defaultDevice(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

PortLookup::Presence PortLookup::systemPresence(const QString &device) const
{
    if (m_catalogue.find(device))
        return Presence::Present;
    return Presence::NotConnected;
}

QString PortLookup::assignedDevice(const QString &assigned) const
{
    // An adapter is kept by its device instance id, which holds its serial
    // number: the catalogue knows the COM number Windows gave it this time.
    if (const SerialDevice *device = m_catalogue.find(assigned))
        return device->path;
    return assigned;
}
