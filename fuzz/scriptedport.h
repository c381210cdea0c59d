#pragma once

#include "link/clock.h"
#include "link/serialport.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <limits>

class FuzzedDataProvider;

// A controller behind the SerialPort interface, in the virtual time of a
// ManualClock, whose every answer follows a script (the fuzz input): silence, an
// answer of any length coming late or early, whole, in pieces or at line rate,
// stray bytes, a damaged byte, a hang-up, a port that will not open. Once the
// script runs out, every request is answered at once.
class ScriptedPort : public SerialPort
{
public:
    ScriptedPort(ManualClock &clock, FuzzedDataProvider &script);

    // The answer byte (Data3) the controller gives to a request: the capability map
    // for command 128 (all present unless the script chose one), a fixed byte per
    // command and parameter otherwise.
    quint8 answerByte(quint8 command, quint8 param1) const;
    void setCapability(const std::array<quint8, 32> &map) { m_capability = map; }

    // Every complete request frame received.
    QList<QByteArray> frames;
    // The answer byte of the last request.
    int expectedByte = -1;
    // True while every answer was silence or exactly its 8 bytes, in well before the
    // time-out, with nothing else on the line and no hang-up: until then every reply
    // read must carry the right answer byte.
    bool clean = true;

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
    bool lost() const override;
    QString errorString() const override;
    QString deviceName() const override { return QStringLiteral("scripted%1").arg(m_number); }

private:
    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();

    void answer(const QByteArray &frame);
    // When the script's answer starts, from the last request byte.
    qint64 replyDelayNs();
    void deliver(const QByteArray &reply, qint64 startNs);
    void schedule(qint64 atNs, const QByteArray &bytes);

    ManualClock &m_clock;
    FuzzedDataProvider &m_script;
    std::array<quint8, 32> m_capability;
    int m_number = 1;
    bool m_open = false;
    qint64 m_hangUpNs = kNever;
    QByteArray m_rx;
    QByteArray m_input;
    struct Pending
    {
        qint64 atNs;
        QByteArray bytes;
    };
    QList<Pending> m_pending;
    // The earliest moment of m_pending: a reply wait polls every millisecond, and
    // most polls find nothing due.
    qint64 m_nextNs = kNever;
};
