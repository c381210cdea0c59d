#include "link/delay.h"

#include "link/clock.h"

#include <QLocale>
#include <cmath>

namespace {

// An empty counting loop the optimiser must keep: the counter lives in a volatile.
void spinTurns(qint32 turns)
{
    volatile qint32 counter = 0;
    for (qint32 i = 1; i <= turns; ++i)
        counter = i;
    (void)counter;
}

qint32 roundHalfEvenTo32(double x)
{
    const double r = std::nearbyint(x); // default rounding mode is to nearest, ties to even
    if (!(r < 2147483647.0))
        return 2147483647;
    if (r < 1.0)
        return 1; // a measured time too long still leaves the delay calibrated
    return qint32(r);
}

} // namespace

Delay::Delay(Clock &clock) : countLoop(spinTurns), m_clock(clock) {}

void Delay::DelayMs(int n) const
{
    if (n <= 0 || m_loopCount <= 0 || m_cancelled)
        return;
    // The pause is measured on the monotonic clock rather than counted in loop
    // turns: the same length, without burning a core for it.
    m_clock.sleepNs(qint64(n) * 1'000'000);
}

void Delay::CalibrateDelay(const std::function<void(const QString &)> &status, const std::function<void()> &pump)
{
    status(QStringLiteral("Testing speed"));
    pump();

    constexpr qint32 turns = 100'000'000;
    const qint64 t0 = m_clock.nowNs();
    countLoop(turns);
    const qint64 t1 = m_clock.nowNs();
    // 10^8 turns in (t1 - t0) seconds are 10^5 / (t1 - t0) turns per millisecond.
    // A zero span (a clock too coarse) would divide by zero: take one nanosecond.
    const double seconds = double(qMax<qint64>(t1 - t0, 1)) / 1e9;
    m_loopCount = roundHalfEvenTo32(1e5 / seconds);
    status(QStringLiteral("Index = ") + QStringLiteral(" ") + QString::number(m_loopCount));

    const qint64 t2 = m_clock.nowNs();
    DelayMs(1000);
    const double deviation = std::fabs(double(m_clock.nowNs() - t2) / 1e9 - 1.0);
    if (deviation > 0.3) {
        const double elapsed = std::fabs(double(m_clock.nowNs() - t2) / 1e9);
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        status(QStringLiteral("Out speed computer ") + locale.toString(elapsed, 'g', 15));
    }
    pump();
}
