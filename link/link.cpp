#include "link/link.h"

#include "link/clock.h"
#include "link/delay.h"
#include "link/serialport.h"

Link::Link(SerialPort &port, Clock &clock, Delay &delay) : m_port(port), m_clock(clock), m_delay(delay) {}

bool Link::AbrirCom()
{
    if (m_port.isOpen())
        return true;
    if (m_aborted || m_failed)
        return false;
    if (m_port.open())
        return true;
    m_failed = true;
    m_failureText = QStringLiteral("Com%1: cannot be opened (%2: %3)")
                        .arg(m_port.portNumber())
                        .arg(m_port.deviceName(), m_port.errorString());
    return false;
}

void Link::closePort()
{
    if (m_port.isOpen())
        m_port.close();
}

void Link::markFailed()
{
    if (!m_failed) {
        m_failed = true;
        m_failureText = QStringLiteral("Com%1: the line was lost (%2: %3)")
                            .arg(m_port.portNumber())
                            .arg(m_port.deviceName(), m_port.errorString());
    }
    closePort();
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

        // Whatever waits now belongs to an earlier request: an answer too short, the
        // tail of a long one or one that came after its time-out. It is read and
        // dropped, so this try's reply can only come from bytes sent after its request.
        // (The traffic record takes these bytes here.)
        const QByteArray dropped = m_port.readAll();
        Q_UNUSED(dropped);

        for (int i = 0; i < kFrameSize; ++i) {
            if (!m_port.write(frame.mid(i, 1)) || m_port.lost()) {
                markFailed();
                m_triesLeft = 0;
                return reply;
            }
            if (i < kFrameSize - 1)
                m_delay.DelayMs(1);
        }

        const qint64 start = m_clock.nowNs();
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
                break;
            }
            if (m_port.bytesAvailable() >= kFrameSize) {
                reply = decodeReply(m_port.readAll());
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
        }

        if (reply.Status == kAck) {
            m_triesLeft = 0;
        } else {
            --m_triesLeft;
            if (statusLine)
                statusLine(QStringLiteral("Error R  %1").arg(3 - m_triesLeft));
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
    m_aborted = true;
    m_delay.setCancelled(true);
}
