#include "desktop/demoport.h"

#include "desktop/simulatedport.h"

DemoPort::DemoPort(std::unique_ptr<SerialPort> system, std::unique_ptr<SimulatedPort> simulated)
    : m_system(std::move(system)), m_simulated(std::move(simulated)), m_active(m_system.get())
{
}

DemoPort::~DemoPort() = default;

bool DemoPort::setPortNumber(int number)
{
    if (number < 1 || number > 9)
        return false;
    // The one left behind must not stay open under the other.
    m_active->close();
    if (deviceForPort(number) == SimulatedPort::deviceLabel())
        m_active = m_simulated.get();
    else
        m_active = m_system.get();
    return m_active->setPortNumber(number);
}
