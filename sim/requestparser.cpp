#include "requestparser.h"

#include <algorithm>

namespace {
constexpr uint8_t kHeader0 = 0x4A;
constexpr uint8_t kHeader1 = 0x51;
} // namespace

uint8_t frameChecksum(const uint8_t *frame)
{
    return uint8_t(0xFF ^ frame[2] ^ frame[3] ^ frame[4] ^ frame[5] ^ frame[6]);
}

WireFrame encodeReply(uint8_t command, uint8_t param1, uint8_t param2, uint8_t answer)
{
    WireFrame reply{kHeader0, kHeader1, 0, command, param1, param2, answer, 0};
    reply[7] = frameChecksum(reply.data());
    return reply;
}

RequestParser::Result RequestParser::feed(uint8_t byte, WireFrame &frame)
{
    m_buffer.push_back(byte);
    dropToHeader();
    if (m_buffer.size() < frame.size())
        return Result::None;
    std::copy_n(m_buffer.begin(), frame.size(), frame.begin());
    if (frameChecksum(frame.data()) == frame[7] || m_acceptBadChecksum) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + long(frame.size()));
        return Result::Frame;
    }
    m_buffer.erase(m_buffer.begin());
    dropToHeader();
    return Result::BadChecksum;
}

int RequestParser::takeSkipped()
{
    const int skipped = m_skipped;
    m_skipped = 0;
    return skipped;
}

void RequestParser::dropToHeader()
{
    size_t drop = 0;
    while (drop < m_buffer.size()) {
        if (m_buffer[drop] == kHeader0 && (drop + 1 == m_buffer.size() || m_buffer[drop + 1] == kHeader1))
            break;
        ++drop;
    }
    m_skipped += int(drop);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + long(drop));
}
