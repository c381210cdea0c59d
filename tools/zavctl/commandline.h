#pragma once

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
};

// The parsed command line: global options, the command and its own options.
struct CommandLine
{
    int port = 0; // 0: the port of zav.ini
    QString device;
    QString trace; // the traffic record's file
    bool colours = false;
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

// The --help text.
QString usageText();

// The button of a direct command name ("day" -> "CDia"), nullptr when unknown.
const char *directCommandButton(const QString &name);
