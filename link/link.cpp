#include "link/link.h"

#include "link/clock.h"
#include "link/delay.h"
#include "link/serialport.h"

#include <QCoreApplication>

Link::Link(SerialPort &port, Clock &clock, Delay &delay)
    : m_port(port), m_clock(clock), m_delay(delay), m_progress(clock)
{
}

bool Link::AbrirCom()
{
    if (m_port.isOpen())
        return true;
    if (m_aborted || m_failed)
        return false;
    if (m_port.open()) {
        trace(TrafficEvent::Opened, {}, m_port.deviceName());
        if (const QString note = m_port.openNote(); !note.isEmpty())
            trace(TrafficEvent::OpenNote, {}, note);
        return true;
    }
    m_failed = true;
    m_failureText = m_port.openFailureText();
    if (m_failureText.isEmpty())
        m_failureText = QCoreApplication::translate("Link", "Com%1: cannot be opened (%2: %3)")
                            .arg(m_port.portNumber())
                            .arg(m_port.deviceName(), m_port.errorString());
    trace(TrafficEvent::OpenFailed, {}, m_failureText);
    return false;
}

void Link::closePort()
{
    if (m_port.isOpen()) {
        m_port.close();
        trace(TrafficEvent::Closed);
    }
}

void Link::trace(TrafficEvent::Kind kind, const QByteArray &bytes, const QString &text, int tryNumber,
                 qint64 timeNs)
{
    if (!traffic)
        return;
    TrafficEvent event;
    event.kind = kind;
    event.timeNs = timeNs < 0 ? m_clock.nowNs() : timeNs;
    event.port = m_port.portNumber();
    event.tryNumber = tryNumber;
    event.bytes = bytes;
    event.text = text;
    traffic(event);
}

void Link::markFailed()
{
    if (!m_failed) {
        m_failed = true;
        m_failureText = QCoreApplication::translate("Link", "Com%1: the line was lost (%2: %3)")
                            .arg(m_port.portNumber())
                            .arg(m_port.deviceName(), m_port.errorString());
        trace(TrafficEvent::LineLost, {}, m_failureText);
    }
    closePort();
}

void Link::noteInput()
{
    const qint64 waiting = m_port.bytesAvailable();
    if (waiting > m_waiting)
        m_lastInputNs = m_clock.nowNs();
    m_waiting = waiting;
}

bool Link::dropWhenQuiet(int tryNumber)
{
    // A line that never falls quiet is dropped all the same after the reply
    // time-out; the next try then fails on what still comes in.
    const qint64 limit = m_clock.nowNs() + kReplyTimeoutNs;
    for (;;) {
        noteInput();
        const qint64 now = m_clock.nowNs();
        if (now - m_lastInputNs >= kQuietNs || now >= limit)
            break;
        if (processEvents)
            processEvents();
        if (m_aborted || !m_port.isOpen())
            return false;
        if (m_port.lost()) {
            markFailed();
            return false;
        }
        m_port.waitForReadyRead(1);
    }
    const QByteArray dropped = m_port.readAll();
    m_waiting = 0;
    if (!dropped.isEmpty())
        trace(TrafficEvent::Dropped, dropped, {}, tryNumber);
    return true;
}

