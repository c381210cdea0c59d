// End-to-end checks of zav-sim over a real pseudo-terminal, with plain POSIX I/O so that
// the simulator is tested on its own.

#include "support/simprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double kByteMs = 1000.0 / 960.0; // 10 bits at 9600 baud
constexpr int kSilenceMs = 200;            // how long "no answer" is waited for

QByteArray request(quint8 command, quint8 param1, quint8 param2 = 0)
{
    QByteArray frame("\x4A\x51\x00\x00", 4);
    frame.append(char(command)).append(char(param1)).append(char(param2));
    quint8 sum = 0xFF;
    for (int i = 2; i < 7; ++i)
        sum ^= quint8(frame[i]);
    return frame.append(char(sum));
}

QByteArray reply(quint8 command, quint8 param1, quint8 param2, quint8 answer)
{
    QByteArray frame("\x4A\x51\x00", 3);
    frame.append(char(command)).append(char(param1)).append(char(param2)).append(char(answer));
    quint8 sum = 0xFF;
    for (int i = 2; i < 7; ++i)
        sum ^= quint8(frame[i]);
    return frame.append(char(sum));
}

// The client side of the line, opened and closed like the tool does for every operation.
class Line
{
public:
    explicit Line(const QString &device)
    {
        m_fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios settings{};
        if (m_fd >= 0 && tcgetattr(m_fd, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_fd, TCSANOW, &settings);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    bool send(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads until `count` bytes came, the time is up, or the line fails (hangUp set).
    QByteArray receive(int count, int timeoutMs)
    {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (bytes.size() < count && timer.elapsed() < timeoutMs) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, int(timeoutMs - timer.elapsed())) <= 0)
                continue;
            char buffer[64];
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got > 0) {
                bytes.append(buffer, got);
            } else if (got == 0 || errno != EAGAIN) {
                hungUp = true;
                break;
            }
        }
        return bytes;
    }

    bool hungUp = false;

private:
    int m_fd = -1;
};

// One request on a freshly opened line; the answer with at least `count` bytes, or what came.
QByteArray exchange(const QString &device, const QByteArray &frame, int count = 8, int timeoutMs = 1000)
{
    Line line(device);
    if (!line.isOpen() || !line.send(frame))
        return QByteArray("open or write failed");
    return line.receive(count, timeoutMs);
}

} // namespace

class SimTest : public QObject
{
    Q_OBJECT

private slots:
    void readParameter_data();
    void readParameter();
    void writeThenRead();
    void colourBankWriteThenRead();
    void statusAndDirectCommands();
    void capability_data();
    void capability();
    void controlSetAndDump();
    void dumpLoadsBackAsProfile();
    void badProfileDoesNotStart();
    void resynchronisesAndDropsBadChecksum();
    void survivesManyOpens();
    void silentCommand();
    void silentAtRunTime();
    void shortReply();
    void shortOnce();
    void longReply();
    void badReply();
    void answerFromSecondTry();
    void stopAfter();
    void lateReply();
    void hangupRemovesDevice();
    void lineRatePacesRoundTrip();
    void frameLogHasTimedFrames();
    void servesWithoutControlInput_data();
    void servesWithoutControlInput();
};

void SimTest::readParameter_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::newRow("full firmware") << "full" << 252 << 50;
    QTest::newRow("full changer CX2") << "full" << 27 << 1;
    QTest::newRow("full identifier first char") << "full" << 231 << int('Z');
    QTest::newRow("full identifier padding") << "full" << 246 << int(' ');
    QTest::newRow("full speed 1 low byte") << "full" << 2 << (120000 & 0xFF);
    QTest::newRow("led changer LED") << "led" << 27 << 3;
    QTest::newRow("cx2 changer CX2") << "cx2" << 27 << 1;
    QTest::newRow("empty") << "empty" << 252 << 0;
}

void SimTest::readParameter()
{
    QFETCH(QString, profile);
    QFETCH(int, address);
    QFETCH(int, value);
    SimProcess sim;
    QVERIFY2(sim.start(profile, {"--no-line-rate"}), qPrintable(sim.errorText()));
    QCOMPARE(exchange(sim.devicePath(), request(1, quint8(address))).toHex(' '),
             reply(1, quint8(address), 0, quint8(value)).toHex(' '));
}

void SimTest::writeThenRead()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    // The example frame for writing 200 to parameter 17.
    QCOMPARE(request(2, 17, 200), QByteArray::fromHex("4A5100000211C824"));
    QCOMPARE(exchange(sim.devicePath(), request(2, 17, 200)), reply(2, 17, 200, 200));
    QCOMPARE(exchange(sim.devicePath(), request(1, 17)), reply(1, 17, 0, 200));
    QCOMPARE(sim.dumpParams()[17], quint8(200));
}

