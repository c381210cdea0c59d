#pragma once

#include "link/serialdevice.h"

#include <QList>
#include <functional>

// The serial devices the system has, looked up once and kept until a cheap look
// says an adapter was plugged in or pulled out. The full look can take a tenth of
// a second, so it runs only when first needed and after such a change.
class PortCatalogue
{
public:
    using Scanner = std::function<QList<SerialDevice>()>;
    // Cheap to compute; changes when a device comes or goes. Empty: no cheap
    // look on this system, every refresh() looks again in full.
    using Signature = std::function<QString()>;

    explicit PortCatalogue(Scanner scanner = scanSystem, Signature signature = systemSignature);

    // Every device, looked up on first use.
    const QList<SerialDevice> &devices();
    // The devices with USB ids (the plug-in adapters).
    QList<SerialDevice> usbAdapters();
    // The device with that path or stable name, nullptr when there is none.
    const SerialDevice *find(const QString &name);

    // The cheap look; looks again in full when the system's devices changed.
    // True when the list differs from the one held before.
    bool refresh();
    // Forgets the list: the next use looks again.
    void invalidate() { m_scanned = false; }

    // QSerialPortInfo, with the stable /dev/serial/by-id names on Linux.
    static QList<SerialDevice> scanSystem();
    // Adds the stable names found in byIdDir (symbolic links to the devices).
    static void addStableNames(QList<SerialDevice> &devices, const QString &byIdDir);
    static QString systemSignature();

private:
    Scanner m_scanner;
    Signature m_signature;
    QList<SerialDevice> m_devices;
    QString m_lastSignature;
    bool m_scanned = false;
};
