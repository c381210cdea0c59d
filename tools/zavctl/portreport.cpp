#include "portreport.h"

#include "link/portcatalogue.h"
#include "link/portlookup.h"

#include <QJsonArray>

namespace {

QString padded(const QString &text, qsizetype width)
{
    return text.leftJustified(width);
}

// A row of columns with no spaces left at its end.
QString row(const QStringList &columns)
{
    QString line = QStringLiteral("  ") + columns.join(QLatin1String("  "));
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    return line + QLatin1Char('\n');
}

QString whereFrom(const PortRoute &route)
{
    return route.source == PortRoute::Assignment ? route.sourceText() + QLatin1Char(' ') + route.assigned
                                                 : route.sourceText();
}

} // namespace

QString portsText(PortLookup &lookup)
{
    const QList<SerialDevice> &devices = lookup.catalogue().devices();
    QString out = QStringLiteral("Serial devices:\n");
    if (devices.isEmpty())
        out += QStringLiteral("  none\n");
    qsizetype pathWidth = 0;
    for (const SerialDevice &device : devices)
        pathWidth = qMax(pathWidth, device.path.size());
    for (const SerialDevice &device : devices) {
        out += row({padded(device.path, pathWidth), device.summary()});
        if (!device.stableName.isEmpty())
            out += row({padded(QString(), pathWidth), device.stableName});
    }

    QList<PortRoute> routes;
    qsizetype deviceWidth = 0;
    qsizetype sourceWidth = 0;
    for (int number = 1; number <= 9; ++number) {
        routes << lookup.route(number);
        deviceWidth = qMax(deviceWidth, routes.last().device.size());
        sourceWidth = qMax(sourceWidth, whereFrom(routes.last()).size());
    }
    out += QStringLiteral("Ports:\n");
    for (const PortRoute &route : routes) {
        out += row({QStringLiteral("Com%1").arg(route.number), padded(route.device, deviceWidth),
                    padded(whereFrom(route), sourceWidth),
                    PortLookup::presenceText(lookup.presence(route.device))});
    }
    return out;
}

QJsonObject portsJson(PortLookup &lookup)
{
    QJsonArray devices;
    for (const SerialDevice &device : lookup.catalogue().devices()) {
        QJsonObject object{{QStringLiteral("path"), device.path},
                           {QStringLiteral("description"), device.description},
                           {QStringLiteral("manufacturer"), device.manufacturer},
                           {QStringLiteral("serialNumber"), device.serialNumber},
                           {QStringLiteral("stableName"), device.stableName}};
        if (device.isUsb())
            object.insert(QStringLiteral("usb"), device.usbIds());
        devices.append(object);
    }
    QJsonArray ports;
    for (int number = 1; number <= 9; ++number) {
        const PortRoute route = lookup.route(number);
        static const char *const kSources[] = {"variable", "assignment", "default"};
        QJsonObject object{
            {QStringLiteral("port"), QStringLiteral("Com%1").arg(number)},
            {QStringLiteral("number"), number},
            {QStringLiteral("device"), route.device},
            {QStringLiteral("source"), QLatin1String(kSources[route.source])},
            {QStringLiteral("present"), lookup.isPresent(route.device)},
            {QStringLiteral("state"), PortLookup::presenceText(lookup.presence(route.device))}};
        if (route.source == PortRoute::Variable)
            object.insert(QStringLiteral("variable"), PortLookup::variableName(number));
        if (route.source == PortRoute::Assignment)
            object.insert(QStringLiteral("assigned"), route.assigned);
        ports.append(object);
    }
    return {{QStringLiteral("devices"), devices}, {QStringLiteral("ports"), ports}};
}
