#include "simulatedcontroller.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int64_t kByteNs = 1'000'000'000 / 960; // 10 bits at 9600 baud
constexpr int64_t kMsNs = 1'000'000;
// The client must get to read the last answer before the line goes.
constexpr int64_t kHangupGraceNs = 20 * kMsNs;

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

// "CMD" or "CMD:ADDR" (every address when none is given).
bool parseRule(const std::string &word, Faults::Silent *rule)
{
    const size_t colon = word.find(':');
    long command = 0;
    long address = -1;
    if (!parseCount(word.substr(0, colon), 0, 255, &command) ||
        (colon != std::string::npos && !parseCount(word.substr(colon + 1), 0, 255, &address)))
        return false;
    *rule = {int(command), int(address)};
    return true;
}

} // namespace

std::string hexBytes(const uint8_t *bytes, size_t count)
{
    std::string text;
    char cell[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", bytes[i]);
        text += cell;
    }
    return text;
}

SimulatedController::SimulatedController(const ControllerState &state, const LineOptions &options)
    : m_state(state), m_options(options), m_parser(options.answerBadChecksum)
{
}

void SimulatedController::receive(const uint8_t *bytes, size_t count, int64_t now)
{
    if (m_hungUp)
        return;
    for (size_t i = 0; i < count; ++i) {
        int64_t due = now;
        if (m_options.lineRate) {
            m_inputWireFree = std::max(now, m_inputWireFree) + kByteNs;
            due = m_inputWireFree;
        }
        m_input.emplace_back(bytes[i], due);
    }
}

std::vector<uint8_t> SimulatedController::takeOutput(int64_t now)
{
    deliverInput(now);
    std::vector<uint8_t> out;
    while (!m_output.empty()) {
        PendingReply &reply = m_output.front();
        if (reply.sent < reply.bytes.size() && byteDue(reply, reply.sent) <= now)
            m_maxLateNs = std::max(m_maxLateNs, now - byteDue(reply, reply.sent));
        while (reply.sent < reply.bytes.size() && byteDue(reply, reply.sent) <= now)
            out.push_back(reply.bytes[reply.sent++]);
        if (reply.sent < reply.bytes.size())
            break;
        logLine(now, "TX " + hexBytes(reply.bytes.data(), reply.bytes.size()));
        m_output.pop_front();
    }
    return out;
}

int64_t SimulatedController::nextEvent() const
{
    int64_t wake = -1;
    auto consider = [&wake](int64_t t) { wake = wake < 0 ? t : std::min(wake, t); };
    if (!m_input.empty())
        consider(m_input.front().second);
    if (!m_output.empty()) {
        const PendingReply &reply = m_output.front();
        consider(byteDue(reply, reply.sent));
    } else if (m_hangupAt >= 0) {
        // A hang-up waits for the answers still on their way.
        consider(m_hangupAt);
    }
    return wake;
}

bool SimulatedController::hangUpDue(int64_t now) const
{
    return m_hangupAt >= 0 && m_output.empty() && now >= m_hangupAt;
}

void SimulatedController::hangUp()
{
    m_hangupAt = -1;
    if (m_hungUp)
        return;
    m_hungUp = true;
    m_input.clear();
}

void SimulatedController::deliverInput(int64_t now)
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
            logLine(due, "RX " + hexBytes(frame.data(), frame.size()) + " bad checksum, ignored");
        else if (result == RequestParser::Result::Frame)
            handleFrame(frame, due);
    }
}

std::string SimulatedController::setFault(const std::vector<std::string> &words, int64_t now)
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
        Faults::Silent rule{};
        if (!parseRule(value, &rule))
            return kind + " needs CMD or CMD:ADDR";
        (kind == "silent"       ? m_faults.silent
         : kind == "short-once" ? m_faults.shortOnce
         : kind == "hold"       ? m_faults.holdOnce
                                : m_faults.keepOld)
            .push_back(rule);
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
        Faults::Silent rule{};
        if (equals == std::string::npos || !parseCount(value.substr(equals + 1), 0, 3600000, &n) ||
            !parseRule(value.substr(0, equals), &rule))
            return "late-once needs CMD[:ADDR]=MS";
        m_faults.lateOnce.push_back({rule, int(n)});
        return {};
    }
    if (kind == "stop-after" || kind == "hangup-after") {
        long at = -1;
        if (value != "off") {
            if (!parseCount(value, 0, 2000000000L, &n))
                return kind + " needs a number of frames or off";
            // Counted from now, so it can be set in the middle of a session.
            at = m_frames + n;
        }
        if (kind == "stop-after") {
            m_faults.stopAtFrame = at;
        } else {
            m_faults.hangupAtFrame = at;
            m_hangupAt = at >= 0 && n == 0 ? now : -1;
        }
        return {};
    }
    return "unknown fault '" + kind + "'";
}

std::string SimulatedController::whyUnanswered(const WireFrame &frame) const
{
    if (m_faults.stopAtFrame >= 0 && m_frames > m_faults.stopAtFrame)
        return "stopped answering";
    for (const Faults::Silent &rule : m_faults.silent) {
        if (rule.matches(frame))
            return "silent";
    }
    if (m_sameFrameCount < m_faults.answerFromTry)
        return "try " + std::to_string(m_sameFrameCount) + ", answered from try " +
               std::to_string(m_faults.answerFromTry);
    return {};
}

void SimulatedController::handleFrame(const WireFrame &frame, int64_t completeAt)
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
            "RX " + hexBytes(frame.data(), frame.size()) + (reason.empty() ? "" : " no answer: " + reason));
    if (m_faults.hangupAtFrame >= 0 && m_frames >= m_faults.hangupAtFrame && m_hangupAt < 0)
        m_hangupAt = completeAt;
    if (!reason.empty())
        return;
    // The next identical frame is a new transaction and needs its own tries.
    m_sameFrameCount = 0;

    const auto matches = [&frame](const Faults::Silent &rule) { return rule.matches(frame); };
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

void SimulatedController::answerFrame(const WireFrame &frame, int64_t completeAt)
{
    const auto matches = [&frame](const Faults::Silent &rule) { return rule.matches(frame); };
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

void SimulatedController::release(int64_t now)
{
    // A request still on its way is not held any more either.
    m_faults.holdOnce.clear();
    const std::vector<WireFrame> held = std::move(m_held);
    m_held.clear();
    for (const WireFrame &frame : held)
        answerFrame(frame, now);
}

int64_t SimulatedController::takeLateness()
{
    const int64_t late = m_maxLateNs;
    m_maxLateNs = 0;
    return late;
}

int64_t SimulatedController::byteDue(const PendingReply &reply, size_t index) const
{
    // A byte reaches the client once its last bit is on the wire.
    return m_options.lineRate ? reply.start + int64_t(index + 1) * kByteNs : reply.start;
}

void SimulatedController::logLine(int64_t time, const std::string &text) const
{
    if (log)
        log(time, text);
}
