#include "link/serialport.h"

#include "link/opendiagnosis.h"
#include "link/portlookup.h"
#include "link/windowserror.h"

#include <QElapsedTimer>

#include <windows.h>

#include <deque>

namespace {

// Handles of a port that has gone away answer every call with one of these
// (or a driver's own error); a wait or write we cancelled ourselves does not count.
bool isOwnCancel(DWORD error)
{
    return error == ERROR_OPERATION_ABORTED;
}

// One write on its way to the line. Each has its own event and buffer, which
// must stay put until the system is done with them.
struct PendingWrite
{
    OVERLAPPED overlapped{};
    QByteArray bytes;
    PendingWrite() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~PendingWrite()
    {
        if (overlapped.hEvent)
            CloseHandle(overlapped.hEvent);
    }
    PendingWrite(const PendingWrite &) = delete;
    PendingWrite &operator=(const PendingWrite &) = delete;
};

// \\.\COMn through the Win32 communications API: the handle is opened for
// overlapped I/O so that writes are queued without blocking on the line and the
// reply wait can sleep in WaitCommEvent until a byte comes in.
class WinSerialPort : public SerialPort
{
public:
    WinSerialPort()
    {
        m_wait.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_readEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~WinSerialPort() override
    {
        close();
        for (HANDLE event : {m_wait.hEvent, m_readEvent}) {
            if (event)
                CloseHandle(event);
        }
    }
    WinSerialPort(const WinSerialPort &) = delete;
    WinSerialPort &operator=(const WinSerialPort &) = delete;

    bool setPortNumber(int number) override
    {
        if (number < 1 || number > 9)
            return false;
        close();
        m_number = number;
        m_device = deviceForPort(number);
        return true;
    }
    int portNumber() const override { return m_number; }

    bool open() override
    {
        m_failure.clear();
        if (m_number < 1)
            return false;
        close();
        m_lost = false;
        m_error = 0;
        m_buffer.clear();

        const QString path = systemPath(m_device);
        m_handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                               0 /* exclusive */, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_handle == INVALID_HANDLE_VALUE) {
            m_error = GetLastError();
            m_failure = OpenDiagnosis::diagnose(m_number, m_device, windowsErrorText(m_error),
                                                &PortLookup::system().catalogue())
                            .text;
            return false;
        }
        if (!configure()) {
            m_error = GetLastError();
            m_failure = QStringLiteral("Com%1: %2 cannot be set to 9600 8N1 (%3)")
                            .arg(m_number)
                            .arg(m_device, windowsErrorText(m_error));
            CloseHandle(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
            return false;
        }
        return true;
    }

    void close() override
    {
        if (m_handle == INVALID_HANDLE_VALUE)
            return;
        // The last request bytes go out before the line is let go, as a
        // closing tty lets its output drain; a line that cannot take them in a
        // moment is abandoned.
        finishWrites(200);
        CancelIo(m_handle);
        finishWrites(INFINITE);
        if (m_waitPending) {
            DWORD ignored = 0;
            GetOverlappedResult(m_handle, &m_wait, &ignored, TRUE);
            m_waitPending = false;
        }
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        m_buffer.clear();
    }

    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }

    bool write(const QByteArray &bytes) override
    {
        if (!isOpen() || m_lost)
            return false;
        reapWrites();
        if (m_lost)
            return false;
        auto pending = std::make_unique<PendingWrite>();
        pending->bytes = bytes;
        DWORD written = 0;
        if (WriteFile(m_handle, pending->bytes.constData(), DWORD(pending->bytes.size()), &written,
                      &pending->overlapped)) {
            return written == DWORD(bytes.size());
        }
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            fail(error);
            return false;
        }
        m_writes.push_back(std::move(pending));
        return true;
    }

    qint64 bytesAvailable() override { return m_buffer.size() + systemQueue(); }

    QByteArray readAll() override
    {
        fetch();
        QByteArray bytes;
        bytes.swap(m_buffer);
        return bytes;
    }

    QByteArray peek() override
    {
        fetch();
        return m_buffer;
    }

    bool waitForReadyRead(int ms) override
    {
        if (!isOpen() || m_lost)
            return false;
        QElapsedTimer timer;
        timer.start();
        const qint64 before = systemQueue();
        if (m_lost)
            return false;
        if (!m_waitPending) {
            // A finished wait (or one cancelled at the last close) leaves the event
            // set: the new wait must not take that for its own end.
            ResetEvent(m_wait.hEvent);
            if (WaitCommEvent(m_handle, &m_mask, &m_wait))
                return true;
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) {
                fail(error);
                return false;
            }
            m_waitPending = true;
        }
        // A byte that came in between the count above and the wait's start
        // raised no event: look once more before sleeping.
        if (systemQueue() > before)
            return true;
        const qint64 left = qMax<qint64>(0, ms - timer.elapsed());
        if (WaitForSingleObject(m_wait.hEvent, DWORD(left)) != WAIT_OBJECT_0)
            return systemQueue() > before;
        DWORD ignored = 0;
        if (!GetOverlappedResult(m_handle, &m_wait, &ignored, FALSE)) {
            const DWORD error = GetLastError();
            // Set, yet not finished: the wait goes on, it is no fault of the line.
            if (error == ERROR_IO_INCOMPLETE)
                return systemQueue() > before;
            m_waitPending = false;
            fail(error);
            return false;
        }
        m_waitPending = false;
        return true;
    }

    bool lost() const override { return m_lost; }
    QString errorString() const override
    {
        return m_error ? windowsErrorText(m_error) : QStringLiteral("No error");
    }
    QString openFailureText() const override { return m_failure; }
    QString deviceName() const override { return m_number > 0 ? m_device : QString(); }

