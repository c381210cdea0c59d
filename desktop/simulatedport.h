#pragma once

#include "link/serialport.h"
#include "sim/simulatedcontroller.h"

class Clock;

// The demo's controller inside this process, behind the port interface: the
// bytes the link writes reach zav-sim's own controller code at 9600 baud line
// rate, and its answers come back byte by byte at line rate, timed on the
// link's clock (virtual in tests). Used where there are no pseudo-terminals.
class SimulatedPort : public SerialPort
{
public:
    SimulatedPort(Clock &clock, const ControllerState &state, const LineOptions &options = {});

    // The name the port goes by on the Communications page and in the traffic record.
    static QString deviceLabel();
    // A profile as zav-sim takes it: a shipped profile's name (full, cx2, led,
    // empty) or a profile file. False, with *error set, when it cannot be used.
    static bool loadProfile(const QString &profile, ControllerState *state, QString *error);

    SimulatedController &controller() { return m_controller; }

    bool setPortNumber(int number) override;
    int portNumber() const override { return m_number; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    qint64 bytesAvailable() override;
    QByteArray readAll() override;
    QByteArray peek() override;
    bool waitForReadyRead(int ms) override;
    bool lost() const override { return m_lost; }
    QString errorString() const override;
    QString openFailureText() const override { return m_failure; }
    QString deviceName() const override { return m_number > 0 ? deviceLabel() : QString(); }

private:
    // Brings the controller up to the clock's now; what reached an open port waits in m_input.
    void catchUp();

    Clock &m_clock;
    SimulatedController m_controller;
    int m_number = 0;
    bool m_open = false;
    bool m_lost = false;
    QByteArray m_input;
    QString m_failure;
};
