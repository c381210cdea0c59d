#include "link/frame.h"

QByteArray encodeRequest(const RequestFrame &request)
{
    QByteArray frame(kFrameSize, '\0');
    frame[0] = 'J';
    frame[1] = 'Q';
    frame[2] = char((request.HeadWord >> 8) & 0xFF);
    frame[3] = char(request.HeadWord & 0xFF);
    frame[4] = char(request.Command);
    frame[5] = char(request.Param1);
    frame[6] = char(request.Param2);
    // The header bytes stay out of the checksum.
    quint8 checksum = 0xFF;
    for (int i = 2; i <= 6; ++i)
        checksum ^= quint8(frame[i]);
    frame[7] = char(checksum);
    return frame;
}

ReplyFrame decodeReply(const QByteArray &reply)
{
    ReplyFrame frame;
    if (reply.size() < kFrameSize)
        return frame;
    const auto byte = [&](int i) { return quint8(reply[i]); };
    frame.Status = kAck;
    frame.ReplyWord = byte(2) * 256 + byte(3);
    frame.Data1 = byte(4);
    frame.Data2 = byte(5);
    frame.Data3 = byte(6);
    return frame;
}