private:
    // "COM3" becomes \\.\COM3, the name that reaches ports above 9 as well; a
    // name given in that form already is taken as it stands.
    static QString systemPath(const QString &device)
    {
        if (device.startsWith(QLatin1String("\\\\")))
            return device;
        return QStringLiteral("\\\\.\\") + device;
    }

    bool configure()
    {
        if (!SetupComm(m_handle, 4096, 4096))
            return false;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(m_handle, &dcb))
            return false;
        dcb.BaudRate = CBR_9600;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        // No flow control of any kind; DTR raised while open, RTS left low as
        // the classic serial control leaves it.
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fTXContinueOnXoff = TRUE;
        dcb.fErrorChar = FALSE;
        // Every byte counts, NUL included; a line error must not stall the port.
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        if (!SetCommState(m_handle, &dcb))
            return false;
        // A read returns at once with whatever waits; writes have no time limit.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        timeouts.WriteTotalTimeoutMultiplier = 0;
        timeouts.WriteTotalTimeoutConstant = 0;
        if (!SetCommTimeouts(m_handle, &timeouts))
            return false;
        if (!SetCommMask(m_handle, EV_RXCHAR))
            return false;
        // What the line held before this open belongs to nobody.
        PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
        return true;
    }

    // Bytes the driver holds; 0 once the line is gone.
    qint64 systemQueue()
    {
        if (!isOpen() || m_lost)
            return 0;
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(m_handle, &errors, &status)) {
            fail(GetLastError());
            return 0;
        }
        return qint64(status.cbInQue);
    }

    // Moves every byte the driver holds into the buffer.
    void fetch()
    {
        while (isOpen() && !m_lost) {
            const qint64 waiting = systemQueue();
            if (waiting <= 0)
                return;
            QByteArray chunk(waiting, Qt::Uninitialized);
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_readEvent;
            ResetEvent(m_readEvent); // the last read left it set
            DWORD got = 0;
            BOOL ok = ReadFile(m_handle, chunk.data(), DWORD(chunk.size()), &got, &overlapped);
            DWORD error = ok ? 0 : GetLastError();
            if (!ok && error == ERROR_IO_PENDING) {
                // The time-outs make a read return at once; this waits only for that.
                ok = GetOverlappedResult(m_handle, &overlapped, &got, TRUE);
                error = ok ? 0 : GetLastError();
            }
            if (!ok) {
                fail(error);
                return;
            }
            m_buffer.append(chunk.constData(), got);
            if (got == 0)
                return;
        }
    }

    // Drops the writes the system has finished with; a failed one means the line is gone.
    void reapWrites()
    {
        while (!m_writes.empty() && HasOverlappedIoCompleted(&m_writes.front()->overlapped)) {
            DWORD written = 0;
            if (!GetOverlappedResult(m_handle, &m_writes.front()->overlapped, &written, FALSE)) {
                const DWORD error = GetLastError();
                if (!isOwnCancel(error))
                    fail(error);
            }
            m_writes.pop_front();
        }
    }

    // Waits up to ms for the queued writes, in order.
    void finishWrites(DWORD ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_writes.empty()) {
            DWORD left = ms;
            if (ms != INFINITE)
                left = DWORD(qMax<qint64>(0, qint64(ms) - timer.elapsed()));
            if (WaitForSingleObject(m_writes.front()->overlapped.hEvent, left) != WAIT_OBJECT_0)
                return;
            reapWrites();
        }
    }

    void fail(DWORD error)
    {
        if (isOwnCancel(error))
            return;
        m_error = error;
        // Any failing call on an open port means the device went away (an
        // adapter pulled out answers with access denied, bad command or device removed).
        m_lost = true;
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    int m_number = 0;
    QString m_device;
    QString m_failure;
    QByteArray m_buffer;
    std::deque<std::unique_ptr<PendingWrite>> m_writes;
    HANDLE m_readEvent = nullptr;
    OVERLAPPED m_wait{};
    DWORD m_mask = 0;
    bool m_waitPending = false;
    bool m_lost = false;
    DWORD m_error = 0;
};

} // namespace

std::unique_ptr<SerialPort> createSystemSerialPort()
{
    return std::make_unique<WinSerialPort>();
}
