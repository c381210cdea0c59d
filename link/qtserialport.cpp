#include "link/serialport.h"

#include "link/opendiagnosis.h"
#include "link/portlookup.h"

#include <QSerialPort>

QString deviceForPort(int number)
{
    return PortLookup::system().route(number).device;
}

namespace {

class QtSerialPort : public SerialPort
{
public:
    QtSerialPort()
    {
        QObject::connect(&m_port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
            // The device went away under an open port (unplugged adapter, hung-up line).
            if (error == QSerialPort::ResourceError && m_port.isOpen())
                m_lost = true;
        });
    }

    bool setPortNumber(int number) override
    {
        if (number < 1 || number > 9)
            return false;
        if (m_port.isOpen())
            m_port.close();
        m_number = number;
        m_device = deviceForPort(number);
        m_port.setPortName(m_device);
        return true;
    }
    int portNumber() const override { return m_number; }

    bool open() override
    {
        m_failure.clear();
        if (m_number < 1)
            return false;
        m_lost = false;
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        if (!m_port.open(QIODevice::ReadWrite)) {
            m_failure = OpenDiagnosis::diagnose(m_number, m_device, m_port.errorString(),
                                                &PortLookup::system().catalogue())
                            .text;
            return false;
        }
        // A pseudo-terminal has no modem lines and refuses DTR; the line works all the same.
        if (!m_port.setDataTerminalReady(true))
            m_port.clearError();
        return true;
    }

    void close() override
    {
        if (m_port.isOpen())
            m_port.close();
    }
    bool isOpen() const override { return m_port.isOpen(); }

    bool write(const QByteArray &bytes) override
    {
        if (m_port.write(bytes) != bytes.size())
            return false;
        m_port.flush();
        return !m_lost;
    }

    qint64 bytesAvailable() override { return m_port.bytesAvailable(); }
    QByteArray readAll() override
    {
        // Bytes the system holds but Qt has not fetched yet are waiting too.
        m_port.waitForReadyRead(0);
        return m_port.readAll();
    }
    QByteArray peek() override { return m_port.peek(m_port.bytesAvailable()); }
    bool waitForReadyRead(int ms) override { return m_port.waitForReadyRead(ms); }
    bool lost() const override { return m_lost; }
    QString errorString() const override { return m_port.errorString(); }
    QString openFailureText() const override { return m_failure; }
    QString deviceName() const override { return m_number > 0 ? m_device : QString(); }

private:
    QSerialPort m_port;
    int m_number = 0;
    QString m_device;
    QString m_failure;
    bool m_lost = false;
};

} // namespace

std::unique_ptr<SerialPort> createQtSerialPort()
{
    return std::make_unique<QtSerialPort>();
}
