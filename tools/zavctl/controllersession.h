#pragma once

#include "desktop/tracefile.h"
#include "device/capabilitymap.h"
#include "device/operations.h"
#include "fields/memoryfields.h"
#include "files/parameterfileops.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/serialport.h"
#include "link/trafficrecord.h"
#include "sectors/colourtransfer.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"
#include "sectors/sectortable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// Everything the main window holds for the device operations, without a window:
// the port, the paced link, the in-memory field store set up as the window's
// start-up leaves its fields, the capability map, the sector table with its
// grid, and the operations over them.
class ControllerSession
{
public:
    explicit ControllerSession(qint16 factoryCode);

    // False when the system has no such port (outside 1..9).
    bool setPortNumber(int number);
    // The delay loop as the window calibrates it; a positive count is taken as it stands.
    void calibrate(qint32 loopCount);
    // Appends the link's traffic record to the file as it goes ("-": standard
    // error); false, with *error set, when the file cannot be opened or written.
    // A later failed write stops the run as a stop signal does (traceFailure()).
    bool recordTraffic(const QString &path, QString *error);

    // Every StatusLine text, as the window's status bar shows it, but for a
    // failure text the run reports itself.
    std::function<void(const QString &)> onStatus;
    // The window's message boxes; held until the operation has gone through, so
    // nothing that depends on values never read is said (finishOperation()).
    std::function<void(const QString &)> onMessage;
    // Once per session, when it first sees a stop signal.
    std::function<void(int signal)> onStopSignal;

    // A transaction that stays unanswered after its three tries ends the running
    // operation at once: a tool run by a script should not wait on a silent line.
    int unansweredTransactions() const { return m_unanswered; }
    // True when the last operation was cut short by the line (port, lost line, no answer).
    bool lineFailed() const;
    // Names the operation about to run, for lineFailureText() and stopPoint().
    void setOperation(const QString &name)
    {
        m_operation = name;
        m_inOperation = true;
        m_answered = 0;
        m_heldMessages.clear();
    }
    // Transactions answered since setOperation().
    int answeredInOperation() const { return m_answered; }
    // StatusLine texts the run prints as its result, so not as a status as well.
    void setResultTexts(const QStringList &texts) { m_resultTexts = texts; }
    // What to tell the person when lineFailed().
    QString lineFailureText() const;

    // After each operation: true when it went through, and then its held messages
    // are passed on; false (messages dropped) when it was stopped or the line failed.
    bool finishOperation();
    // A stop signal came, or the traffic record could not be written: the run
    // stops after the transaction in progress (at once on a second signal) and
    // starts nothing new.
    bool stopped() const;
    int stopSignal() const;
    QString traceFailure() const { return m_traceFile.error(); }
    bool traceFailed() const { return m_traceFailed; }
    // Where the run stopped: " during the read, after 57 answered transactions",
    // " after identification", " before the first frame".
    QString stopPoint() const;
    // The last "Reading Error in data ..." text of the status history, if any.
    QString lastDataError() const;

    MemoryFields &fields() { return m_fields; }
    Link &link() { return m_link; }
    CapabilityMap &map() { return m_map; }
    DeviceOperations &operations() { return m_operations; }
    ColourTransfer &colours() { return m_colours; }
    ParameterFileOps &files() { return m_files; }
    SectorEditor &editor() { return m_editor; }
    SectorState &sectors() { return m_sectors; }
    SerialPort &port() { return *m_port; }

    // True when the window would show the control after the same operations: the
    // same start-up, identification and rules decide it, through the window's layout.
    bool isShown(const char *field) const;

private:
    void setUpFields(qint16 factoryCode);
    void onTraffic(const TrafficEvent &event);
    void lookForStop();
    void stopNow();

    SteadyClock m_clock;
    Delay m_delay;
    std::unique_ptr<SerialPort> m_port;
    Link m_link;
    MemoryFields m_fields;
    CapabilityMap m_map;
    SectorState m_sectors;
    MemorySectorGrid m_grid;
    SectorEditor m_editor;
    DeviceOperations m_operations;
    ColourTransfer m_colours;
    ParameterFileOps m_files;
    TrafficRecord m_traffic;
    TraceFile m_traceFile;
    int m_unanswered = 0;
    QString m_operation;
    int m_answered = 0;
    QStringList m_heldMessages;
    QStringList m_resultTexts;
    bool m_inOperation = false;
    bool m_stopSeen = false;
    bool m_stopping = false;
    bool m_stoppedInOperation = false;
    bool m_traceFailed = false;
};
