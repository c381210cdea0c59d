#include "link/opendiagnosis.h"

#include "link/portcatalogue.h"

#include <QStringList>

QString OpenDiagnosis::portPrefix(int number, const QString &device)
{
    return QStringLiteral("Com%1: %2").arg(number).arg(device);
}

QString OpenDiagnosis::notConnectedText(int number, const QString &device, PortCatalogue *catalogue,
                                        const QString &why)
{
    QString text = portPrefix(number, device) + tr(" is not connected") + why;
    if (!catalogue)
        return text;
    QStringList adapters;
    for (const SerialDevice &adapter : catalogue->usbAdapters()) {
        const QString summary = adapter.summary();
        adapters << (summary.isEmpty() ? adapter.path : QStringLiteral("%1 (%2)").arg(adapter.path, summary));
    }
    if (adapters.isEmpty())
        return text + tr("; no USB serial adapter is plugged in");
    return text + tr("; adapters plugged in: ") + adapters.join(QLatin1String(", "));
}

OpenDiagnosis OpenDiagnosis::cannotOpen(int number, const QString &device, const QString &libraryError)
{
    OpenDiagnosis d;
    d.text = portPrefix(number, device) + tr(" cannot be opened");
    if (!libraryError.isEmpty())
        d.text += QStringLiteral(" (%1)").arg(libraryError);
    return d;
}

OpenDiagnosis OpenDiagnosis::diagnose(int number, const QString &device, const QString &libraryError,
                                      PortCatalogue *catalogue)
{
    if (device.isEmpty()) {
        OpenDiagnosis d;
        d.text = tr("Com%1: no device for this port").arg(number);
        return d;
    }
    return diagnoseSystem(number, device, libraryError, catalogue);
}
