#include "link/portlookup.h"

#include "link/portcatalogue.h"
#include "link/serialport.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

// The window's per-user store; the placement keys live in its group "Settings".
QSettings store()
{
    return QSettings(QStringLiteral("ZAV"), QStringLiteral("ZAV"));
}

QString assignmentKey(int number)
{
    return QStringLiteral("Ports/Com%1").arg(number);
}

const QString kOfferedKey = QStringLiteral("Ports/OfferedAdapter");

} // namespace

QString PortRoute::sourceText() const
{
    switch (source) {
    case Variable:
        return PortLookup::variableName(number);
    case Assignment:
        return QCoreApplication::translate("PortRoute", "assigned");
    case Default:
        break;
    }
    return QCoreApplication::translate("PortRoute", "default");
}

PortLookup::PortLookup(PortCatalogue &catalogue) : m_catalogue(catalogue) {}

QString PortLookup::variableName(int number)
{
    return QStringLiteral("ZAV_COM%1").arg(number);
}

PortRoute PortLookup::route(int number) const
{
    PortRoute route;
    route.number = number;
    const QByteArray variable = qgetenv(variableName(number).toLatin1().constData());
    if (!variable.isEmpty()) {
        route.source = PortRoute::Variable;
        route.device = QString::fromLocal8Bit(variable);
        return route;
    }
    route.assigned = assignment(number);
    if (!route.assigned.isEmpty()) {
        route.source = PortRoute::Assignment;
        route.device = assignedDevice(route.assigned);
        return route;
    }
    route.source = PortRoute::Default;
    route.device = defaultDevice(number);
    return route;
}

QString PortLookup::presenceText(Presence presence)
{
    switch (presence) {
    case Presence::Present:
        return QCoreApplication::translate("PortLookup", "present");
    case Presence::NoDevice:
        return QCoreApplication::translate("PortLookup", "no device at this node");
    case Presence::NotConnected:
        break;
    }
    return QCoreApplication::translate("PortLookup", "not connected");
}

PortLookup::Presence PortLookup::presence(const QString &device) const
{
    if (device.isEmpty())
        return Presence::NotConnected;
    if (m_inProcess.contains(device))
        return Presence::Present;
    return systemPresence(device);
}

void PortLookup::addInProcessDevice(const QString &device)
{
    if (!m_inProcess.contains(device))
        m_inProcess << device;
}

void PortLookup::assign(int number, const QString &assignmentName)
{
    QSettings settings = store();
    settings.setValue(assignmentKey(number), assignmentName);
    settings.sync();
}

void PortLookup::unassign(int number)
{
    QSettings settings = store();
    settings.remove(assignmentKey(number));
    settings.sync();
}

QString PortLookup::assignment(int number) const
{
    return store().value(assignmentKey(number)).toString();
}

bool PortLookup::anyAssignment() const
{
    for (int number = 1; number <= 9; ++number) {
        if (!assignment(number).isEmpty())
            return true;
    }
    return false;
}

std::optional<SerialDevice> PortLookup::adapterToOffer(int number)
{
    if (number < 1 || !qEnvironmentVariableIsEmpty(variableName(number).toLatin1().constData()) ||
        anyAssignment())
        return std::nullopt;
    const QList<SerialDevice> adapters = m_catalogue.usbAdapters();
    if (adapters.size() != 1)
        return std::nullopt;
    // Asked once per adapter: a technician who said no is not asked at every start.
    QSettings settings = store();
    if (settings.value(kOfferedKey).toString() == adapters.first().assignmentName())
        return std::nullopt;
    settings.setValue(kOfferedKey, adapters.first().assignmentName());
    settings.sync();
    return adapters.first();
}

PortLookup &PortLookup::system()
{
    static PortCatalogue catalogue;
    static PortLookup lookup(catalogue);
    return lookup;
}

QString deviceForPort(int number)
{
    return PortLookup::system().route(number).device;
}
