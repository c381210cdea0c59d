#pragma once

#include <QByteArray>
#include <QtGlobal>

// One request as a caller fills it.
struct RequestFrame
{
    qint32 HeadWord = 0; // only the low 16 bits go on the wire
    quint8 Command = 0;
    quint8 Param1 = 0;
    quint8 Param2 = 0;
};

// One answer; every field starts at 0 for each transaction.
struct ReplyFrame
{
    quint8 Status = 0; // kAck or kNak
    qint32 ReplyWord = 0;
    quint8 Data1 = 0;
    quint8 Data2 = 0;
    quint8 Data3 = 0;
};

constexpr quint8 kAck = 6;
constexpr quint8 kNak = 21;
constexpr int kFrameSize = 8;

// "J" "Q", HeadWord high byte first, command, two parameters, checksum over bytes 2..6.
QByteArray encodeRequest(const RequestFrame &request);
// Takes bytes 2..6 of a reply of at least 8 bytes; nothing is verified.
ReplyFrame decodeReply(const QByteArray &reply);
