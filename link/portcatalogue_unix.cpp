#include "link/portcatalogue.h"

#include <QDir>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

const QString kByIdDir = QStringLiteral("/dev/serial/by-id");

} // namespace

QList<SerialDevice> PortCatalogue::scanSystem()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation();
        device.description = info.description();
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        device.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        device.vendorId = info.vendorIdentifier();
        device.productId = info.productIdentifier();
        devices << device;
    }
    addStableNames(devices, kByIdDir);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });
    return devices;
}

QString PortCatalogue::systemSignature()
{
    // Every tty the kernel has, and the stable names udev made for them: an
    // adapter plugged in or pulled out changes one or the other.
    const QStringList ttys = QDir(QStringLiteral("/sys/class/tty"))
                                 .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    const QStringList stable =
        QDir(kByIdDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return ttys.join(QLatin1Char(' ')) + QLatin1Char('|') + stable.join(QLatin1Char(' '));
}
