#include "support/fakecontrollerport.h"

#include "link/frame.h"

FakeControllerPort::FakeControllerPort(ManualClock &clock) : m_clock(clock) {}

void FakeControllerPort::setAllPresent()
{
    capability.fill(0xFF);
}

void FakeControllerPort::setPresent(int address, bool present)
{
    const quint8 mask = quint8(1u << (address % 8));
    if (present)
        capability[address / 8] |= mask;
    else
        capability[address / 8] &= quint8(~mask);
}

void FakeControllerPort::inject(const QByteArray &bytes)
{
    m_input += bytes;
}

bool FakeControllerPort::setPortNumber(int number)
{
    if (number < 1 || number > 9)
        return false;
    m_number = number;
    return true;
}

bool FakeControllerPort::open()
{
    if (openFails || m_lost)
        return false;
    m_open = true;
    ++opens;
    return true;
}

void FakeControllerPort::close()
{
    if (m_open)
        ++closes;
    m_open = false;
}

bool FakeControllerPort::write(const QByteArray &bytes)
{
    if (!m_open || m_lost)
        return false;
    for (char c : bytes) {
        byteTimesNs.append(m_clock.nowNs());
        m_rx.append(c);
        if (m_rx.size() == kFrameSize) {
            const QByteArray frame = m_rx;
            m_rx.clear();
            handleFrame(frame);
        }
    }
    return true;
}

void FakeControllerPort::handleFrame(const QByteArray &frame)
{
    frames.append(frame);
    if (loseAfterFrames >= 0 && frames.size() > loseAfterFrames) {
        m_lost = true;
        return;
    }
    if (frame == m_lastFrame)
        ++m_repeats;
    else
        m_repeats = 1;
    m_lastFrame = frame;

    const quint8 command = quint8(frame[4]);
    const quint8 p1 = quint8(frame[5]);
    const quint8 p2 = quint8(frame[6]);
    if (stopAfterFrames >= 0 && frames.size() > stopAfterFrames)
        return;
    if (silentCommands.contains(command) || silentCommandAddress.contains({command, p1}))
        return;
    if (m_repeats < answerFromTry)
        return;
    int length = replyLength;
    double delayMs = replyDelayMs;
    if (const auto once = onceFaults.constFind({command, p1}); once != onceFaults.constEnd()) {
        length = once->length;
        delayMs = once->delayMs;
        onceFaults.erase(once);
    }
    const QByteArray reply = answer(command, p1, p2, length);
    // One transmitter: an answer waits for the one before to be out.
    const qint64 start = qMax(m_clock.nowNs() + qint64(delayMs * 1e6), m_transmitterFreeNs);
    if (!lineRate) {
        m_pending.append({start, reply});
        m_transmitterFreeNs = start;
        return;
    }
    // A byte is there once its tenth bit is on the wire.
    constexpr qint64 byteNs = 1'000'000'000 / 960;
    for (int i = 0; i < reply.size(); ++i)
        m_pending.append({start + (i + 1) * byteNs, reply.mid(i, 1)});
    m_transmitterFreeNs = start + reply.size() * byteNs;
}

QByteArray FakeControllerPort::answer(quint8 command, quint8 p1, quint8 p2, int length)
{
    quint8 data = 0;
    if (command == 1) {
        data = params[p1];
    } else if (command == 2) {
        params[p1] = p2;
    } else if (command == 5) {
        data = p1 < 8 ? status[p1] : 0;
    } else if (command == 6) {
        if (p1 < 4)
            directSetting[p1] = p2;
    } else if (command == 128) {
        data = p1 < 32 ? capability[p1] : 0;
    } else if (command >= 131 && command <= 134) {
        banks[command - 130][p1] = p2;
    } else if (command >= 135 && command <= 138) {
        data = banks[command - 134][p1];
    }
    QByteArray reply(qMax(length, 1), '\0');
    const QByteArray head = badHeader ? QByteArray("XX") : QByteArray("JQ");
    const quint8 bytes[8] = {quint8(head[0]), quint8(head[1]), 0, command, p1, p2, data, 0};
    for (int i = 0; i < reply.size() && i < 8; ++i)
        reply[i] = char(bytes[i]);
    if (reply.size() >= 8) {
        quint8 sum = 0xFF;
        for (int i = 2; i <= 6; ++i)
            sum ^= bytes[i];
        reply[7] = char(badHeader ? quint8(~sum) : sum);
    }
    for (int i = 8; i < reply.size(); ++i)
        reply[i] = char(0xA0 + i);
    return reply;
}

qint64 FakeControllerPort::bytesAvailable()
{
    for (int i = 0; i < m_pending.size();) {
        if (m_pending[i].atNs <= m_clock.nowNs()) {
            m_input += m_pending[i].bytes;
            m_pending.removeAt(i);
        } else {
            ++i;
        }
    }
    return m_input.size();
}

QByteArray FakeControllerPort::readAll()
{
    bytesAvailable();
    QByteArray all = m_input;
    m_input.clear();
    return all;
}

QByteArray FakeControllerPort::peek()
{
    bytesAvailable();
    return m_input;
}

bool FakeControllerPort::waitForReadyRead(int ms)
{
    const qint64 limit = m_clock.nowNs() + qint64(ms) * 1'000'000;
    qint64 next = limit;
    for (const Pending &p : m_pending)
        next = qMin(next, p.atNs);
    if (next > m_clock.nowNs())
        m_clock.sleepNs(next - m_clock.nowNs());
    return bytesAvailable() > 0 && next < limit;
}
