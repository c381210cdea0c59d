#pragma once

#include "sim/simulatedcontroller.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

struct SimOptions
{
    LineOptions line;
    bool control = false; // control commands on stdin; its end ends the simulator
    std::string logPath;  // frame log to this file ("-": stderr); none when empty
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
    void readLine(int64_t now);
    void sendOutput(int64_t now);
    void hangUp();
    int64_t nextWakeUp() const;

    void readControl();
    std::string control(const std::string &line);

    void logLine(int64_t time, const std::string &text);

    SimOptions m_options;
    SimulatedController m_controller;

    int m_master = -1;
    int m_slave = -1; // held open so the line never hangs up between the client's opens
    std::string m_devicePath;
    std::vector<uint8_t> m_unwritten; // reply bytes due that the pseudo-terminal did not take yet

    std::string m_controlBuffer;
    bool m_quit = false;

    std::deque<std::string> m_log; // the latest lines, for "log"
    FILE *m_logFile = nullptr;
};
