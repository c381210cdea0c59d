#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class Clock;

// How far a long operation (read all, write all, a colour transfer) is: the
// transactions settled out of a total known before the first frame, and the time
// left at the pace so far. The operations count; the window's progress bar and
// zavctl's progress line watch. Counting sends nothing and waits for nothing.
class OperationProgress
{
public:
    explicit OperationProgress(Clock &clock);

    // Runs at the start, after every change and once more at the end.
    std::function<void(const OperationProgress &)> changed;

    // A new count from 0. While one runs, the operation becomes a part of it
    // (zavctl counts a whole command: identification, parameters, colours): it
    // counts into the running total, which already holds its share. True when
    // this call started a count. A guessed total tells no time left until it is
    // corrected, so the time left does not leap when the truth is known.
    bool start(int total, bool guessed = false);
    // Corrects the total once the operation knows better (never below what is
    // done); inside a part, the part's own total, by the difference it makes.
    void setTotal(int total);
    // A part has ended; the count runs on.
    void endPart() { m_partTotal = -1; }
    // Transactions settled: made, or given up for good after a failure.
    void advance(int count = 1);
    void finish();

    bool running() const { return m_running; }
    int done() const { return m_done; }
    int total() const { return m_total; }
    // Milliseconds still to go at the pace so far; -1 before the first transaction.
    qint64 remainingMs() const;
    qint64 elapsedMs() const;
    // "120/278, 0:05 left", as the window's bar and zavctl show it.
    QString text() const;

    // start() and finish() around a scope; a nested scope is a part of the outer count.
    class Scope
    {
    public:
        Scope(OperationProgress &progress, int total, bool guessed = false)
            : m_progress(progress), m_owner(progress.start(total, guessed))
        {
        }
        ~Scope()
        {
            if (m_owner)
                m_progress.finish();
            else
                m_progress.endPart();
        }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        OperationProgress &m_progress;
        bool m_owner;
    };

private:
    void notify();

    Clock &m_clock;
    bool m_running = false;
    int m_done = 0;
    int m_total = 0;
    int m_partTotal = -1; // the running part's own total, -1 outside a part
    bool m_guessed = false;
    qint64 m_startNs = 0;
    qint64 m_lastStepNs = 0;
};
