#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Exit statuses of zavctl.
enum ExitStatus
{
    ExitDone = 0,
    ExitNoAnswer = 1, // the controller did not answer, or the port could not be opened
    ExitDiffer = 1,   // diff: the files differ
    ExitUsage = 2,
    ExitBadFile = 3, // a file that cannot be read or written, or a value that cannot be sent
    ExitDiffers = 4, // write --verify: the controller stores something else than was sent
};

// The parsed command line: global options, the command and its own options.
struct CommandLine
{
    int port = 0;   // 0: the port of zav.ini; the first of ports
    QString device; // the first of devices
    // Every port (--port, --ports) or device (--device) given, in order; several
    // of them run at the same time, each on its own link.
    QList<int> ports;
    QStringList devices;
    QString trace; // the traffic record's file
    bool colours = false;
    bool verify = false;
    QString output;
    bool json = false;
    int changer = 0; // the changer entry the status bits are read for
    bool changerGiven = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    QString command;
    QStringList arguments;

    // Empty when the line is sound; otherwise what is wrong with it.
    QString error;
};

CommandLine parseCommandLine(const QStringList &args);

// True when the run serves more than one port.
inline bool isSeveralPorts(const CommandLine &line)
{
    return line.ports.size() + line.devices.size() > 1;
}

// The --help text.
QString usageText();

// The button of a direct command name ("day" -> "CDia"), nullptr when unknown.
const char *directCommandButton(const QString &name);
