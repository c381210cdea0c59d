#include "simulator.h"

#include "profile.h"

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

constexpr int64_t kByteNs = 1'000'000'000 / 960; // 10 bits at 9600 baud
constexpr int64_t kMsNs = 1'000'000;
// The client must get to read the last answer before the line goes.
constexpr int64_t kHangupGraceNs = 20 * kMsNs;

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

std::string hex(const uint8_t *bytes, size_t count)
{
    std::string text;
    char cell[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", bytes[i]);
        text += cell;
    }
    return text;
}

bool parseCount(const std::string &word, long low, long high, long *out)
{
    if (word.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(word.c_str(), &end, 0);
    if (errno || *end || value < low || value > high)
        return false;
    *out = value;
    return true;
}

void writeOut(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

Simulator::Simulator(const ControllerState &state, const SimOptions &options)
    : m_state(state), m_options(options), m_parser(options.answerBadChecksum)
{
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
    if (words.empty())
        return "fault needs a kind";
    const std::string &kind = words[0];
    const bool hasValue = words.size() >= 2;
    const std::string value = hasValue ? words[1] : std::string();
    if (words.size() > 2)
        return "too many words";
    long n = 0;
    if (kind == "clear") {
        if (hasValue)
            return "clear takes no value";
        m_faults = Faults();
        m_hangupAt = -1;
        return {};
    }
    if (kind == "silent" || kind == "short-once" || kind == "keep-old" || kind == "hold") {
        const size_t colon = value.find(':');
        long command = 0;
        long address = -1;
        if (!parseCount(value.substr(0, colon), 0, 255, &command) ||
            (colon != std::string::npos && !parseCount(value.substr(colon + 1), 0, 255, &address)))
            return kind + " needs CMD or CMD:ADDR";
        (kind == "silent"       ? m_faults.silent
         : kind == "short-once" ? m_faults.shortOnce
         : kind == "hold"       ? m_faults.holdOnce
                                : m_faults.keepOld)
            .push_back({int(command), int(address)});
        return {};
    }
    if (kind == "short" || kind == "long" || kind == "bad") {
        if (hasValue && value != "on" && value != "off")
            return kind + " takes on or off";
        bool &flag = kind == "short"  ? m_faults.shortReply
                     : kind == "long" ? m_faults.longReply
                                      : m_faults.badReply;
        flag = value != "off";
        return {};
    }
    if (kind == "answer-from-try") {
        if (!parseCount(value, 1, 1000000, &n))
            return "answer-from-try needs a number from 1";
        m_faults.answerFromTry = int(n);
        m_sameFrameCount = 0;
        return {};
    }
    if (kind == "late") {
        if (!parseCount(value, 0, 3600000, &n))
            return "late needs milliseconds";
        m_faults.lateMs = int(n);
        return {};
    }
    if (kind == "late-once") {
        const size_t equals = value.find('=');
        const size_t colon = value.find(':');
        long command = 0;
        long address = -1;
        if (equals == std::string::npos || !parseCount(value.substr(equals + 1), 0, 3600000, &n) ||
            !parseCount(value.substr(0, std::min(colon, equals)), 0, 255, &command) ||
            (colon < equals && !parseCount(value.substr(colon + 1, equals - colon - 1), 0, 255, &address)))
            return "late-once needs CMD[:ADDR]=MS";
        m_faults.lateOnce.push_back({{int(command), int(address)}, int(n)});
        return {};
    }
    if (kind == "stop-after" || kind == "hangup-after") {
        long at = -1;
        if (value != "off") {
            if (!parseCount(value, 0, 1L << 40, &n))
                return kind + " needs a number of frames or off";
            // Counted from now, so it can be set in the middle of a session.
            at = m_frames + n;
        }
        if (kind == "stop-after") {
            m_faults.stopAtFrame = at;
        } else {
            m_faults.hangupAtFrame = at;
            m_hangupAt = at >= 0 && n == 0 ? nowNs() : -1;
        }
        return {};
    }
    return "unknown fault '" + kind + "'";
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
        deliverInput(now);
        sendOutput(now);
        if (m_hangupAt >= 0 && m_output.empty() && now >= m_hangupAt)
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
    for (ssize_t i = 0; i < got; ++i) {
        int64_t due = now;
        if (m_options.lineRate) {
            m_inputWireFree = std::max(now, m_inputWireFree) + kByteNs;
            due = m_inputWireFree;
        }
        m_input.emplace_back(buffer[i], due);
    }
}

void Simulator::deliverInput(int64_t now)
{
    while (!m_input.empty() && m_input.front().second <= now) {
        const auto [byte, due] = m_input.front();
        m_input.pop_front();
        WireFrame frame{};
        const RequestParser::Result result = m_parser.feed(byte, frame);
        if (result == RequestParser::Result::None)
            continue;
        // Garbage is reported once, ahead of the frame that ends it.
        const int skipped = m_parser.takeSkipped();
        if (skipped > 0)
            logLine(due, "RX skipped " + std::to_string(skipped) + " byte(s) before a header");
        if (result == RequestParser::Result::BadChecksum)
            logLine(due, "RX " + hex(frame.data(), frame.size()) + " bad checksum, ignored");
        else if (result == RequestParser::Result::Frame)
            handleFrame(frame, due);
    }
}

std::string Simulator::whyUnanswered(const WireFrame &frame) const
{
    if (m_faults.stopAtFrame >= 0 && m_frames > m_faults.stopAtFrame)
        return "stopped answering";
    for (const Faults::Silent &rule : m_faults.silent) {
        if (rule.command == frame[4] && (rule.address < 0 || rule.address == frame[5]))
            return "silent";
    }
    if (m_sameFrameCount < m_faults.answerFromTry)
        return "try " + std::to_string(m_sameFrameCount) + ", answered from try " +
               std::to_string(m_faults.answerFromTry);
    return {};
}

void Simulator::handleFrame(const WireFrame &frame, int64_t completeAt)
{
    ++m_frames;
    if (frame == m_lastFrame && m_sameFrameCount > 0) {
        ++m_sameFrameCount;
    } else {
        m_lastFrame = frame;
        m_sameFrameCount = 1;
    }
    const std::string reason = whyUnanswered(frame);
    logLine(completeAt,
            "RX " + hex(frame.data(), frame.size()) + (reason.empty() ? "" : " no answer: " + reason));
    if (m_faults.hangupAtFrame >= 0 && m_frames >= m_faults.hangupAtFrame && m_hangupAt < 0)
        m_hangupAt = completeAt;
    if (!reason.empty())
        return;
    // The next identical frame is a new transaction and needs its own tries.
    m_sameFrameCount = 0;

    const auto matches = [&frame](const Faults::Silent &rule) {
        return rule.command == frame[4] && (rule.address < 0 || rule.address == frame[5]);
    };
    // A test takes its time here, knowing the client waits for this answer.
    const auto hold = std::find_if(m_faults.holdOnce.begin(), m_faults.holdOnce.end(), matches);
    if (hold != m_faults.holdOnce.end()) {
        m_faults.holdOnce.erase(hold);
        m_held.push_back(frame);
        logLine(completeAt, "-- answer held until release");
        return;
    }
    answerFrame(frame, completeAt);
}

void Simulator::answerFrame(const WireFrame &frame, int64_t completeAt)
{
    const auto matches = [&frame](const Faults::Silent &rule) {
        return rule.command == frame[4] && (rule.address < 0 || rule.address == frame[5]);
    };
    // A write that keeps the old byte answers exactly as one that stored it.
    const bool isWrite =
        frame[4] == ControllerCommand::WriteParam ||
        (frame[4] >= ControllerCommand::WriteBankFirst && frame[4] <= ControllerCommand::WriteBankLast);
    const bool keepOld = isWrite && std::any_of(m_faults.keepOld.begin(), m_faults.keepOld.end(), matches);
    const ControllerState before = keepOld ? m_state : ControllerState();
    const uint8_t answer = m_state.execute(frame[4], frame[5], frame[6]);
    if (keepOld) {
        m_state = before;
        logLine(completeAt, "-- write acknowledged, old byte kept");
    }
    const WireFrame reply = encodeReply(frame[4], frame[5], frame[6], answer);
    PendingReply pending;
    pending.bytes.assign(reply.begin(), reply.end());
    if (m_faults.badReply) {
        pending.bytes[0] = 0x00;
        pending.bytes[1] = 0x00;
        pending.bytes[7] = uint8_t(~pending.bytes[7]);
    }
    const auto once = std::find_if(m_faults.shortOnce.begin(), m_faults.shortOnce.end(), matches);
    const bool shortOnce = once != m_faults.shortOnce.end();
    if (shortOnce)
        m_faults.shortOnce.erase(once);
    if (m_faults.shortReply || shortOnce)
        pending.bytes.resize(7);
    else if (m_faults.longReply)
        pending.bytes.insert(pending.bytes.end(), {0x00, 0x00, 0x00, 0x00});
    int64_t delay = int64_t(m_options.reactionMs + m_faults.lateMs) * kMsNs;
    const auto late = std::find_if(m_faults.lateOnce.begin(), m_faults.lateOnce.end(),
                                   [&matches](const Faults::LateOnce &once) { return matches(once.rule); });
    if (late != m_faults.lateOnce.end()) {
        delay += int64_t(late->ms) * kMsNs;
        m_faults.lateOnce.erase(late);
    }
    pending.start = std::max(completeAt + delay, m_outputWireFree);
    m_outputWireFree = byteDue(pending, pending.bytes.size() - 1);
    m_output.push_back(std::move(pending));
    if (m_hangupAt >= 0)
        m_hangupAt = std::max(m_hangupAt, m_outputWireFree + kHangupGraceNs);
}

int64_t Simulator::byteDue(const PendingReply &reply, size_t index) const
{
    // A byte reaches the client once its last bit is on the wire.
    return m_options.lineRate ? reply.start + int64_t(index + 1) * kByteNs : reply.start;
}

void Simulator::sendOutput(int64_t now)
{
    while (!m_output.empty()) {
        PendingReply &reply = m_output.front();
        size_t end = reply.sent;
        while (end < reply.bytes.size() && byteDue(reply, end) <= now)
            ++end;
        if (end > reply.sent)
            m_maxLateNs = std::max(m_maxLateNs, now - byteDue(reply, reply.sent));
        if (end > reply.sent && m_master >= 0) {
            const ssize_t written = write(m_master, reply.bytes.data() + reply.sent, end - reply.sent);
            if (written > 0)
                reply.sent += size_t(written);
        } else if (m_master < 0) {
            reply.sent = end;
        }
        if (reply.sent < reply.bytes.size())
            return;
        logLine(now, "TX " + hex(reply.bytes.data(), reply.bytes.size()));
        m_output.pop_front();
    }
}

void Simulator::hangUp()
{
    m_hangupAt = -1;
    if (m_hungUp)
        return;
    m_hungUp = true;
    // Closing the master removes the device node and hangs up every open slave.
    close(m_master);
    close(m_slave);
    m_master = -1;
    m_slave = -1;
    m_input.clear();
    logLine(nowNs(), "HANGUP " + m_devicePath);
}

int64_t Simulator::nextWakeUp() const
{
    int64_t wake = -1;
    auto consider = [&wake](int64_t t) { wake = wake < 0 ? t : std::min(wake, t); };
    if (!m_input.empty())
        consider(m_input.front().second);
    if (!m_output.empty()) {
        const PendingReply &reply = m_output.front();
        consider(byteDue(reply, reply.sent));
    }
    if (m_hangupAt >= 0)
        consider(m_hangupAt);
    return wake;
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
        return formatProfile(m_state) + "end\n";
    if (command == "lateness") {
        const int64_t us = m_maxLateNs / 1000;
        m_maxLateNs = 0;
        return std::to_string(us) + "\n";
    }
    if (command == "frames")
        return std::to_string(m_frames) + "\n";
    if (command == "device")
        return (m_hungUp ? std::string("hung up") : m_devicePath) + "\n";
    if (command == "log") {
        std::string text;
        for (const std::string &entry : m_log)
            text += entry + "\n";
        return text + "end\n";
    }
    if (command == "set") {
        const std::string error = applyProfileLine(line.substr(line.find("set") + 3), m_state);
        return error.empty() ? "ok\n" : "error: " + error + "\n";
    }
    if (command == "release") {
        // A request still on its way is not held any more either.
        m_faults.holdOnce.clear();
        const std::vector<WireFrame> held = std::move(m_held);
        m_held.clear();
        for (const WireFrame &frame : held)
            answerFrame(frame, nowNs());
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
