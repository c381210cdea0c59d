#include "files/wholefilewriter.h"

#include "files/regularfilereader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

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

namespace {
QString notRegular()
{
    return QCoreApplication::translate("WholeFileWriter",
                                       "it is not a regular file (a device, a pipe or a socket)");
}
} // namespace

bool WholeFileWriter::open()
{
    // A rename would put a plain file in the place of a device such as /dev/null.
    const QFileInfo target(m_file.fileName());
    if (RegularFileReader::isDeviceName(m_file.fileName()) ||
        (target.exists() && !target.isFile() && !target.isDir()))
        return fail(notRegular());
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(m_file.errorString());
    return true;
}

bool WholeFileWriter::write(const QByteArray &bytes)
{
    if (m_failed || !m_file.isOpen())
        return fail(QCoreApplication::translate("WholeFileWriter", "the file is not open"));
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
        return fail(QCoreApplication::translate("WholeFileWriter", "the file is not open"));
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

bool WholeFileWriter::checkFolder(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        *error = QStringLiteral("the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!info.isDir()) {
        *error = QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    // The file goes in beside the target first: the folder must take a new one. Only
    // trying tells (permissions, a read-only mount, access lists).
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zav-check-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("no new file can be made in the folder %1 (%2)")
                     .arg(QDir::toNativeSeparators(folder), probe.errorString());
        return false;
    }
    return true;
}

bool WholeFileWriter::checkTarget(const QString &path, QString *error)
{
    if (RegularFileReader::isDeviceName(path)) {
        *error = notRegular();
        return false;
    }
    const QFileInfo target(path);
    if (target.exists()) {
        if (target.isDir()) {
            *error = QStringLiteral("it is a folder");
            return false;
        }
        if (!target.isFile()) {
            *error = notRegular();
            return false;
        }
        if (!target.isWritable()) {
            *error = QStringLiteral("the file is read-only");
            return false;
        }
    }
    return checkFolder(target.absolutePath(), error);
}
