#include "link/operationprogress.h"

#include "link/clock.h"

#include <QCoreApplication>

#include <algorithm>

OperationProgress::OperationProgress(Clock &clock) : m_clock(clock) {}

bool OperationProgress::start(int total, bool guessed)
{
    if (m_running) {
        m_partTotal = std::max(total, 0);
        return false;
    }
    m_running = true;
    m_done = 0;
    m_total = std::max(total, 0);
    m_partTotal = -1;
    m_guessed = guessed;
    m_startNs = m_clock.nowNs();
    m_lastStepNs = m_startNs;
    notify();
    return true;
}

void OperationProgress::setTotal(int total)
{
    if (!m_running)
        return;
    total = std::max(total, 0);
    int whole = total;
    if (m_partTotal >= 0) {
        whole = m_total + total - m_partTotal;
        m_partTotal = total;
    }
    whole = std::max(whole, m_done);
    if (whole == m_total && !m_guessed)
        return;
    m_total = whole;
    m_guessed = false;
    notify();
}

void OperationProgress::advance(int count)
{
    if (!m_running || count <= 0)
        return;
    // A miscount must not show more done than there is to do.
    m_done = std::min(m_done + count, m_total);
    m_lastStepNs = m_clock.nowNs();
    notify();
}

void OperationProgress::finish()
{
    if (!m_running)
        return;
    m_running = false;
    notify();
}

qint64 OperationProgress::elapsedMs() const
{
    return (m_clock.nowNs() - m_startNs) / 1'000'000;
}

qint64 OperationProgress::remainingMs() const
{
    if (m_done <= 0 || m_guessed)
        return -1;
    // The pace up to the last settled transaction, so a wait for a reply does not stretch it.
    const double perTransaction = double(m_lastStepNs - m_startNs) / m_done;
    return qint64(perTransaction * (m_total - m_done) / 1e6);
}

QString OperationProgress::text() const
{
    QString text = QStringLiteral("%1/%2").arg(m_done).arg(m_total);
    const qint64 remaining = remainingMs();
    if (remaining >= 0) {
        const qint64 seconds = (remaining + 500) / 1000;
        text += QCoreApplication::translate("OperationProgress", ", %1:%2 left")
                    .arg(seconds / 60)
                    .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

void OperationProgress::notify()
{
    if (changed)
        changed(*this);
}
