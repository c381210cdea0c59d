#include "desktop/simulatedport.h"

#include "link/clock.h"
#include "sim/profile.h"
#include "sim/shippedprofiles.h"

#include <QFile>
#include <utility>

SimulatedPort::SimulatedPort(Clock &clock, const ControllerState &state, const LineOptions &options)
    : m_clock(clock), m_controller(state, options)
{
}

QString SimulatedPort::deviceLabel()
{
    return QStringLiteral("simulated controller");
}

bool SimulatedPort::loadProfile(const QString &profile, ControllerState *state, QString *error)
{
    std::string problem;
    if (const char *text = shippedProfileText(profile.toStdString())) {
        if (::loadProfileText(text, profile.toStdString(), *state, &problem))
            return true;
    } else if (QFile::exists(profile)) {
        if (::loadProfile(QFile::encodeName(profile).toStdString(), *state, &problem))
            return true;
    } else {
        problem = "no profile '" + profile.toStdString() + "' (full, cx2, led, empty or a profile file)";
    }
    *error = QString::fromStdString(problem);
    return false;
}

bool SimulatedPort::setPortNumber(int number)
{
    if (number < 1 || number > 9)
        return false;
    close();
    m_number = number;
    return true;
}

bool SimulatedPort::open()
{
    m_failure.clear();
    if (m_number < 1)
        return false;
    catchUp();
    if (m_controller.hungUp()) {
        m_failure = QStringLiteral("Com%1: %2 is not connected (its line was hung up)")
                        .arg(m_number)
                        .arg(deviceLabel());
        return false;
    }
    m_open = true;
    m_lost = false;
    return true;
}

void SimulatedPort::close()
{
    m_open = false;
    m_input.clear();
}

bool SimulatedPort::write(const QByteArray &bytes)
{
    if (!m_open)
        return false;
    catchUp();
    if (m_lost)
        return false;
    m_controller.receive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()),
                         m_clock.nowNs());
    return true;
}

qint64 SimulatedPort::bytesAvailable()
{
    catchUp();
    return m_input.size();
}

QByteArray SimulatedPort::readAll()
{
    catchUp();
    return std::exchange(m_input, QByteArray());
}

QByteArray SimulatedPort::peek()
{
    catchUp();
    return m_input;
}

bool SimulatedPort::waitForReadyRead(int ms)
{
    const qint64 before = m_input.size();
    const qint64 deadline = m_clock.nowNs() + qint64(qMax(ms, 0)) * 1'000'000;
    for (;;) {
        catchUp();
        if (m_input.size() > before)
            return true;
        const qint64 now = m_clock.nowNs();
        if (!m_open || m_lost || now >= deadline)
            return false;
        // Sleeps until the next reply byte is through, not a moment longer.
        const qint64 next = m_controller.nextEvent();
        const qint64 wake = next < 0 ? deadline : qBound(now, next, deadline);
        m_clock.sleepNs(qMax<qint64>(wake - now, 1));
    }
}

QString SimulatedPort::errorString() const
{
    return m_lost ? QStringLiteral("the line was hung up") : QString();
}

void SimulatedPort::catchUp()
{
    const qint64 now = m_clock.nowNs();
    const std::vector<uint8_t> due = m_controller.takeOutput(now);
    // Nobody listens on a closed port: what arrives then is gone.
    if (m_open)
        m_input.append(reinterpret_cast<const char *>(due.data()), qsizetype(due.size()));
    if (m_controller.hangUpDue(now)) {
        m_controller.hangUp();
        m_lost = m_open;
    }
}
