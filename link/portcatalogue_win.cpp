#include "link/portcatalogue.h"

#include "link/deviceinstanceid.h"

#include <QRegularExpression>
#include <QStringList>

#include <windows.h>
// windows.h first: the SetupAPI headers build on it; initguid.h before devguid.h
// gives GUID_DEVCLASS_PORTS its storage here.
#include <cfgmgr32.h>
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

#include <algorithm>

namespace {

// GUID_DEVINTERFACE_COMPORT, spelt out: mingw's headers declare it only for some targets.
const GUID kComPortInterface = {0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};

QString registryString(HKEY key, const wchar_t *name)
{
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return QString::fromWCharArray(buffer).trimmed();
}

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA &info, DWORD property)
{
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, reinterpret_cast<BYTE *>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr) ||
        (type != REG_SZ && type != REG_MULTI_SZ))
        return {};
    return QString::fromWCharArray(buffer).trimmed();
}

QString instanceId(DEVINST instance)
{
    wchar_t buffer[MAX_DEVICE_ID_LEN + 1] = {};
    if (CM_Get_Device_IDW(instance, buffer, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS)
        return {};
    return QString::fromWCharArray(buffer);
}

// "COM3" from the device's own key; empty for a parallel port of the same class.
QString portName(HDEVINFO set, SP_DEVINFO_DATA &info)
{
    const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    const QString name = registryString(key, L"PortName");
    RegCloseKey(key);
    return name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? name.toUpper() : QString();
}

int comNumber(const QString &path)
{
    return path.mid(3).toInt();
}

// The ports the system lists under a class or an interface.
void scan(const GUID &guid, DWORD flags, QList<SerialDevice> &devices)
{
    const HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | flags);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        SerialDevice device;
        device.path = portName(set, info);
        if (device.path.isEmpty() ||
            std::any_of(devices.begin(), devices.end(),
                        [&](const SerialDevice &known) { return known.path == device.path; }))
            continue;
        // "USB Serial Port (COM3)": the port's own number is shown apart.
        static const QRegularExpression comSuffix(QStringLiteral("\\s*\\(COM\\d+\\)$"));
        device.description = deviceProperty(set, info, SPDRP_FRIENDLYNAME).remove(comSuffix);
        if (device.description.isEmpty())
            device.description = deviceProperty(set, info, SPDRP_DEVICEDESC);
        device.manufacturer = deviceProperty(set, info, SPDRP_MFG);
        // The port's own id, else (an interface of a composite device) its parent's,
        // carries the USB ids and the serial number.
        DEVINST instance = info.DevInst;
        for (int level = 0; level < 3; ++level) {
            const QString id = instanceId(instance);
            const DeviceInstanceId parsed = DeviceInstanceId::parse(id);
            if (parsed.hasUsbIds && !device.hasUsbIds) {
                device.hasUsbIds = true;
                device.vendorId = parsed.vendorId;
                device.productId = parsed.productId;
            }
            if (!parsed.serialNumber.isEmpty()) {
                device.serialNumber = parsed.serialNumber;
                // The id holds the serial number, not the socket: it follows the
                // adapter to whatever number Windows gives it next.
                device.stableName = id;
                break;
            }
            DEVINST parent = 0;
            if (CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS)
                break;
            instance = parent;
        }
        devices << device;
    }
    SetupDiDestroyDeviceInfoList(set);
}

// The ports the serial drivers announce in the registry: every COM port the
// system has, those without a Plug and Play entry (virtual ports) included.
QStringList announcedPorts()
{
    QStringList ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD nameLength = 255;
        wchar_t value[256] = {};
        DWORD valueSize = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(value), &valueSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS && type == REG_SZ)
            ports << QString::fromWCharArray(value).trimmed().toUpper();
    }
    RegCloseKey(key);
    return ports;
}

} // namespace

QList<SerialDevice> PortCatalogue::scanSystem()
{
    QList<SerialDevice> devices;
    scan(GUID_DEVCLASS_PORTS, 0, devices);
    scan(kComPortInterface, DIGCF_DEVICEINTERFACE, devices);
    for (const QString &port : announcedPorts()) {
        if (std::none_of(devices.begin(), devices.end(),
                         [&](const SerialDevice &known) { return known.path == port; })) {
            SerialDevice device;
            device.path = port;
            devices << device;
        }
    }
    std::sort(devices.begin(), devices.end(), [](const SerialDevice &a, const SerialDevice &b) {
        return comNumber(a.path) != comNumber(b.path) ? comNumber(a.path) < comNumber(b.path)
                                                      : a.path < b.path;
    });
    return devices;
}

QString PortCatalogue::systemSignature()
{
    // The drivers' list of ports changes as soon as an adapter comes or goes.
    QStringList ports = announcedPorts();
    ports.sort();
    return QStringLiteral("ports:") + ports.join(QLatin1Char(' '));
}
