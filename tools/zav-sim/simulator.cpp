#include "simulator.h"

#include "sim/profile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

// A reply the pseudo-terminal could not take at once is offered again this soon.
constexpr int64_t kRetryWriteNs = 1'000'000;

constexpr size_t kLogLinesKept = 100000;

volatile sig_atomic_t stopSignal = 0;
sigset_t waitMask; // the mask during the poll: the stop signals come through only there

void onStopSignal(int)
{
    stopSignal = 1;
}

int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void writeOut(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

Simulator::Simulator(const ControllerState &state, const SimOptions &options)
    : m_options(options), m_controller(state, options.line)
{
    m_controller.log = [this](int64_t time, const std::string &text) { logLine(time, text); };
    if (m_options.logPath == "-")
        m_logFile = stderr;
    else if (!m_options.logPath.empty())
        m_logFile = std::fopen(m_options.logPath.c_str(), "w");
}

Simulator::~Simulator()
{
    if (m_master >= 0)
        close(m_master);
    if (m_slave >= 0)
        close(m_slave);
    if (m_logFile && m_logFile != stderr)
        std::fclose(m_logFile);
}

bool Simulator::openLine(std::string *error)
{
    if (!m_options.logPath.empty() && !m_logFile) {
        *error = "cannot write log " + m_options.logPath + ": " + std::strerror(errno);
        return false;
    }
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128] = {};
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_devicePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY);
    termios settings{};
    if (m_slave < 0 || tcgetattr(m_slave, &settings) != 0) {
        *error = "cannot open " + m_devicePath + ": " + std::strerror(errno);
        return false;
    }
    // Raw both ways: no echo of the request back to the client, no byte translation.
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    tcsetattr(m_slave, TCSANOW, &settings);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

std::string Simulator::setFault(const std::vector<std::string> &words)
{
    return m_controller.setFault(words, nowNs());
}

void Simulator::catchStopSignals()
{
    // Blocked outside the poll, so a signal between the check and the wait is not lost.
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &waitMask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigdelset(&waitMask, signal);
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int Simulator::run()
{
    bool stdinOpen = m_options.control;
    sigset_t current;
    sigprocmask(SIG_BLOCK, nullptr, &current);
    const sigset_t *pollMask = sigismember(&current, SIGTERM) ? &waitMask : nullptr;
    while (!m_quit && !stopSignal) {
        const int64_t now = nowNs();
        sendOutput(now);
        if (m_controller.hangUpDue(now))
            hangUp();

        pollfd fds[2];
        nfds_t count = 0;
        int masterIndex = -1;
        int controlIndex = -1;
        if (stdinOpen) {
            controlIndex = int(count);
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        }
        if (m_master >= 0) {
            masterIndex = int(count);
            fds[count++] = {m_master, POLLIN, 0};
        }
        const int64_t wake = nextWakeUp();
        timespec timeout{};
        timespec *timeoutPtr = nullptr;
        if (wake >= 0) {
            const int64_t wait = std::max<int64_t>(0, wake - nowNs());
            timeout.tv_sec = time_t(wait / 1'000'000'000);
            timeout.tv_nsec = long(wait % 1'000'000'000);
            timeoutPtr = &timeout;
        }
        if (ppoll(fds, count, timeoutPtr, pollMask) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("zav-sim: poll");
            return 1;
        }
        if (masterIndex >= 0 && fds[masterIndex].revents)
            readLine(nowNs());
        if (controlIndex >= 0 && fds[controlIndex].revents) {
            readControl();
            // The end of the control input means whoever drove it is gone.
            stdinOpen = !m_quit;
        }
    }
    return 0;
}

void Simulator::readLine(int64_t now)
{
    uint8_t buffer[4096];
    const ssize_t got = read(m_master, buffer, sizeof buffer);
    if (got <= 0) {
        // EIO while no slave is open; our own slave fd should prevent it, but never spin on it.
        if (got < 0 && errno != EAGAIN && errno != EINTR)
            usleep(2000);
        return;
    }
    m_controller.receive(buffer, size_t(got), now);
}

void Simulator::sendOutput(int64_t now)
{
    const std::vector<uint8_t> due = m_controller.takeOutput(now);
    m_unwritten.insert(m_unwritten.end(), due.begin(), due.end());
    if (m_master < 0) {
        m_unwritten.clear();
        return;
    }
    if (m_unwritten.empty())
        return;
    const ssize_t written = write(m_master, m_unwritten.data(), m_unwritten.size());
    if (written > 0)
        m_unwritten.erase(m_unwritten.begin(), m_unwritten.begin() + written);
}

void Simulator::hangUp()
{
    if (m_controller.hungUp())
        return;
    m_controller.hangUp();
    // Closing the master removes the device node and hangs up every open slave.
    close(m_master);
    close(m_slave);
    m_master = -1;
    m_slave = -1;
    m_unwritten.clear();
    logLine(nowNs(), "HANGUP " + m_devicePath);
}

int64_t Simulator::nextWakeUp() const
{
    const int64_t wake = m_controller.nextEvent();
    if (m_unwritten.empty())
        return wake;
    const int64_t retry = nowNs() + kRetryWriteNs;
    return wake < 0 ? retry : std::min(wake, retry);
}

void Simulator::readControl()
{
    char buffer[4096];
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        m_quit = true;
        return;
    }
    m_controlBuffer.append(buffer, size_t(got));
    size_t newline;
    while (!m_quit && (newline = m_controlBuffer.find('\n')) != std::string::npos) {
        std::string line = m_controlBuffer.substr(0, newline);
        m_controlBuffer.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        writeOut(control(line));
    }
}

std::string Simulator::control(const std::string &line)
{
    const std::vector<std::string> words = splitWords(line);
    const std::string &command = words[0];
    if (command == "quit") {
        m_quit = true;
        return "ok\n";
    }
    if (command == "dump")
        return formatProfile(m_controller.state()) + "end\n";
    if (command == "lateness")
        return std::to_string(m_controller.takeLateness() / 1000) + "\n";
    if (command == "frames")
        return std::to_string(m_controller.frames()) + "\n";
    if (command == "device")
        return (m_controller.hungUp() ? std::string("hung up") : m_devicePath) + "\n";
    if (command == "log") {
        std::string text;
        for (const std::string &entry : m_log)
            text += entry + "\n";
        return text + "end\n";
    }
    if (command == "set") {
        const std::string error = applyProfileLine(line.substr(line.find("set") + 3), m_controller.state());
        return error.empty() ? "ok\n" : "error: " + error + "\n";
    }
    if (command == "release") {
        m_controller.release(nowNs());
        return "ok\n";
    }
    if (command == "fault") {
        const std::string error = setFault(std::vector<std::string>(words.begin() + 1, words.end()));
        return error.empty() ? "ok\n" : "error: " + error + "\n";
    }
    return "error: unknown command '" + command + "'\n";
}

void Simulator::logLine(int64_t time, const std::string &text)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld.%06lld ", (long long)(time / 1'000'000'000),
                  (long long)(time % 1'000'000'000 / 1000));
    std::string entry = stamp + text;
    if (m_logFile) {
        std::fprintf(m_logFile, "%s\n", entry.c_str());
        std::fflush(m_logFile);
    }
    // Kept for "log" only when someone can ask for it, and only the latest lines:
    // a simulator left serving for days must not grow without end.
    if (m_options.control) {
        m_log.push_back(std::move(entry));
        if (m_log.size() > kLogLinesKept)
            m_log.pop_front();
    }
}
