#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// One serial device of the system as the port catalogue lists it.
struct SerialDevice
{
    QString path;         // "/dev/ttyUSB0", "COM3"
    QString stableName;   // "/dev/serial/by-id/usb-FTDI_…-if00-port0"; empty when the system has none
    QString description;  // "FT232R USB UART"
    QString manufacturer; // "FTDI"
    QString serialNumber;
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;

    bool isUsb() const { return hasUsbIds; }
    // "0403:6001", empty for a device without USB ids.
    QString usbIds() const
    {
        if (!hasUsbIds)
            return {};
        return QStringLiteral("%1:%2")
            .arg(vendorId, 4, 16, QLatin1Char('0'))
            .arg(productId, 4, 16, QLatin1Char('0'));
    }
    // The name an assignment keeps: the stable one, which survives replugging
    // into another USB socket, else the path.
    QString assignmentName() const { return stableName.isEmpty() ? path : stableName; }
    // "FTDI FT232R USB UART, serial A50285BI, USB 0403:6001": what a technician reads on the adapter.
    QString summary() const
    {
        QStringList parts;
        QString what = description;
        if (!manufacturer.isEmpty() && !description.contains(manufacturer, Qt::CaseInsensitive))
            what = what.isEmpty() ? manufacturer : manufacturer + QLatin1Char(' ') + what;
        if (!what.isEmpty())
            parts << what;
        if (!serialNumber.isEmpty())
            parts << QStringLiteral("serial ") + serialNumber;
        if (hasUsbIds)
            parts << QStringLiteral("USB ") + usbIds();
        return parts.join(QLatin1String(", "));
    }
};
