#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// The operations the program needs of a serial port. Line settings are fixed:
// 9600 baud, 8 data bits, no parity, 1 stop bit, DTR on, binary reads.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // False when the system has no port of that number (outside 1..9).
    virtual bool setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the bytes and pushes them towards the line without blocking on it.
    virtual bool write(const QByteArray &bytes) = 0;
    // Every byte received and not yet read, those the system still holds included:
    // the link asks while it sends, when no event loop fetches them.
    virtual qint64 bytesAvailable() = 0;
    // Returns and removes every waiting byte.
    virtual QByteArray readAll() = 0;
    // Every waiting byte, left waiting (for the traffic record).
    virtual QByteArray peek() { return {}; }
    // Waits up to ms for more input; true when some arrived.
    virtual bool waitForReadyRead(int ms) = 0;
    // True once the device has gone away (unplugged, hung up) while open.
    virtual bool lost() const = 0;
    virtual QString errorString() const = 0;
    // Why the last open() failed, in a technician's words ("Com1: /dev/ttyUSB0 is
    // in use by another program: …"); empty when the port has nothing to add.
    virtual QString openFailureText() const { return {}; }
    // What the last successful open() did on the way that the traffic record
    // tells ("removed the lock file /run/lock/LCK..ttyUSB0 of process 4242, which
    // has ended"); empty when nothing.
    virtual QString openNote() const { return {}; }
    // The device the port number maps to ("/dev/ttyS2", "COM3", ZAV_COM3's value
    // or an assigned adapter).
    virtual QString deviceName() const = 0;
};

// The device "Com n" opens now (PortLookup::system()).
QString deviceForPort(int number);

// The system's serial port behind the interface above: Qt Serial Port on Linux
// (link/qtserialport.cpp), the Win32 communications API on Windows
// (link/winserialport.cpp).
std::unique_ptr<SerialPort> createSystemSerialPort();
