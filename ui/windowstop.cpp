#include "ui/windowstop.h"

#include "desktop/stopsignals.h"
#include "link/serialport.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QWidget>

void closeWindowOnStopSignal(frmMain &window, int signal)
{
    if (StopSignals::count() > 1) {
        QCoreApplication::exit(StopSignals::exitStatus(signal));
        return;
    }
    TrafficEvent event;
    event.kind = TrafficEvent::Stopped;
    event.timeNs = window.link().clock().nowNs();
    event.port = window.link().port().portNumber();
    event.text = StopSignals::name(signal);
    window.traffic().record(event);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *other : windows) {
        if (other != &window && other->isVisible())
            other->close();
    }
    window.close();
}
