#pragma once

#include "device/capabilitymap.h"
#include "device/parameterimage.h"
#include "link/frame.h"

#include <QString>
#include <QtGlobal>
#include <optional>

class Fields;
class Link;

// The device operations of the main window over the field store and the link:
// identification, read all, write all, status interrogation and the direct
// commands. Each click-level entry point holds the link for its whole run and
// refuses to start while another operation holds it.
class DeviceOperations
{
public:
    DeviceOperations(Fields &fields, Link &link, CapabilityMap &map, qint16 factoryCode);

    void setFactoryCode(qint16 factoryCode) { m_factoryCode = factoryCode; }

    // Fetches the capability map and shows the controller's fields. A step
    // without answer ends it: the map and the fields stay as they were.
    void IdentificarZAV();
    // Read button: identification, then every present address. Only a read that
    // got every present address changes the map, the fields and their visibility.
    void CLeer_Click();
    void LeerZAV();
    // True when the last read was started but did not finish (and so changed nothing).
    bool lastReadFailed() const { return m_readFailed; }
    // Write button: every present address but the manufacturing ones.
    void CEscribir_Click();
    void EscribirZAV();
    // The addresses write all sends to this controller, in the order sent.
    QList<int> writtenAddresses() const;

    // One status interrogation of the remote-control page.
    void CInterrogar_Click();
    // One polling tick; skipped while another operation holds the link.
    void TimerEstado_Timer();
    // The polling period for the text typed in seconds: 0 keeps the timer
    // silent, anything else lies in 1..65535 ms.
    static int pollingPeriodMs(const QString &text);

    // Sends the direct command of row `which` of directCommands().
    void directCommand(int which);

    void DeshabilitaBotones();
    void HabilitaBotones();

    static QString busyText();

private:
    bool openPort();
    // The identification's 32 steps; nullopt, with the reason in the status line,
    // when one went unanswered or the line was lost.
    std::optional<CapabilityMap> fetchCapabilityMap();
    // Every present address into image; false, with the reason in the status line,
    // when one went unanswered or the line was lost.
    bool readImage(ParameterImage &image);
    void showImage(const ParameterImage &image);
    ReplyFrame exchange(quint8 command, quint8 param1, quint8 param2);
    // Writes the present addresses of first..last; false when one went unanswered.
    bool writeRun(const ParameterImage &image, int first, int last);
    void reportBusy();
    void readStatusFlags();

    Fields &m_fields;
    Link &m_link;
    CapabilityMap &m_map;
    qint16 m_factoryCode;
    bool m_readFailed = false;
};
