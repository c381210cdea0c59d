#pragma once

#include "link/clock.h"
#include "link/serialport.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <array>

// An in-process controller behind the SerialPort interface, answering in the
// virtual time of a ManualClock: unit tests run whole operations, time-outs
// included, in microseconds.
class FakeControllerPort : public SerialPort
{
public:
    explicit FakeControllerPort(ManualClock &clock);

    // Controller state.
    std::array<quint8, 256> params{};
    std::array<quint8, 32> capability{};
    std::array<std::array<quint8, 256>, 5> banks{}; // banks[1..4]
    std::array<quint8, 8> status{};
    std::array<int, 4> directSetting{{-1, -1, -1, -1}};
    void setAllPresent();
    void setPresent(int address, bool present = true);

    // Faults.
    QSet<int> silentCommands;                   // no answer to these commands
    QSet<QPair<int, int>> silentCommandAddress; // no answer to (command, Param1)
    int answerFromTry = 1;                      // the n-th identical frame in a row is answered
    int replyLength = 8;                        // 7 makes every answer too short
    bool badHeader = false;                     // wrong header and checksum in replies
    int stopAfterFrames = -1;                   // answer no frame after this many
    int loseAfterFrames = -1;                   // the device vanishes after this many frames
    bool openFails = false;
    double replyDelayMs = 0; // time from the last request byte to the reply
    bool lineRate = false;   // reply bytes arrive one by one, 10 bits at 9600 baud
    // One-shot faults: the next answer to (command, Param1) has this length or comes this late.
    struct OnceFault
    {
        int length = 8;
        double delayMs = 0;
    };
    QHash<QPair<int, int>, OnceFault> onceFaults;

    // What went on the line.
    QList<QByteArray> frames;  // every complete request frame received
    QList<qint64> byteTimesNs; // when each request byte was written
    int opens = 0;
    int closes = 0;
    // Extra bytes to put in the input buffer (stale answers).
    void inject(const QByteArray &bytes);

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
    QString errorString() const override { return m_lost ? QStringLiteral("device lost") : QString(); }
    QString deviceName() const override { return QStringLiteral("fake%1").arg(m_number); }

private:
    void handleFrame(const QByteArray &frame);
    QByteArray answer(quint8 command, quint8 p1, quint8 p2, int length);

    ManualClock &m_clock;
    int m_number = 1;
    bool m_open = false;
    bool m_lost = false;
    QByteArray m_rx;
    QByteArray m_input;
    struct Pending
    {
        qint64 atNs;
        QByteArray bytes;
    };
    QList<Pending> m_pending;
    qint64 m_transmitterFreeNs = 0;
    QByteArray m_lastFrame;
    int m_repeats = 0;
};
