#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What reading a file gave: its bytes, or why it was refused.
struct RegularFileRead
{
    std::optional<QByteArray> bytes;
    QString error;    // the reason, without the path ("it is a folder")
    bool cut = false; // only the first `limit` bytes were kept (KeepStart)
};

// Reads a regular file of at most `limit` bytes. A folder, a pipe, a device such as
// /dev/zero or a socket is refused before any byte is read, and the file is opened
// without waiting, so a pipe with no writer cannot hang the program. A larger file
// is refused, or with KeepStart its first `limit` bytes are returned.
class RegularFileReader
{
public:
    enum class Oversize
    {
        Refuse,
        KeepStart
    };

    static RegularFileRead read(const QString &path, qint64 limit, Oversize oversize = Oversize::Refuse);

    // Windows: a name the system keeps for a device in every folder (NUL, CON,
    // COM1, LPT1, also with an extension, as "nul.zav"); false elsewhere.
    static bool isDeviceName(const QString &path);
};
