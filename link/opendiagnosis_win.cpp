#include "link/opendiagnosis.h"

#include "link/portcatalogue.h"
#include "link/windowserror.h"

#include <QRegularExpression>
#include <QStringList>

#include <windows.h>

namespace {

// "Com4: COM4 does not exist; ports on this computer: COM1 (Communications Port), …"
QString missingPortText(int number, const QString &device, PortCatalogue *catalogue)
{
    QString text = OpenDiagnosis::portPrefix(number, device) + QStringLiteral(" does not exist");
    if (!catalogue)
        return text;
    QStringList ports;
    for (const SerialDevice &port : catalogue->devices()) {
        const QString summary = port.summary();
        ports << (summary.isEmpty() ? port.path : QStringLiteral("%1 (%2)").arg(port.path, summary));
    }
    if (ports.isEmpty())
        return text + QStringLiteral("; this computer has no serial port");
    return text + QStringLiteral("; ports on this computer: ") + ports.join(QLatin1String(", "));
}

} // namespace

OpenDiagnosis OpenDiagnosis::diagnoseSystem(int number, const QString &device, const QString &libraryError,
                                            PortCatalogue *catalogue)
{
    // Open it as the port does, to learn the system's own reason.
    const QString path =
        device.startsWith(QLatin1String("\\\\")) ? device : QStringLiteral("\\\\.\\") + device;
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
                                      GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return cannotOpen(number, device, libraryError);
    }
    const DWORD error = GetLastError();
    OpenDiagnosis d;
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        // A COM port is opened by one program at a time; Windows names no holder.
        d.cause = InUse;
        d.text = portPrefix(number, device) + QStringLiteral(" is in use by another program");
        return d;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_INVALID_NAME: {
        d.cause = Absent;
        static const QRegularExpression comName(QStringLiteral("^COM\\d+$"),
                                                QRegularExpression::CaseInsensitiveOption);
        // An assigned adapter that is not plugged in is named by its id, not a number.
        d.text = comName.match(device).hasMatch() ? missingPortText(number, device, catalogue)
                                                  : notConnectedText(number, device, catalogue, QString());
        return d;
    }
    default:
        return cannotOpen(number, device, windowsErrorText(error));
    }
}
