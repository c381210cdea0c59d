#pragma once

#include "controllerstate.h"
#include "requestparser.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct LineOptions
{
    bool lineRate = true; // every byte takes 10 bits at 9600 baud, both ways
    int reactionMs = 0;   // fixed pause between a complete request and its answer
    bool answerBadChecksum =
        false; // the tool never sends a bad checksum, so by default such frames are dropped
};

struct Faults
{
    struct Silent
    {
        int command;
        int address; // -1: every Param1
        bool matches(const WireFrame &frame) const
        {
            return command == frame[4] && (address < 0 || address == frame[5]);
        }
    };
    std::vector<Silent> silent;
    int answerFromTry = 1;
    bool shortReply = false;       // 7 bytes
    std::vector<Silent> shortOnce; // the next answer to each of these has 7 bytes
    std::vector<Silent> keepOld;   // writes acknowledged as usual, the old byte kept
    std::vector<Silent> holdOnce;  // the next such request is answered only at release()
    bool longReply = false;        // 12 bytes
    bool badReply = false;         // wrong header and checksum
    int lateMs = 0;
    struct LateOnce
    {
        Silent rule;
        int ms;
    };
    std::vector<LateOnce> lateOnce; // the next answer to each of these comes ms late
    long stopAtFrame = -1;          // frames counted beyond this get no answer
    long hangupAtFrame = -1;        // the line is hung up once this many frames came in
};

// One simulated controller at the far end of a serial line, without the line:
// request bytes go in stamped with the time they were sent, reply bytes come out
// once their last bit has crossed the wire. Times are nanoseconds on whatever
// monotonic clock the caller keeps; nothing here reads a clock or sleeps, so the
// pseudo-terminal of zav-sim and the tool's own in-process port drive the same
// answers, faults and timing.
class SimulatedController
{
public:
    SimulatedController(const ControllerState &state, const LineOptions &options);

    // The client put these bytes on the line at `now`.
    void receive(const uint8_t *bytes, size_t count, int64_t now);
    // Answers the requests complete on the wire by `now`, then hands out the reply
    // bytes that have reached the client by then.
    std::vector<uint8_t> takeOutput(int64_t now);
    // When something next becomes due (a request byte, a reply byte, a hang-up); -1: nothing.
    int64_t nextEvent() const;

    // A hang-up is due: the caller takes the line down and then calls hangUp().
    bool hangUpDue(int64_t now) const;
    void hangUp();
    bool hungUp() const { return m_hungUp; }

    // One fault setting as after "fault" on zav-sim's control channel; returns an error text or "".
    std::string setFault(const std::vector<std::string> &words, int64_t now);

    // Answers the held requests at `now`, and holds no more.
    void release(int64_t now);
    // The most an answer byte was handed out after its time since the last call:
    // what a busy machine did to the line's timing.
    int64_t takeLateness();

    ControllerState &state() { return m_state; }
    const ControllerState &state() const { return m_state; }
    long frames() const { return m_frames; }

    // Every frame in and out, with the time it completed on the wire.
    std::function<void(int64_t time, const std::string &text)> log;

private:
    struct PendingReply
    {
        std::vector<uint8_t> bytes;
        int64_t start = 0; // when its first byte goes on the wire
        size_t sent = 0;
    };

    void deliverInput(int64_t now);
    void handleFrame(const WireFrame &frame, int64_t completeAt);
    void answerFrame(const WireFrame &frame, int64_t completeAt);
    std::string whyUnanswered(const WireFrame &frame) const;
    int64_t byteDue(const PendingReply &reply, size_t index) const;
    void logLine(int64_t time, const std::string &text) const;

    ControllerState m_state;
    LineOptions m_options;
    Faults m_faults;
    RequestParser m_parser;

    std::deque<std::pair<uint8_t, int64_t>> m_input; // byte and when it is complete on the wire
    int64_t m_inputWireFree = 0;
    std::deque<PendingReply> m_output;
    int64_t m_outputWireFree = 0;
    int64_t m_maxLateNs = 0;

    long m_frames = 0;
    WireFrame m_lastFrame{};
    int m_sameFrameCount = 0;
    int64_t m_hangupAt = -1; // when a pending hang-up happens; -1 none
    bool m_hungUp = false;

    std::vector<WireFrame> m_held; // requests waiting for release()
};

// "4A 51 00 …"
std::string hexBytes(const uint8_t *bytes, size_t count);
