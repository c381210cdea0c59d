#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <array>

// Runs tools/zav-sim as a child process for end-to-end tests: gives its pseudo-terminal
// and talks to its control channel on stdin/stdout.
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // `profile` is a shipped profile's name ("full", "cx2", "led", "empty") or a file path.
    bool start(const QString &profile, const QStringList &extraArgs = {});
    void stop();

    QString devicePath() const { return m_devicePath; }
    // What went wrong in start() or command(), with the simulator's own error output.
    QString errorText() const { return m_error; }

    // Sends one control line; returns the answer line, or for "dump" and "log" the lines
    // up to (not including) "end", joined by newlines. Empty on a time-out.
    QString command(const QString &line);

    std::array<quint8, 256> dumpParams();
    QByteArray dumpBank(int bank); // bank 1..4, 256 bytes
    QStringList frameLog();
    int framesReceived();

private:
    QString readLine(int timeoutMs);

    QProcess m_process;
    QString m_devicePath;
    QString m_error;
};
