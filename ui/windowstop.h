#pragma once

class frmMain;

// SIGTERM (logout) and SIGINT close the window as its close box does: a running
// operation is cut short first and the port is closed, with its lock and
// exclusive flag. The traffic record says which signal came. Open dialogs go
// first, since a box waiting for OK would hold the operation up. A second
// signal leaves the event loop at once.
void closeWindowOnStopSignal(frmMain &window, int signal);
