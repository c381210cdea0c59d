#include "desktop/settingsfolder.h"

#include <QDir>
#include <QStandardPaths>

#include <windows.h>

bool folderTakesFiles(const QString &folder)
{
    // The folder's attributes say nothing of its access rights (Program Files is
    // not read-only, yet closed to users): try it with a file that goes on close.
    const QString probe = QDir::toNativeSeparators(
        folder + QStringLiteral("/zav-write-probe-%1.tmp").arg(GetCurrentProcessId()));
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t *>(probe.utf16()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

QString perUserSettingsFolder()
{
    // One folder for zav and zavctl alike, whatever each calls itself.
    QString base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QLatin1String("/ZAV");
}