void SimTest::colourBankWriteThenRead()
{
    SimProcess sim;
    QVERIFY(sim.start("empty", {"--no-line-rate"}));
    // Bank n is written with 130 + n and read with 134 + n.
    QCOMPARE(exchange(sim.devicePath(), request(132, 130, 0x5A)), reply(132, 130, 0x5A, 0x5A));
    QCOMPARE(exchange(sim.devicePath(), request(136, 130)), reply(136, 130, 0, 0x5A));
    QCOMPARE(exchange(sim.devicePath(), request(135, 130)), reply(135, 130, 0, 0));
    QCOMPARE(quint8(sim.dumpBank(2).at(130)), quint8(0x5A));
    QCOMPARE(quint8(sim.dumpBank(1).at(130)), quint8(0));
}

void SimTest::statusAndDirectCommands()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    QCOMPARE(exchange(sim.devicePath(), request(5, 3)), reply(5, 3, 0, 125));
    QCOMPARE(exchange(sim.devicePath(), request(5, 9)), reply(5, 9, 0, 0));
    // Night mode.
    QCOMPARE(exchange(sim.devicePath(), request(6, 1, 2)), reply(6, 1, 2, 2));
    QVERIFY(sim.command("dump").split('\n').contains("direct 1 2"));
    // An unknown command is still answered, with 0.
    QCOMPARE(exchange(sim.devicePath(), request(77, 1, 2)), reply(77, 1, 2, 0));
}

void SimTest::capability_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("byte");
    QTest::newRow("full 0") << "full" << 0 << 0xFF;
    QTest::newRow("full 31") << "full" << 31 << 0xFF;
    QTest::newRow("empty 0") << "empty" << 0 << 0;
    QTest::newRow("empty 31") << "empty" << 31 << 0;
    QTest::newRow("cx2 no speeds") << "cx2" << 0 << 0;
    QTest::newRow("cx2 light levels") << "cx2" << 2 << 0xFE;
    QTest::newRow("cx2 identifier, no colour page") << "cx2" << 28 << 0x80;
    QTest::newRow("cx2 no LED current") << "cx2" << 5 << 0x03;
    QTest::newRow("led colour page bit 225") << "led" << 28 << 0x83;
    QTest::newRow("led current and PWM") << "led" << 6 << 0xC2;
}

void SimTest::capability()
{
    QFETCH(QString, profile);
    QFETCH(int, index);
    QFETCH(int, byte);
    SimProcess sim;
    QVERIFY(sim.start(profile, {"--no-line-rate"}));
    QCOMPARE(exchange(sim.devicePath(), request(128, quint8(index))),
             reply(128, quint8(index), 0, quint8(byte)));
}

void SimTest::controlSetAndDump()
{
    SimProcess sim;
    QVERIFY(sim.start("empty", {"--no-line-rate"}));
    QCOMPARE(sim.command("set params 60 1 2 0x10"), QString("ok"));
    QCOMPARE(sim.command("set present 4-9"), QString("ok"));
    QVERIFY(sim.command("set param 300 1").startsWith("error"));
    QVERIFY(sim.command("fault nonsense").startsWith("error"));
    QVERIFY(sim.command("bogus").startsWith("error"));
    const auto params = sim.dumpParams();
    QCOMPARE(params[60], quint8(1));
    QCOMPARE(params[62], quint8(16));
    QCOMPARE(exchange(sim.devicePath(), request(128, 0)), reply(128, 0, 0, 0xF0));
    QCOMPARE(exchange(sim.devicePath(), request(128, 1)), reply(128, 1, 0, 0x03));
}

void SimTest::dumpLoadsBackAsProfile()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    QCOMPARE(sim.command("set direct 3 1"), QString("ok"));
    const QString dump = sim.command("dump");
    QTemporaryDir dir;
    QFile file(dir.filePath("state.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(dump.toUtf8());
    file.close();
    SimProcess copy;
    QVERIFY2(copy.start(file.fileName(), {"--no-line-rate"}), qPrintable(copy.errorText()));
    QCOMPARE(copy.command("dump"), dump);
}

void SimTest::badProfileDoesNotStart()
{
    SimProcess sim;
    QVERIFY(!sim.start("no-such-profile"));
    QVERIFY(sim.devicePath().isEmpty());
}

void SimTest::resynchronisesAndDropsBadChecksum()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    QCOMPARE(exchange(sim.devicePath(), QByteArray("\x00\x4A\x13", 3) + request(1, 252)),
             reply(1, 252, 0, 50));
    QByteArray bad = request(1, 252);
    bad[7] = char(bad[7] ^ 1);
    QVERIFY(exchange(sim.devicePath(), bad, 8, kSilenceMs).isEmpty());
    // A good frame right behind a bad one is still found.
    QCOMPARE(exchange(sim.devicePath(), bad + request(1, 27)), reply(1, 27, 0, 1));

    SimProcess lax;
    QVERIFY(lax.start("full", {"--no-line-rate", "--answer-bad-checksum"}));
    QCOMPARE(exchange(lax.devicePath(), bad).size(), 8);
}

