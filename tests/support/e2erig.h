#pragma once

#include "device/capabilitymap.h"
#include "device/operations.h"
#include "fields/memoryfields.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/serialport.h"
#include "sectors/colourtransfer.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"
#include "sectors/sectortable.h"
#include "support/simprocess.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// The whole serial path of the tool, headless: zav-sim on a pseudo-terminal as
// "Com1:", the Qt serial port, the steady clock, the link, the in-memory fields
// set up as the window's start-up leaves them, the device operations and the
// colour transfer. Unpaced unless a test asks for the real pauses.
class E2eRig
{
public:
    // One frame of the simulator's log.
    struct LoggedFrame
    {
        double seconds = 0; // the simulator's clock
        bool received = false;
        QByteArray bytes;
        QString note; // "no answer: ..." and the like
    };

    E2eRig();
    ~E2eRig();
    E2eRig(const E2eRig &) = delete;
    E2eRig &operator=(const E2eRig &) = delete;

    // Starts the simulator with a profile and options and maps port 1 to it.
    bool start(const QString &profile, const QStringList &simArgs = {});
    // Maps port 1 to any device path (one that does not exist, for instance).
    void usePortDevice(const QString &device);

    // On, the pauses of the protocol really wait, as after the window's
    // calibration. Off (the default), they return at once as before it: where
    // only the bytes and the order matter.
    void setRealPauses(bool real);

    // Sends a control line to the simulator; QVERIFY-able on "ok".
    bool simCommand(const QString &line);

    // The number of log lines so far, to look at what came after.
    int logMark();
    QList<LoggedFrame> logSince(int mark);
    // The request frames the simulator received since the mark, in order.
    QList<QByteArray> requestsSince(int mark);
    // True when every request since the mark was followed by its answer (or by
    // nothing) before the next request arrived.
    bool noInterleaving(int mark, QString *why = nullptr);

    bool buttonsEnabled() const;
    // The request frame the tool sends for a command.
    static QByteArray frame(quint8 command, quint8 param1, quint8 param2 = 0);

    SimProcess sim;
    SteadyClock clock;
    std::unique_ptr<SerialPort> port;
    Delay delay{clock};
    Link link;
    MemoryFields fields;
    CapabilityMap map;
    DeviceOperations ops;
    SectorState sectors;
    MemorySectorGrid grid;
    SectorEditor editor;
    ColourTransfer colours;
    // How often the link let events run.
    int eventPumps = 0;

private:
    void startUpFields();
};
