#include "link/portcatalogue.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool sameDevices(const QList<SerialDevice> &a, const QList<SerialDevice> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].path != b[i].path || a[i].stableName != b[i].stableName ||
            a[i].serialNumber != b[i].serialNumber || a[i].description != b[i].description)
            return false;
    }
    return true;
}

} // namespace

PortCatalogue::PortCatalogue(Scanner scanner, Signature signature)
    : m_scanner(std::move(scanner)), m_signature(std::move(signature))
{
}

const QList<SerialDevice> &PortCatalogue::devices()
{
    if (!m_scanned) {
        m_lastSignature = m_signature ? m_signature() : QString();
        m_devices = m_scanner ? m_scanner() : QList<SerialDevice>();
        m_scanned = true;
    }
    return m_devices;
}

QList<SerialDevice> PortCatalogue::usbAdapters()
{
    QList<SerialDevice> adapters;
    for (const SerialDevice &device : devices()) {
        if (device.isUsb())
            adapters << device;
    }
    return adapters;
}

const SerialDevice *PortCatalogue::find(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    for (const SerialDevice &device : devices()) {
        if (device.path == name || device.stableName == name)
            return &device;
    }
    return nullptr;
}

bool PortCatalogue::refresh()
{
    if (!m_scanned) {
        devices();
        return true;
    }
    const QString signature = m_signature ? m_signature() : QString();
    if (!signature.isEmpty() && signature == m_lastSignature)
        return false;
    const QList<SerialDevice> before = m_devices;
    m_scanned = false;
    return !sameDevices(before, devices());
}

void PortCatalogue::addStableNames(QList<SerialDevice> &devices, const QString &byIdDir)
{
    // Sorted, so a device with several names ("-if00", "-if01") takes the same one every time.
    const QFileInfoList links = QDir(byIdDir).entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo &link : links) {
        if (!link.isSymLink())
            continue;
        const QString target = link.canonicalFilePath();
        for (SerialDevice &device : devices) {
            if (device.stableName.isEmpty() && !target.isEmpty() &&
                QFileInfo(device.path).canonicalFilePath() == target)
                device.stableName = link.absoluteFilePath();
        }
    }
}