void SimTest::survivesManyOpens()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    for (int i = 0; i < 30; ++i)
        QCOMPARE(exchange(sim.devicePath(), request(128, quint8(i))), reply(128, quint8(i), 0, 0xFF));
    QCOMPARE(sim.framesReceived(), 30);
}

void SimTest::silentCommand()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--silent", "1:5", "--silent", "128"}));
    QVERIFY(exchange(sim.devicePath(), request(1, 5), 1, kSilenceMs).isEmpty());
    QVERIFY(exchange(sim.devicePath(), request(128, 3), 1, kSilenceMs).isEmpty());
    QCOMPARE(exchange(sim.devicePath(), request(1, 6)).size(), 8);
    // The unanswered frames were received all the same.
    QCOMPARE(sim.framesReceived(), 3);
}

void SimTest::silentAtRunTime()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    QCOMPARE(sim.command("fault silent 6"), QString("ok"));
    QVERIFY(exchange(sim.devicePath(), request(6, 1, 1), 1, kSilenceMs).isEmpty());
    QCOMPARE(sim.command("fault clear"), QString("ok"));
    QCOMPARE(exchange(sim.devicePath(), request(6, 1, 1)), reply(6, 1, 1, 1));
}

void SimTest::shortReply()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--short-reply"}));
    QCOMPARE(exchange(sim.devicePath(), request(1, 252), 8, kSilenceMs), reply(1, 252, 0, 50).left(7));
}

void SimTest::shortOnce()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--short-once", "1:252"}));
    QCOMPARE(exchange(sim.devicePath(), request(1, 251)).size(), 8);
    QCOMPARE(exchange(sim.devicePath(), request(1, 252), 8, kSilenceMs), reply(1, 252, 0, 50).left(7));
    QCOMPARE(exchange(sim.devicePath(), request(1, 252)), reply(1, 252, 0, 50));
}

void SimTest::longReply()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate"}));
    QCOMPARE(sim.command("fault long"), QString("ok"));
    const QByteArray answer = exchange(sim.devicePath(), request(1, 252), 13, kSilenceMs);
    QCOMPARE(answer.size(), 12);
    QCOMPARE(answer.left(8), reply(1, 252, 0, 50));
}

void SimTest::badReply()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--bad-reply"}));
    const QByteArray answer = exchange(sim.devicePath(), request(1, 252), 9, kSilenceMs);
    const QByteArray good = reply(1, 252, 0, 50);
    QCOMPARE(answer.size(), 8);
    QVERIFY(answer.left(2) != good.left(2));
    QVERIFY(answer.at(7) != good.at(7));
    QCOMPARE(answer.mid(2, 5), good.mid(2, 5));
}

void SimTest::answerFromSecondTry()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--answer-from-try", "2"}));
    Line line(sim.devicePath());
    QVERIFY(line.send(request(1, 252)));
    QVERIFY(line.receive(8, kSilenceMs).isEmpty());
    QVERIFY(line.send(request(1, 252)));
    QCOMPARE(line.receive(8, 1000), reply(1, 252, 0, 50));
    // The same frame again is a new transaction: it needs two tries of its own.
    QVERIFY(line.send(request(1, 252)));
    QVERIFY(line.receive(8, kSilenceMs).isEmpty());
    // A different frame breaks the run of tries.
    QVERIFY(line.send(request(1, 27)));
    QVERIFY(line.receive(8, kSilenceMs).isEmpty());
    QVERIFY(line.send(request(1, 27)));
    QCOMPARE(line.receive(8, 1000), reply(1, 27, 0, 1));
}

void SimTest::stopAfter()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--stop-after", "2"}));
    QCOMPARE(exchange(sim.devicePath(), request(1, 1)).size(), 8);
    QCOMPARE(exchange(sim.devicePath(), request(1, 2)).size(), 8);
    QVERIFY(exchange(sim.devicePath(), request(1, 3), 1, kSilenceMs).isEmpty());
    // Set at run time it counts from then on.
    QCOMPARE(sim.command("fault stop-after off"), QString("ok"));
    QCOMPARE(sim.command("fault stop-after 1"), QString("ok"));
    QCOMPARE(exchange(sim.devicePath(), request(1, 4)).size(), 8);
    QVERIFY(exchange(sim.devicePath(), request(1, 5), 1, kSilenceMs).isEmpty());
}

