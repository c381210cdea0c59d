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
    // Appends the link's traffic record to the file as it goes; false, with
    // *error set, when the file cannot be opened.
    bool recordTraffic(const QString &path, QString *error);

    // Every StatusLine text, as the window's status bar shows it.
    std::function<void(const QString &)> onStatus;

    // A transaction that stays unanswered after its three tries ends the running
    // operation at once: a tool run by a script should not wait on a silent line.
    int unansweredTransactions() const { return m_unanswered; }
    // True when the last operation was cut short by the line (port, lost line, no answer).
    bool lineFailed() const;
    // Names the operation about to run, for lineFailureText().
    void setOperation(const QString &name) { m_operation = name; }
    // What to tell the person when lineFailed().
    QString lineFailureText() const;
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
};
