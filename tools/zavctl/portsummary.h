#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// What one port's run gives the summary at the end of a run over several ports.
struct PortOutcome
{
    QString port;       // "Com2", or the device as given with --device
    QString device;     // what was opened
    int status = 0;     // the port's exit status
    QString result;     // "verified", "saved lantern-1234.zav", or what went wrong
    QString idNumber;   // as read from the controller; empty when not read
    QString identifier; // as read; empty when not read
    bool identifierRead = false;
    double seconds = 0;
    QStringList differences; // write --verify
    QJsonValue output;       // the command's own JSON, when it has one
};

// Port, ID number, identifier, time and result in aligned columns, a line a port.
QString summaryTable(const QList<PortOutcome> &outcomes);
// The same for programs; numbers are JSON numbers whatever the locale.
QJsonObject summaryJson(const QList<PortOutcome> &outcomes, int status);

// The name -o gives a port: {port} becomes the port number, {id} the ID number read.
QString expandOutputPattern(const QString &pattern, int port, const QString &idNumber);
