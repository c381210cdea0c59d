#include "desktop/tracefile.h"

#include <QCoreApplication>
#include <QDateTime>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Local time with its offset from UTC, so a record sent elsewhere still says when.
QString startTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString shownPath(const QString &path)
{
    return path == QLatin1String("-") ? QStringLiteral("standard error") : path;
}

} // namespace

bool TraceFile::openFile(const QString &path)
{
#ifdef Q_OS_UNIX
    // The system appends (O_APPEND) and Qt is never asked to seek: Qt's own append
    // mode seeks to the end, which a terminal, a pipe or /dev/full refuse.
    const int fd = path == QLatin1String("-")
                       ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0)
                       : ::open(QFile::encodeName(path).constData(),
                                O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        m_error = m_file.errorString();
        ::close(fd);
        return false;
    }
    return true;
#else
    const bool ok = path == QLatin1String("-")
                        ? m_file.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered)
                        : (m_file.setFileName(path),
                           m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered));
    if (!ok)
        m_error = m_file.errorString();
    return ok;
#endif
}

bool TraceFile::open(const QString &path, const QString &program, QString *error)
{
    m_path = path;
    m_error.clear();
    if (!openFile(path)) {
        m_error = QCoreApplication::translate("TraceFile", "Cannot open %1 for the traffic record: %2")
                      .arg(shownPath(path), m_error);
        if (error)
            *error = m_error;
        return false;
    }
    // The first write tells whether the record can be kept at all (/dev/full, a full disk).
    const auto failedBefore = failed;
    failed = nullptr;
    const bool written =
        writeLine(QStringLiteral("# %1 traffic record, started %2; times in ms since the start")
                      .arg(program, startTime()));
    failed = failedBefore;
    if (!written) {
        if (error)
            *error = m_error;
        return false;
    }
    return true;
}

bool TraceFile::writeLine(const QString &line)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (m_file.write(bytes) == bytes.size())
        return true;
    m_error = QCoreApplication::translate("TraceFile", "Cannot write the traffic record to %1: %2")
                  .arg(shownPath(m_path), m_file.errorString());
    // One report; the lines after a lost one would leave a gap nobody sees.
    m_file.close();
    if (failed)
        failed(m_error);
    return false;
}
