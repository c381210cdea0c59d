#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

class PortCatalogue;

// Why a serial device could not be opened, in a technician's words, found from
// the file system, the lock files and the processes rather than from the
// serial library's message (which calls a port held by another program a
// "Permission error").
struct OpenDiagnosis
{
    Q_DECLARE_TR_FUNCTIONS(OpenDiagnosis)

public:
    enum Cause
    {
        Unknown,
        Absent,     // no such device, or no hardware behind the node
        Permission, // this user may not open it
        InUse,      // another program holds it
    };

    Cause cause = Unknown;
    // "Com1: /dev/ttyUSB0 may not be opened by this user: join group dialout (…)".
    QString text;
    qint64 holderPid = 0;
    QString holderName;

    // Looks at the device after a failed open. libraryError is the serial
    // library's message, used only when nothing better is found; the catalogue
    // lists the adapters that are there when the device is not.
    static OpenDiagnosis diagnose(int number, const QString &device, const QString &libraryError,
                                  PortCatalogue *catalogue);

    // The pieces every system's diagnosis is written with.
    static QString portPrefix(int number, const QString &device); // "Com1: /dev/ttyUSB0"
    // "… is not connected; adapters plugged in: …"
    static QString notConnectedText(int number, const QString &device, PortCatalogue *catalogue,
                                    const QString &why);
    // "… cannot be opened (libraryError)": nothing better was found.
    static OpenDiagnosis cannotOpen(int number, const QString &device, const QString &libraryError);

private:
    // The system's own look at the device (opendiagnosis_unix.cpp, opendiagnosis_win.cpp).
    static OpenDiagnosis diagnoseSystem(int number, const QString &device, const QString &libraryError,
                                        PortCatalogue *catalogue);
};
