#include "link/portlookup.h"

#include "link/portcatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
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

QString PortLookup::defaultDevice(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
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
        // The stable name leads to wherever the adapter is plugged in now. The
        // device is opened by its own node, so that lock files name it as other
        // programs do (LCK..ttyUSB0).
        const QFileInfo link(route.assigned);
        if (link.exists()) {
            route.device = link.canonicalFilePath();
        } else if (const SerialDevice *device = m_catalogue.find(route.assigned)) {
            route.device = device->path;
        } else {
            route.device = route.assigned; // not plugged in: opening it says so
        }
        return route;
    }
    route.source = PortRoute::Default;
    route.device = defaultDevice(number);
    return route;
}

PortLookup::Presence PortLookup::presence(const QString &device) const
{
    if (device.isEmpty())
        return Presence::NotConnected;
#ifndef Q_OS_WIN
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
#endif
    return m_catalogue.find(device) ? Presence::Present : Presence::NotConnected;
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
