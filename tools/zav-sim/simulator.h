#pragma once

#include "controllerstate.h"
#include "requestparser.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

struct SimOptions
{
    bool lineRate = true; // every byte takes 10 bits at 9600 baud, both ways
    int reactionMs = 0;   // fixed pause between a complete request and its answer
    bool answerBadChecksum =
        false;            // the tool never sends a bad checksum, so by default such frames are dropped
    bool control = false; // control commands on stdin; its end ends the simulator
    std::string logPath;  // frame log to this file ("-": stderr); none when empty
};

struct Faults
{
    struct Silent
    {
        int command;
        int address; // -1: every Param1
    };
    std::vector<Silent> silent;
    int answerFromTry = 1;
    bool shortReply = false;       // 7 bytes
    std::vector<Silent> shortOnce; // the next answer to each of these has 7 bytes
    std::vector<Silent> keepOld;   // writes acknowledged as usual, the old byte kept
    std::vector<Silent> holdOnce;  // the next such request is answered only at "release"
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

// A simulated controller on the master side of a pseudo-terminal; the client opens the
// slave device. The main loop is one poll over the master and, when asked for, the control
// channel on stdin.
class Simulator
{
public:
    Simulator(const ControllerState &state, const SimOptions &options);
    ~Simulator();

    bool openLine(std::string *error);
    const std::string &devicePath() const { return m_devicePath; }

    // One fault setting as after "fault" on the control channel; returns an error text or "".
    std::string setFault(const std::vector<std::string> &words);

    // Serves until "quit", the end of the control input or a stop signal; returns the exit code.
    int run();

    // SIGTERM, SIGINT and SIGHUP end run() in order rather than kill the process.
    static void catchStopSignals();

private:
    struct PendingReply
    {
        std::vector<uint8_t> bytes;
        int64_t start = 0; // when its first byte goes on the wire
        size_t sent = 0;
    };

    void readLine(int64_t now);
    void deliverInput(int64_t now);
    void handleFrame(const WireFrame &frame, int64_t completeAt);
    void answerFrame(const WireFrame &frame, int64_t completeAt);
    std::string whyUnanswered(const WireFrame &frame) const;
    void sendOutput(int64_t now);
    int64_t byteDue(const PendingReply &reply, size_t index) const;
    void hangUp();
    int64_t nextWakeUp() const;

    void readControl();
    std::string control(const std::string &line);

    void logLine(int64_t time, const std::string &text);

    ControllerState m_state;
    SimOptions m_options;
    Faults m_faults;
    RequestParser m_parser;

    int m_master = -1;
    int m_slave = -1; // held open so the line never hangs up between the client's opens
    std::string m_devicePath;

    std::deque<std::pair<uint8_t, int64_t>> m_input; // byte and when it is complete on the wire
    int64_t m_inputWireFree = 0;
    std::deque<PendingReply> m_output;
    int64_t m_outputWireFree = 0;
    // The most an answer byte went out after its time since the last "lateness":
    // what a busy machine did to the line's timing.
    int64_t m_maxLateNs = 0;

    long m_frames = 0;
    WireFrame m_lastFrame{};
    int m_sameFrameCount = 0;
    int64_t m_hangupAt = -1; // when a pending hang-up happens; -1 none
    bool m_hungUp = false;

    std::vector<WireFrame> m_held; // requests waiting for "release"

    std::string m_controlBuffer;
    bool m_quit = false;

    std::deque<std::string> m_log; // the latest lines, for "log"
    FILE *m_logFile = nullptr;
};
