#include "files/wholefilewriter.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

WholeFileWriter::WholeFileWriter(const QString &path) : m_file(path) {}

bool WholeFileWriter::fail(const QString &reason)
{
    if (!m_failed) {
        m_failed = true;
        m_error = reason;
    }
    cancel();
    return false;
}

bool WholeFileWriter::open()
{
    // A rename would put a plain file in the place of a device such as /dev/null.
    const QFileInfo target(m_file.fileName());
    if (target.exists() && !target.isFile() && !target.isDir())
        return fail(QStringLiteral("it is not a regular file (a device, a pipe or a socket)"));
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(m_file.errorString());
    return true;
}

bool WholeFileWriter::write(const QByteArray &bytes)
{
    if (m_failed || !m_file.isOpen())
        return fail(QStringLiteral("the file is not open"));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(m_file.errorString());
        done += n;
    }
    return true;
}

bool WholeFileWriter::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(QStringLiteral("the file is not open"));
    // The last buffered bytes reach the disk here; their error must stop the rename.
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
#ifdef Q_OS_UNIX
    // A file system that cannot sync this kind of file says so with EINVAL or ENOTSUP.
    const int handle = m_file.handle();
    if (handle >= 0 && ::fsync(handle) != 0 && errno != EINVAL && errno != ENOTSUP)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (!m_file.commit())
        return fail(m_file.errorString());
    return true;
}

void WholeFileWriter::cancel()
{
    // The temporary file goes with the QSaveFile; commit() after this renames nothing.
    m_file.cancelWriting();
}

bool WholeFileWriter::writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    WholeFileWriter writer(path);
    if (writer.open() && writer.write(bytes) && writer.commit())
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}
