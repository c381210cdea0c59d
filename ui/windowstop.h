#pragma once

#include <functional>

class frmMain;
struct TrafficEvent;

// SIGTERM (logout) and SIGINT close the window as its close box does, but let
// a request already on the line have its answer (or its time-out) first; then
// the operation is cut short and the port closed, with its lock and exclusive
// flag. The traffic record says which signal came. Open dialogs go first, since
// a box waiting for OK would hold the operation up. A second signal does not
// wait for the answer and leaves the event loop at once.
//
// Watches the window's link from construction, so it must not outlive the window.
class WindowStop
{
public:
    explicit WindowStop(frmMain &window);
    ~WindowStop();
    WindowStop(const WindowStop &) = delete;
    WindowStop &operator=(const WindowStop &) = delete;

    void onStopSignal(int signal);

private:
    void onTraffic(const TrafficEvent &event);
    void closeWindow();

    frmMain &m_window;
    std::function<void(const TrafficEvent &)> m_passOn;
    int m_signal = 0;
    bool m_requestOnLine = false;
    bool m_closeAsked = false;
};
