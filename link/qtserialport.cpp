#include "link/serialport.h"

#include "link/opendiagnosis.h"
#include "link/portlock.h"
#include "link/portlookup.h"

#include <QFile>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Root's open passes another program's exclusive hold, so root reads the flag
// first, on a descriptor kept open until the port is: closing it then drops no
// modem line. -1 for everyone else, whose open the system refuses itself.
int openProbe(const QString &device)
{
    return geteuid() == 0 ? ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)
                          : -1;
}

bool heldExclusively(int probe)
{
    int exclusive = 0;
    return probe >= 0 && ioctl(probe, TIOCGEXCL, &exclusive) == 0 && exclusive;
}

void closeProbe(int probe)
{
    if (probe >= 0)
        ::close(probe);
}
#else
int openProbe(const QString &)
{
    return -1;
}

bool heldExclusively(int)
{
    return false;
}

void closeProbe(int) {}
#endif

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
        m_note.clear();
        if (m_number < 1)
            return false;
        m_lost = false;
        // Another program's lock file refuses the port. The serial library would take
        // a lock in the usual ten-character form for stale and delete it; here only
        // the lock of a process that has ended goes.
        if (PortLock::liveHolder(m_device).pid) {
            m_failure = diagnosis(QString());
            return false;
        }
        const QStringList removed = PortLock::removeStale(m_device);
        if (!removed.isEmpty())
            m_note = QStringLiteral("removed the lock file %1, which has ended")
                         .arg(removed.join(QLatin1String(", ")));
        const int probe = openProbe(m_device);
        if (heldExclusively(probe)) {
            closeProbe(probe);
            m_failure = diagnosis(QString());
            return false;
        }
        m_port.setBaudRate(QSerialPort::Baud9600);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        const bool opened = m_port.open(QIODevice::ReadWrite);
        closeProbe(probe);
        if (!opened) {
            m_failure = diagnosis(m_port.errorString());
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

    qint64 bytesAvailable() override
    {
        // Bytes the system holds but Qt has not fetched yet are waiting too: the
        // link looks while it sends, when no event fetches them.
        fetch();
        return m_port.bytesAvailable();
    }
    QByteArray readAll() override
    {
        fetch();
        return m_port.readAll();
    }
    QByteArray peek() override { return m_port.peek(m_port.bytesAvailable()); }
    bool waitForReadyRead(int ms) override { return m_port.waitForReadyRead(ms); }
    bool lost() const override { return m_lost; }
    QString errorString() const override { return m_port.errorString(); }
    QString openFailureText() const override { return m_failure; }
    QString openNote() const override { return m_note; }
    QString deviceName() const override { return m_number > 0 ? m_device : QString(); }

private:
    QString diagnosis(const QString &libraryError) const
    {
        return OpenDiagnosis::diagnose(m_number, m_device, libraryError, &PortLookup::system().catalogue())
            .text;
    }

    void fetch()
    {
        if (m_port.isOpen() && !m_lost)
            m_port.waitForReadyRead(0);
    }

    QSerialPort m_port;
    int m_number = 0;
    QString m_device;
    QString m_failure;
    QString m_note;
    bool m_lost = false;
};

} // namespace

std::unique_ptr<SerialPort> createSystemSerialPort()
{
    return std::make_unique<QtSerialPort>();
}
