#pragma once

#include "link/serialport.h"

#include <memory>

class SimulatedPort;

// The window's port in a demo without pseudo-terminals: "Com n" opens the
// in-process simulated controller when the port lookup routes n to it (ZAV_COM1
// names it), and the system's serial port otherwise, as a demo on a
// pseudo-terminal leaves the other numbers to the real ports.
class DemoPort : public SerialPort
{
public:
    DemoPort(std::unique_ptr<SerialPort> system, std::unique_ptr<SimulatedPort> simulated);
    ~DemoPort() override;

    bool setPortNumber(int number) override;
    int portNumber() const override { return m_active->portNumber(); }
    bool open() override { return m_active->open(); }
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }
    bool write(const QByteArray &bytes) override { return m_active->write(bytes); }
    qint64 bytesAvailable() override { return m_active->bytesAvailable(); }
    QByteArray readAll() override { return m_active->readAll(); }
    QByteArray peek() override { return m_active->peek(); }
    bool waitForReadyRead(int ms) override { return m_active->waitForReadyRead(ms); }
    bool lost() const override { return m_active->lost(); }
    QString errorString() const override { return m_active->errorString(); }
    QString openFailureText() const override { return m_active->openFailureText(); }
    QString deviceName() const override { return m_active->deviceName(); }

private:
    std::unique_ptr<SerialPort> m_system;
    std::unique_ptr<SimulatedPort> m_simulated;
    SerialPort *m_active;
};