void SimTest::lateReply()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--late-ms", "150"}));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(exchange(sim.devicePath(), request(1, 252)).size(), 8);
    QVERIFY2(timer.elapsed() >= 150, qPrintable(QString::number(timer.elapsed())));
}

void SimTest::hangupRemovesDevice()
{
    SimProcess sim;
    QVERIFY(sim.start("full", {"--no-line-rate", "--hangup-after", "2"}));
    const QString device = sim.devicePath();
    QCOMPARE(exchange(device, request(1, 1)).size(), 8);
    Line line(device);
    QVERIFY(line.send(request(1, 252)));
    // The second frame is still answered; then the line goes.
    QCOMPARE(line.receive(8, 1000), reply(1, 252, 0, 50));
    line.receive(1, 1000);
    QVERIFY(line.hungUp);
    QVERIFY(!QFile::exists(device));
    QVERIFY(!Line(device).isOpen());
    QCOMPARE(sim.command("device"), QString("hung up"));
    QCOMPARE(sim.framesReceived(), 2);
}

void SimTest::lineRatePacesRoundTrip()
{
    SimProcess sim;
    QVERIFY(sim.start("full"));
    Line line(sim.devicePath());
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        QVERIFY(line.send(request(1, 252)));
        QCOMPARE(line.receive(8, 1000), reply(1, 252, 0, 50));
        // Eight bytes each way, ten bits each at 9600 baud.
        const double ms = timer.nsecsElapsed() / 1e6;
        QVERIFY2(ms >= 16 * kByteMs - 0.1, qPrintable(QString::number(ms)));
    }

    // Without it the answer is there far sooner (the best of a few, for a busy machine).
    SimProcess fast;
    QVERIFY(fast.start("full", {"--no-line-rate"}));
    Line fastLine(fast.devicePath());
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        QVERIFY(fastLine.send(request(1, 252)));
        QCOMPARE(fastLine.receive(8, 1000).size(), 8);
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    QVERIFY2(best < 8 * kByteMs, qPrintable(QString::number(best)));
}

void SimTest::frameLogHasTimedFrames()
{
    SimProcess sim;
    QVERIFY(sim.start("full"));
    QCOMPARE(exchange(sim.devicePath(), request(1, 5)).size(), 8);
    const QStringList log = sim.frameLog();
    QCOMPARE(log.size(), 2);
    QVERIFY2(log[0].endsWith(" RX 4A 51 00 00 01 05 00 FB"), qPrintable(log[0]));
    QVERIFY2(log[1].contains(" TX 4A 51 00 01 05 00 "), qPrintable(log[1]));
    bool ok1 = false;
    bool ok2 = false;
    const double received = log[0].section(' ', 0, 0).toDouble(&ok1);
    const double sent = log[1].section(' ', 0, 0).toDouble(&ok2);
    QVERIFY(ok1 && ok2);
    // The answer goes out eight byte-times after the request is complete.
    QVERIFY2(sent - received >= 8 * kByteMs / 1000 - 1e-4, qPrintable(log.join('\n')));
}

void SimTest::servesWithoutControlInput_data()
{
    QTest::addColumn<bool>("background");
    // Started from a script or with & in a shell: stdin at its end or not to be read.
    QTest::newRow("stdin closed") << false;
    // Detached: the caller gets the device and goes on; the pid file stops it.
    QTest::newRow("background") << true;
}

void SimTest::servesWithoutControlInput()
{
    QFETCH(bool, background);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pidFile = dir.filePath("sim.pid");
    QProcess process;
    QStringList args{"--no-line-rate", "--pid-file", pidFile, "cx2"};
    if (background)
        args.prepend("--background");
    process.start(ZAV_SIM_PATH, args);
    QVERIFY(process.waitForStarted(5000));
    process.closeWriteChannel();
    if (background)
        QVERIFY(process.waitForFinished(5000));
    else
        QVERIFY(process.canReadLine() || process.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(process.readLine()).trimmed();
    QVERIFY2(device.startsWith("/dev/"), qPrintable(device + process.readAllStandardError()));
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pid_t pid = pid_t(file.readAll().trimmed().toLong());
    QVERIFY(pid > 0);

    // Well after the end of stdin it still answers, and says nothing on stdout or stderr.
    QTest::qWait(300);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(exchange(device, request(1, 27)), reply(1, 27, 0, 1));
    QCOMPARE(::kill(pid, 0), 0);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(process.readAllStandardError().isEmpty());

    // SIGTERM ends it in order: the line goes, and its pid file with it.
    QCOMPARE(::kill(pid, SIGTERM), 0);
    if (!background) {
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(pidFile) && !QFile::exists(device), 5000);
}

QTEST_GUILESS_MAIN(SimTest)
#include "sim_test.moc"
