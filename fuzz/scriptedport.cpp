#include "fuzz/scriptedport.h"

#include "link/frame.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr qint64 kMs = 1'000'000;
// One byte on the line at 9600 baud, 10 bits.
constexpr qint64 kByteNs = 1'000'000'000 / 960;
// An answer complete this long after its request is clear of the 2-second time-out.
constexpr qint64 kSafeNs = 1900 * kMs;

qint64 usToNs(int us)
{
    return qint64(us) * 1000;
}

} // namespace

ScriptedPort::ScriptedPort(ManualClock &clock, FuzzedDataProvider &script) : m_clock(clock), m_script(script)
{
    m_capability.fill(0xFF);
}

quint8 ScriptedPort::answerByte(quint8 command, quint8 param1) const
{
    if (command == 128)
        return param1 < m_capability.size() ? m_capability[param1] : 0;
    return quint8(command * 31 + param1 * 7 + 1);
}

bool ScriptedPort::setPortNumber(int number)
{
    if (number < 1 || number > 9)
        return false;
    m_number = number;
    return true;
}

bool ScriptedPort::open()
{
    // One open in sixteen fails (an adapter pulled, a port held elsewhere).
    if (m_script.remaining_bytes() > 0 && m_script.ConsumeIntegralInRange<int>(0, 15) == 0)
        return false;
    m_open = true;
    m_hangUpNs = kNever;
    return true;
}

void ScriptedPort::close()
{
    // Closing throws away whatever was on its way, as the driver does.
    m_open = false;
    m_hangUpNs = kNever;
    m_rx.clear();
    m_input.clear();
    m_pending.clear();
    m_nextNs = kNever;
}

bool ScriptedPort::lost() const
{
    return m_open && m_clock.nowNs() >= m_hangUpNs;
}

QString ScriptedPort::errorString() const
{
    return lost() ? QStringLiteral("the line hung up") : QString();
}

bool ScriptedPort::write(const QByteArray &bytes)
{
    if (!m_open || lost())
        return false;
    for (char c : bytes) {
        m_rx.append(c);
        if (m_rx.size() == kFrameSize) {
            const QByteArray frame = m_rx;
            m_rx.clear();
            frames.append(frame);
            answer(frame);
        }
    }
    return true;
}

qint64 ScriptedPort::replyDelayNs()
{
    switch (m_script.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: // at once or nearly
        return usToNs(m_script.ConsumeIntegralInRange<int>(0, 20'000));
    case 1: // about when the try times out
        return usToNs(m_script.ConsumeIntegralInRange<int>(1'950'000, 2'060'000));
    case 2: // anywhere in three tries
        return usToNs(m_script.ConsumeIntegralInRange<int>(0, 6'500'000));
    default:
        return 0;
    }
}

void ScriptedPort::deliver(const QByteArray &reply, qint64 startNs)
{
    const bool lineRate = m_script.ConsumeBool();
    int pieces = m_script.ConsumeIntegralInRange<int>(1, 4);
    qint64 at = startNs;
    qsizetype pos = 0;
    while (pos < reply.size()) {
        const qsizetype rest = reply.size() - pos;
        const qsizetype size = --pieces <= 0 ? rest : m_script.ConsumeIntegralInRange<qsizetype>(1, rest);
        const QByteArray piece = reply.mid(pos, size);
        pos += size;
        if (lineRate) {
            for (char c : piece) {
                at += kByteNs;
                schedule(at, QByteArray(1, c));
            }
        } else {
            at += size * kByteNs;
            schedule(at, piece);
        }
        if (pos < reply.size())
            at += usToNs(m_script.ConsumeIntegralInRange<int>(0, 60'000));
    }
    if (at - m_clock.nowNs() > kSafeNs)
        clean = false;
}

void ScriptedPort::answer(const QByteArray &frame)
{
    const quint8 command = quint8(frame[4]);
    const quint8 param1 = quint8(frame[5]);
    const quint8 param2 = quint8(frame[6]);
    const quint8 byte = answerByte(command, param1);
    expectedByte = byte;
    QByteArray reply("JQ");
    reply += char(0);
    reply += char(command);
    reply += char(param1);
    reply += char(param2);
    reply += char(byte);
    reply += char(quint8(0xFF ^ command ^ param1 ^ param2 ^ byte));
    const qint64 now = m_clock.nowNs();

    if (m_script.remaining_bytes() == 0) {
        schedule(now + 2 * kMs + kFrameSize * kByteNs, reply);
        return;
    }
    switch (m_script.ConsumeIntegralInRange<int>(0, 9)) {
    case 0: // silence
        return;
    case 1: // the line hangs up, at once or a little later
        m_hangUpNs = now + usToNs(m_script.ConsumeIntegralInRange<int>(0, 3'000'000));
        clean = false;
        if (m_script.ConsumeBool())
            return;
        break; // and answers before or after
    case 2: {  // stray bytes on the line
        const std::vector<char> noise =
            m_script.ConsumeBytes<char>(m_script.ConsumeIntegralInRange<int>(1, 12));
        schedule(now + replyDelayNs(), QByteArray(noise.data(), qsizetype(noise.size())));
        clean = false;
        if (m_script.ConsumeBool())
            return;
        break;
    }
    default:
        break;
    }

    // An answer of the script's length: 8 most of the time, else anything up to 24.
    if (!m_script.ConsumeBool()) {
        const int length = m_script.ConsumeIntegralInRange<int>(0, 24);
        for (int i = reply.size(); i < length; ++i)
            reply += char(0xA0 + i);
        reply.truncate(length);
        clean = false;
    }
    // Now and then a damaged byte.
    if (!reply.isEmpty() && m_script.ConsumeIntegralInRange<int>(0, 7) == 0) {
        reply[m_script.ConsumeIntegralInRange<qsizetype>(0, reply.size() - 1)] =
            m_script.ConsumeIntegral<char>();
        clean = false;
    }
    if (!reply.isEmpty())
        deliver(reply, now + replyDelayNs());
}

void ScriptedPort::schedule(qint64 atNs, const QByteArray &bytes)
{
    m_pending.append({atNs, bytes});
    m_nextNs = qMin(m_nextNs, atNs);
}

qint64 ScriptedPort::bytesAvailable()
{
    if (!m_open)
        return 0;
    const qint64 now = m_clock.nowNs();
    if (now < m_nextNs)
        return m_input.size();
    m_nextNs = kNever;
    for (qsizetype i = 0; i < m_pending.size();) {
        // Nothing comes in over a line that has hung up.
        if (m_pending[i].atNs <= now && m_pending[i].atNs < m_hangUpNs) {
            m_input += m_pending[i].bytes;
            m_pending.removeAt(i);
        } else {
            if (m_pending[i].atNs > now)
                m_nextNs = qMin(m_nextNs, m_pending[i].atNs);
            ++i;
        }
    }
    return m_input.size();
}

QByteArray ScriptedPort::readAll()
{
    bytesAvailable();
    QByteArray all = m_input;
    m_input.clear();
    return all;
}

QByteArray ScriptedPort::peek()
{
    bytesAvailable();
    return m_input;
}

bool ScriptedPort::waitForReadyRead(int ms)
{
    const qint64 now = m_clock.nowNs();
    qint64 until = qMin(now + qint64(ms) * kMs, qMax(m_nextNs, now));
    if (m_hangUpNs > now)
        until = qMin(until, m_hangUpNs);
    m_clock.sleepNs(until - now);
    return bytesAvailable() > 0;
}
