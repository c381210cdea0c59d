#include "link/portlock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

QStringList &lockFolders()
{
    // The serial library's folders and those of the older programs (lockdev, uucp).
    static QStringList folders{QStringLiteral("/var/lock"),
                               QStringLiteral("/run/lock"),
                               QStringLiteral("/var/lock/lockdev"),
                               QStringLiteral("/var/spool/locks"),
                               QStringLiteral("/var/spool/uucp"),
                               QStringLiteral("/etc/locks"),
                               QStringLiteral("/tmp"),
                               QStringLiteral("/var/tmp")};
    return folders;
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

struct LockFile
{
    QString path;
    qint64 pid = 0; // 0: no process id could be read
    QString name;
};

// "ttyUSB0" for /dev/ttyUSB0, "pts_3" for /dev/pts/3: how every program names the lock.
QString lockName(const QString &device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

// The device's lock files, under the name of its node and, when it was reached
// by another name (a stable by-id link), under that name too.
QList<LockFile> lockFiles(const QString &device)
{
    QStringList names;
    const QString node = QFileInfo(device).canonicalFilePath();
    if (!node.isEmpty())
        names << lockName(node);
    if (!names.contains(lockName(device)))
        names << lockName(device);
    QList<LockFile> found;
    QStringList seen;
    for (const QString &folder : lockFolders()) {
        for (const QString &name : names) {
            LockFile lock;
            lock.path = folder + QLatin1Char('/') + name;
            // /var/lock is often /run/lock under another name.
            const QString real = QFileInfo(lock.path).canonicalFilePath();
            QFile file(lock.path);
            if (real.isEmpty() || seen.contains(real) || !file.open(QIODevice::ReadOnly))
                continue;
            seen << real;
            const QByteArray content = file.read(256);
            if (content.size() == 4 && !content.contains('\n')) {
                qint32 binary = 0;
                memcpy(&binary, content.constData(), 4);
                lock.pid = binary;
            } else {
                const QList<QByteArray> lines = content.split('\n');
                bool ok = false;
                lock.pid = lines.value(0).trimmed().toLongLong(&ok);
                if (!ok)
                    lock.pid = 0;
                if (lines.size() > 1)
                    lock.name = QString::fromLocal8Bit(lines.at(1).trimmed());
            }
            found << lock;
        }
    }
    return found;
}

} // namespace

PortLock::Holder PortLock::liveHolder(const QString &device)
{
    for (const LockFile &lock : lockFiles(device)) {
        if (processAlive(lock.pid))
            return {lock.pid, lock.name, lock.path};
    }
    return {};
}

QStringList PortLock::removeStale(const QString &device)
{
    QStringList removed;
    for (const LockFile &lock : lockFiles(device)) {
        if (lock.pid > 0 && !processAlive(lock.pid) && QFile::remove(lock.path))
            removed << QStringLiteral("%1 of process %2").arg(lock.path).arg(lock.pid);
    }
    return removed;
}

QStringList PortLock::folders()
{
    return lockFolders();
}

void PortLock::setFolders(const QStringList &folders)
{
    lockFolders() = folders;
}
