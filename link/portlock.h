#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The lock files serial programs leave for a device they hold: "LCK..ttyUSB0" in
// the usual lock folders, holding the owner's process id as ten characters and a
// newline (or, in the old form, as four binary bytes; the serial library writes it
// as a line followed by its program's name). Unix only: on Windows the port's
// exclusive open is the lock.
class PortLock
{
public:
    struct Holder
    {
        qint64 pid = 0; // 0: no live holder
        QString name;   // the program's name where the lock file gives one
        QString file;
    };

    // The live process that holds the device by a lock file (this one included).
    static Holder liveHolder(const QString &device);
    // Removes the device's lock files whose process has ended and says which
    // ("/run/lock/LCK..ttyUSB0 of process 4242"). A lock of a live process, or
    // one that cannot be read, is never touched.
    static QStringList removeStale(const QString &device);

    // The folders looked in; tests point them at folders of their own.
    static QStringList folders();
    static void setFolders(const QStringList &folders);
};
