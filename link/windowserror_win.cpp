#include "link/windowserror.h"

#include <windows.h>

QString windowsErrorText(unsigned long error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        DWORD(error), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text;
    if (length > 0 && buffer)
        text = QString::fromWCharArray(buffer, int(length)).trimmed();
    if (buffer)
        LocalFree(buffer);
    if (text.isEmpty())
        return QStringLiteral("error %1").arg(error);
    return QStringLiteral("%1 (error %2)").arg(text).arg(error);
}
