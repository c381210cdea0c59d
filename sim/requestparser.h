#pragma once

#include <array>
#include <cstdint>
#include <vector>

using WireFrame = std::array<uint8_t, 8>;

// 0xFF XOR bytes 2..6; the two header bytes are left out.
uint8_t frameChecksum(const uint8_t *frame);

// Reply, 8 bytes:
//   0  0x4A "J"
//   1  0x51 "Q"
//   2  0x00
//   3  command, echoed
//   4  Param1, echoed
//   5  Param2, echoed
//   6  the answer byte (Data3)
//   7  0xFF XOR bytes 2..6
WireFrame encodeReply(uint8_t command, uint8_t param1, uint8_t param2, uint8_t answer);

// Cuts the incoming byte stream into 8-byte request frames "J" "Q" hi lo cmd p1 p2 sum,
// skipping bytes until a "J" "Q" header starts a frame.
class RequestParser
{
public:
    enum class Result
    {
        None,
        Frame,
        BadChecksum
    };

    explicit RequestParser(bool acceptBadChecksum) : m_acceptBadChecksum(acceptBadChecksum) {}

    // Takes one byte. Frame or BadChecksum hand the eight bytes out in `frame`. A frame
    // with a bad checksum loses only its first byte, so a good frame hidden in it is found.
    Result feed(uint8_t byte, WireFrame &frame);

    // Bytes thrown away while looking for a header since the last call.
    int takeSkipped();

private:
    void dropToHeader();

    bool m_acceptBadChecksum;
    std::vector<uint8_t> m_buffer;
    int m_skipped = 0;
};
