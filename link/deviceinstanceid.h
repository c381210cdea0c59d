#pragma once

#include <QString>
#include <QtGlobal>

// What a Windows device instance id tells of a USB serial adapter:
//   USB\VID_2341&PID_0043\75331313133351A0D1C1     (the USB device itself)
//   FTDIBUS\VID_0403+PID_6001+A50285BIA\0000       (FTDI's driver: serial and channel letter)
//   USB\VID_2341&PID_8036&MI_00\6&2B2E4A8F&0&0000  (an interface: no serial; ask the parent)
// Plain text, so it is read the same on every system.
struct DeviceInstanceId
{
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    // The adapter's own serial number; empty when Windows made the id up from
    // the USB socket (an '&' in the last part) or the driver is not known.
    QString serialNumber;

    static DeviceInstanceId parse(const QString &id);
};