ReplyFrame Link::ExchangeFrame(const RequestFrame &request)
{
    const QByteArray frame = encodeRequest(request);
    ReplyFrame reply;
    m_triesLeft = 3;
    while (m_triesLeft > 0) {
        reply = ReplyFrame{};
        reply.Status = kNak;
        // A closed, lost or abandoned line puts nothing more on the wire.
        if (m_aborted || m_failed || !m_port.isOpen()) {
            m_triesLeft = 0;
            return reply;
        }

        const int tryNumber = 4 - m_triesLeft;
        // Whatever waits now belongs to an earlier request: an answer too short, the
        // tail of a long one or one that came after its time-out. It is read and
        // dropped, so this try's reply can only come from bytes sent after its request.
        // Before a retry the line must have fallen quiet first: a late reply still
        // coming in would otherwise be cut in two, its tail taken for the answer.
        QByteArray dropped;
        if (tryNumber > 1) {
            if (!dropWhenQuiet(tryNumber)) {
                m_triesLeft = 0;
                return reply;
            }
        } else {
            dropped = m_port.readAll();
        }

        const qint64 sendStart = m_clock.nowNs();
        // A controller answers only once the request's last byte is out: bytes that
        // come in before it answer an earlier request, and this try cannot tell
        // where its own answer would begin among them.
        bool overlapped = false;
        for (int i = 0; i < kFrameSize; ++i) {
            if (!overlapped && m_port.bytesAvailable() > 0)
                overlapped = true;
            if (!m_port.write(frame.mid(i, 1)) || m_port.lost()) {
                markFailed();
                m_triesLeft = 0;
                return reply;
            }
            if (i < kFrameSize - 1)
                m_delay.DelayMs(1);
        }

        const qint64 start = m_clock.nowNs();
        // Recorded once the frame is out, so the record's work never falls between its bytes.
        if (!dropped.isEmpty())
            trace(TrafficEvent::Dropped, dropped, {}, tryNumber, sendStart);
        trace(TrafficEvent::Sent, frame, {}, tryNumber, sendStart);
        m_waiting = m_port.bytesAvailable();
        m_lastInputNs = start;
        if (overlapped) {
            trace(TrafficEvent::Overlapped, m_port.peek(), {}, tryNumber);
            // The earlier reply may still be coming in, and this request's own
            // answer after it: both go once the line is quiet.
            if (!dropWhenQuiet(tryNumber)) {
                m_triesLeft = 0;
                return reply;
            }
        } else {
            for (;;) {
                if (processEvents)
                    processEvents();
                if (m_aborted || !m_port.isOpen()) {
                    m_triesLeft = 0;
                    return reply;
                }
                if (m_clock.nowNs() - start > kReplyTimeoutNs) {
                    if (statusLine)
                        statusLine(QStringLiteral("Time Out Transmision"));
                    // The record only looks at what waits (a short reply); the next try drops it.
                    if (traffic)
                        trace(TrafficEvent::TimedOut,
                              m_port.bytesAvailable() > 0 ? m_port.peek() : QByteArray(), {}, tryNumber);
                    break;
                }
                if (m_port.bytesAvailable() >= kFrameSize) {
                    const QByteArray bytes = m_port.readAll();
                    reply = decodeReply(bytes);
                    trace(TrafficEvent::Received, bytes);
                    break;
                }
                if (m_port.lost()) {
                    markFailed();
                    m_triesLeft = 0;
                    return reply;
                }
                // Sleeps in the port until input arrives, at most a millisecond, so an
                // answer is seen at once and the wait does not spin.
                m_port.waitForReadyRead(1);
                noteInput();
            }
        }

        if (reply.Status == kAck) {
            m_triesLeft = 0;
        } else {
            --m_triesLeft;
            if (statusLine)
                statusLine(QStringLiteral("Error R  %1").arg(3 - m_triesLeft));
            if (m_triesLeft == 0)
                trace(TrafficEvent::NoAnswer, {}, {}, 3);
        }
        m_delay.DelayMs(20);
    }
    return reply;
}

bool Link::tryBegin()
{
    if (m_busy)
        return false;
    m_busy = true;
    m_failed = false;
    m_failureText.clear();
    return true;
}

void Link::end()
{
    // No operation leaves the port open behind it.
    closePort();
    m_busy = false;
    if (onIdle) {
        auto idle = onIdle;
        idle();
    }
}

void Link::abort()
{
    if (!m_aborted)
        trace(TrafficEvent::Abandoned);
    m_aborted = true;
    m_delay.setCancelled(true);
}
