#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One thing that happened on a link, as its traffic record sees it.
struct TrafficEvent
{
    enum Kind
    {
        Opened,     // text: the device
        OpenFailed, // text: why
        Closed,
        Sent,       // bytes: the request frame; tryNumber
        Received,   // bytes: everything read as the reply
        TimedOut,   // tryNumber; bytes: what waits unread (a short reply)
        NoAnswer,   // after the last try
        Dropped,    // bytes: stale input thrown away before a try
        Overlapped, // tryNumber; bytes: what came in while the request was being sent
        OpenNote,   // text: what the open did on the way (a stale lock file removed)
        LineLost,   // text: why
        Abandoned,  // the operation was cut short
        Stopped,    // text: the stop signal (SIGINT); nothing more is sent
    };

    Kind kind = Sent;
    qint64 timeNs = 0; // the link's monotonic clock
    int port = 0;      // the Com number
    int tryNumber = 0;
    QByteArray bytes;
    QString text;
};
