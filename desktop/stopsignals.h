#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

// SIGINT (Ctrl+C) and SIGTERM (logout, kill) ask the program to stop instead of
// ending it on the spot: a run killed in the middle leaves the port's lock file
// and exclusive flag behind and a record without its end. The handler only
// counts the signal and writes a byte to a pipe; the program looks at the count
// where stopping is safe, or an object of this class calls back from the event
// loop. A third signal ends the process at once, as an uncaught one would.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    // Catches both signals from now on, for the whole process.
    static void install();
    // The first stop signal caught; 0 when none came.
    static int first();
    // How many stop signals came.
    static int count();
    // "SIGINT", "SIGTERM".
    static QString name(int signal);
    // What a shell reports for a program the signal ended: 130, 143.
    static int exitStatus(int signal) { return 128 + signal; }

    // Calls caught() on this object's thread for every stop signal; install() is
    // called if it was not yet.
    explicit StopSignals(QObject *parent = nullptr);

    std::function<void(int signal)> caught;

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
