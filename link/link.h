#pragma once

#include "link/frame.h"
#include "link/operationprogress.h"
#include "link/trafficevent.h"

#include <QString>
#include <functional>

class Clock;
class Delay;
class SerialPort;

// The serial link of one window: the port, the paced frame transaction and the
// one-operation-at-a-time rule. Everything runs on the window's thread; the
// reply wait lets window events run through processEvents.
class Link
{
public:
    Link(SerialPort &port, Clock &clock, Delay &delay);

    std::function<void(const QString &)> statusLine;
    std::function<void()> processEvents;
    // The traffic record's observer: every frame and event, stamped on this
    // link's clock. It runs after the bytes it reports are on their way and
    // must not touch the port.
    std::function<void(const TrafficEvent &)> traffic;

    // Opens the port if it is closed (binary, whole buffer per read, DTR on).
    // False, with failureText() set, when it cannot be opened.
    bool AbrirCom();
    void closePort();

    // One transaction: send, wait up to 2 s for 8 bytes, three tries, 20 ms after
    // each. A try during whose request bytes came in fails: they answer an earlier
    // request. Returns Status 21 at once when the link is aborted or the port lost.
    ReplyFrame ExchangeFrame(const RequestFrame &request);
    quint8 TriesLeft() const { return m_triesLeft; }

    // One operation at a time. tryBegin() is false while another operation runs;
    // every successful tryBegin() is matched by end().
    bool busy() const { return m_busy; }
    bool tryBegin();
    void end();
    // Runs after end() when the link becomes free (closing the window waits for it).
    std::function<void()> onIdle;

    // Cuts the running operation short: its transactions fail at once, pauses
    // end, nothing more goes on the line.
    void abort();
    bool aborted() const { return m_aborted; }
    // True when the port could not be opened or vanished during this operation.
    bool failed() const { return m_failed; }
    QString failureText() const { return m_failureText; }

    // The running long operation's count of transactions.
    OperationProgress &progress() { return m_progress; }

    SerialPort &port() { return m_port; }
    Clock &clock() { return m_clock; }
    Delay &delay() { return m_delay; }

    static constexpr qint64 kReplyTimeoutNs = 2'000'000'000;
    // How long the line must stay quiet before stale input is dropped ahead of a
    // retry: some twenty character times, as a USB adapter may hold received
    // bytes back up to 16 ms before it hands them over.
    static constexpr qint64 kQuietNs = 20'000'000;

private:
    void markFailed();
    // Notes when the input last grew.
    void noteInput();
    // Waits, letting window events run, until nothing has come in for kQuietNs,
    // then drops what waits. False when the operation ended meanwhile.
    bool dropWhenQuiet(int tryNumber);
    void trace(TrafficEvent::Kind kind, const QByteArray &bytes = {}, const QString &text = {},
               int tryNumber = 0, qint64 timeNs = -1);

    SerialPort &m_port;
    Clock &m_clock;
    Delay &m_delay;
    OperationProgress m_progress;
    quint8 m_triesLeft = 0;
    bool m_busy = false;
    bool m_aborted = false;
    bool m_failed = false;
    QString m_failureText;
    qint64 m_waiting = 0;
    qint64 m_lastInputNs = 0;
};

// Scoped tryBegin()/end().
class LinkSession
{
public:
    explicit LinkSession(Link &link) : m_link(link), m_ok(link.tryBegin()) {}
    ~LinkSession()
    {
        if (m_ok)
            m_link.end();
    }
    explicit operator bool() const { return m_ok; }
    LinkSession(const LinkSession &) = delete;
    LinkSession &operator=(const LinkSession &) = delete;

private:
    Link &m_link;
    bool m_ok;
};
