#include "files/regularfilereader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

RegularFileRead refused(const QString &reason)
{
    RegularFileRead result;
    result.error = reason;
    return result;
}

QString notRegular()
{
    return QCoreApplication::translate("RegularFileReader",
                                       "it is not a regular file (a device, a pipe or a socket)");
}

QString tooLarge(qint64 size, qint64 limit)
{
    if (size < 0)
        return QCoreApplication::translate("RegularFileReader", "it is larger than %1 bytes").arg(limit);
    return QCoreApplication::translate("RegularFileReader",
                                       "it holds %1 bytes, more than the %2 a file of this kind can need")
        .arg(size)
        .arg(limit);
}

} // namespace

bool RegularFileReader::isDeviceName(const QString &path)
{
#ifdef Q_OS_WIN
    if (path.startsWith(QLatin1String("\\\\.\\")) || path.startsWith(QLatin1String("//./")))
        return true;
    // Only the part before the first dot counts, trailing spaces dropped.
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]|CONIN\\$|CONOUT\\$) *(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(QFileInfo(path).fileName()).hasMatch();
#else
    Q_UNUSED(path);
    return false;
#endif
}

RegularFileRead RegularFileReader::read(const QString &path, qint64 limit, Oversize oversize)
{
    QFile file;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(native.constData(), &info) != 0)
        return refused(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(info.st_mode))
        return refused(QCoreApplication::translate("RegularFileReader", "it is a folder"));
    if (!S_ISREG(info.st_mode))
        return refused(notRegular());
    if (info.st_size > limit && oversize == Oversize::Refuse)
        return refused(tooLarge(info.st_size, limit));
    // Without waiting: the path may have become a pipe since the look above.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refused(QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refused(notRegular());
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(file.errorString());
    }
#else
    if (isDeviceName(path))
        return refused(notRegular());
    const QFileInfo info(path);
    if (info.isDir())
        return refused(QCoreApplication::translate("RegularFileReader", "it is a folder"));
    if (info.exists() && !info.isFile())
        return refused(notRegular());
    if (info.size() > limit && oversize == Oversize::Refuse)
        return refused(tooLarge(info.size(), limit));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.errorString());
#ifdef Q_OS_WIN
    // Whatever the name, only a file on a disk is read.
    if (GetFileType(HANDLE(_get_osfhandle(file.handle()))) != FILE_TYPE_DISK)
        return refused(notRegular());
#endif
#endif
    // One byte more than the limit tells a file that grew since the look above.
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(file.errorString());
    RegularFileRead result;
    if (bytes.size() > limit) {
        if (oversize == Oversize::Refuse)
            return refused(tooLarge(-1, limit));
        bytes.truncate(limit);
        result.cut = true;
    }
    result.bytes = bytes;
    return result;
}
