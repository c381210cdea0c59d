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
    virtual qint64 bytesAvailable() = 0;
    // Returns and removes every waiting byte.
    virtual QByteArray readAll() = 0;
    // Waits up to ms for more input; true when some arrived.
    virtual bool waitForReadyRead(int ms) = 0;
    // True once the device has gone away (unplugged, hung up) while open.
    virtual bool lost() const = 0;
    virtual QString errorString() const = 0;
    // The device the port number maps to ("/dev/ttyS2", "COM3", or ZAV_COM3's value).
    virtual QString deviceName() const = 0;
};

// Port n opens the device named by ZAV_COM<n> when set, else /dev/ttyS<n-1> (COM<n> on Windows).
QString deviceForPort(int number);

// QSerialPort behind the interface above.
std::unique_ptr<SerialPort> createQtSerialPort();
