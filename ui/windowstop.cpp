#include "ui/windowstop.h"

#include "desktop/stopsignals.h"
#include "link/serialport.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QWidget>

WindowStop::WindowStop(frmMain &window) : m_window(window), m_passOn(window.link().traffic)
{
    m_window.link().traffic = [this](const TrafficEvent &event) { onTraffic(event); };
}

WindowStop::~WindowStop()
{
    m_window.link().traffic = m_passOn;
}

void WindowStop::onTraffic(const TrafficEvent &event)
{
    if (m_passOn)
        m_passOn(event);
    switch (event.kind) {
    case TrafficEvent::Sent:
        m_requestOnLine = true;
        break;
    case TrafficEvent::Received:
    case TrafficEvent::TimedOut:
    case TrafficEvent::LineLost:
    case TrafficEvent::Closed:
        m_requestOnLine = false;
        // Nothing is on its way to or from the controller now.
        if (m_signal != 0)
            closeWindow();
        break;
    default:
        break;
    }
}

void WindowStop::onStopSignal(int signal)
{
    if (m_signal != 0) {
        m_window.link().abort();
        QCoreApplication::exit(StopSignals::exitStatus(signal));
        return;
    }
    m_signal = signal;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *other : windows) {
        if (other != &m_window && other->isVisible())
            other->close();
    }
    if (!m_requestOnLine)
        closeWindow();
}

void WindowStop::closeWindow()
{
    if (m_closeAsked)
        return;
    m_closeAsked = true;
    Link &link = m_window.link();
    TrafficEvent event;
    event.kind = TrafficEvent::Stopped;
    event.timeNs = link.clock().nowNs();
    event.port = link.port().portNumber();
    event.text = StopSignals::name(m_signal);
    if (m_passOn)
        m_passOn(event);
    // Busy, the window cuts the operation short and closes once the link is free.
    m_window.close();
}
