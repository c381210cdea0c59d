#include "link/opendiagnosis.h"

#include "link/portcatalogue.h"
#include "link/portlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString prefix(int number, const QString &device)
{
    return OpenDiagnosis::portPrefix(number, device);
}

QString absentText(int number, const QString &device, PortCatalogue *catalogue, const QString &why)
{
    return OpenDiagnosis::notConnectedText(number, device, catalogue, why);
}

QString groupName(gid_t gid)
{
    const group *entry = getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// True when the user is a member of the group in the system's list of groups,
// though this process (started before) is not.
bool memberOnlyAfterNextLogin(gid_t gid)
{
    const passwd *user = getpwuid(getuid());
    if (!user)
        return false;
    int count = 64;
    QList<gid_t> groups(count);
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(count);
    return groups.contains(gid);
}

QString permissionText(int number, const QString &device, const struct stat &info)
{
    const QString head = prefix(number, device) + OpenDiagnosis::tr(" may not be opened by this user: ");
    const bool groupMayOpen = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
    if (groupMayOpen && info.st_gid != 0) {
        const QString group = groupName(info.st_gid);
        if (memberOnlyAfterNextLogin(info.st_gid))
            return head + OpenDiagnosis::tr("this user is in group %1, but this session started before; "
                                            "log out and in again")
                              .arg(group);
        return head +
               OpenDiagnosis::tr("join group %1 (sudo usermod -aG %1 $USER), then log in again").arg(group);
    }
    const passwd *owner = getpwuid(info.st_uid);
    return head + OpenDiagnosis::tr("only %1 may open it (mode %2); ask the administrator for a udev rule "
                                    "that gives group dialout access")
                      .arg(owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid))
                      .arg(int(info.st_mode & 07777), 4, 8, QLatin1Char('0'));
}

QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromLocal8Bit(comm.readAll()).trimmed();
    return {};
}

// The processes that hold the device open, from their open files in /proc
// (only those this user may look at); this one last.
QList<qint64> processesHolding(const QString &device)
{
    QList<qint64> holders;
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return holders;
    bool self = false;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : pids) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QString fdDir = QStringLiteral("/proc/") + entry + QStringLiteral("/fd");
        for (const QString &fd : QDir(fdDir).entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fdDir + QLatin1Char('/') + fd) == target) {
                if (pid == getpid())
                    self = true;
                else
                    holders << pid;
                break;
            }
        }
    }
    if (self)
        holders << getpid();
    return holders;
}

// The well-known programs that take USB serial adapters for themselves.
QString grabberAdvice(const QString &holder, const QString &device, PortCatalogue *catalogue)
{
    if (holder.compare(QLatin1String("ModemManager"), Qt::CaseInsensitive) == 0) {
        QString rule = QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
        if (catalogue) {
            if (const SerialDevice *adapter = catalogue->find(QFileInfo(device).canonicalFilePath());
                adapter && adapter->isUsb())
                rule = QStringLiteral("ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", %3")
                           .arg(adapter->vendorId, 4, 16, QLatin1Char('0'))
                           .arg(adapter->productId, 4, 16, QLatin1Char('0'))
                           .arg(rule);
        }
        return OpenDiagnosis::tr(
                   "; ModemManager probes serial adapters for modems: stop it (sudo systemctl "
                   "stop ModemManager), or keep it off this adapter for good with the udev rule "
                   "%1 in /etc/udev/rules.d/99-zav.rules")
            .arg(rule);
    }
    if (holder.compare(QLatin1String("brltty"), Qt::CaseInsensitive) == 0)
        return OpenDiagnosis::tr("; brltty takes USB serial adapters for braille displays: stop it (sudo "
                                 "systemctl stop brltty-udev.service brltty.service), or remove it (sudo apt "
                                 "remove brltty) when no braille display is used");
    return {};
}

OpenDiagnosis inUse(int number, const QString &device, qint64 pid, QString name, PortCatalogue *catalogue)
{
    OpenDiagnosis d;
    d.cause = OpenDiagnosis::InUse;
    if (pid == getpid()) {
        // Another port of this program (several links on one device).
        d.holderPid = pid;
        d.text = prefix(number, device) + OpenDiagnosis::tr(" is already open in this program");
        return d;
    }
    d.text = prefix(number, device) + OpenDiagnosis::tr(" is in use by another program");
    if (pid > 0) {
        d.holderPid = pid;
        const QString running = processName(pid);
        d.holderName = running.isEmpty() ? name : running;
        d.text += d.holderName.isEmpty() ? OpenDiagnosis::tr(": process %1").arg(pid)
                                         : OpenDiagnosis::tr(": %1 (process %2)").arg(d.holderName).arg(pid);
        d.text += grabberAdvice(d.holderName, device, catalogue);
    }
    return d;
}

} // namespace

OpenDiagnosis OpenDiagnosis::diagnoseSystem(int number, const QString &device, const QString &libraryError,
                                            PortCatalogue *catalogue)
{
    OpenDiagnosis d;
    const QByteArray path = QFile::encodeName(device);
    struct stat info
    {
    };
    if (stat(path.constData(), &info) != 0) {
        d.cause = Absent;
        d.text = absentText(number, device, catalogue, QString());
        return d;
    }
    if (access(path.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM)) {
        d.cause = Permission;
        d.text = permissionText(number, device, info);
        return d;
    }
    if (const PortLock::Holder holder = PortLock::liveHolder(device); holder.pid)
        return inUse(number, device, holder.pid, holder.name, catalogue);

    // Open it as the serial library does, to learn the system's own reason.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int error = fd >= 0 ? 0 : errno;
    int exclusive = 0;
    // Root's open passes another program's exclusive hold; the flag tells.
    if (fd >= 0 && ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive)
        error = EBUSY;
    if (fd >= 0)
        ::close(fd);
    if (error == EBUSY) {
        const QList<qint64> holders = processesHolding(device);
        return inUse(number, device, holders.value(0), QString(), catalogue);
    } else if (error == EACCES || error == EPERM) {
        d.cause = Permission;
        d.text = permissionText(number, device, info);
        return d;
    } else if (error == ENXIO || error == ENODEV || error == EIO || error == ENOENT) {
        d.cause = Absent;
        d.text =
            absentText(number, device, catalogue, OpenDiagnosis::tr(" (no device answers at this node)"));
        return d;
    }
    return cannotOpen(number, device, libraryError);
}
