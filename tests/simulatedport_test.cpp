// The demo's in-process controller behind the port interface: the same answers
// as zav-sim on its pseudo-terminal, reply bytes at line rate on the link's
// clock, a hung-up line, and the demo port's routing of Com numbers.

#include "desktop/demoport.h"
#include "desktop/simulatedport.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/portlookup.h"
#include "support/simprocess.h"

#include <QtTest>

namespace {

constexpr qint64 kByteNs = 1'000'000'000 / 960; // 10 bits at 9600 baud

struct Request
{
    const char *name;
    quint8 command;
    quint8 param1;
    quint8 param2;
};

// Every command the controller knows, a write read back, an index beyond a
// table and a command it does not know.
const Request kRequests[] = {
    {"identification 0", 128, 0, 0},
    {"identification 31", 128, 31, 0},
    {"identification 32", 128, 32, 0},
    {"read 17", 1, 17, 0},
    {"write 17", 2, 17, 200},
    {"read 17 again", 1, 17, 0},
    {"read 255", 1, 255, 0},
    {"status 0", 5, 0, 0},
    {"status 7", 5, 7, 0},
    {"status 8", 5, 8, 0},
    {"day mode", 6, 1, 1},
    {"direct 4", 6, 4, 1},
    {"bank 1 write", 131, 5, 77},
    {"bank 1 read", 135, 5, 0},
    {"bank 4 write", 134, 255, 9},
    {"bank 4 read", 138, 255, 0},
    {"unknown 7", 7, 1, 2},
};

// Everything the link read as replies, one entry per request.
QList<QByteArray> exchangeAll(SerialPort &port, Clock &clock, Delay &delay)
{
    Link link(port, clock, delay);
    QList<QByteArray> replies;
    link.traffic = [&replies](const TrafficEvent &event) {
        if (event.kind == TrafficEvent::Received)
            replies << event.bytes;
    };
    if (!link.tryBegin() || !link.AbrirCom())
        return {QByteArray("no port: ") + link.failureText().toUtf8()};
    for (const Request &r : kRequests)
        link.ExchangeFrame(RequestFrame{0, r.command, r.param1, r.param2});
    link.end();
    return replies;
}

ControllerState profile(const char *name)
{
    ControllerState state;
    QString error;
    if (!SimulatedPort::loadProfile(QString::fromLatin1(name), &state, &error))
        qWarning("%s", qPrintable(error));
    return state;
}

} // namespace

class SimulatedPortTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // No assignment of this machine's user decides where Com2 goes.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    // Byte for byte what zav-sim answers on its pseudo-terminal, with and without
    // a reply fault.
    void answersAsZavSimDoes_data()
    {
        QTest::addColumn<QString>("profileName");
        QTest::addColumn<QString>("fault");
        QTest::newRow("full") << "full" << QString();
        QTest::newRow("cx2") << "cx2" << QString();
        QTest::newRow("led, long replies") << "led"
                                           << "long";
        QTest::newRow("full, bad replies") << "full"
                                           << "bad";
    }
    void answersAsZavSimDoes()
    {
        QFETCH(QString, profileName);
        QFETCH(QString, fault);
        // zav-sim lives on a pseudo-terminal: the Windows build has none to compare with.
        if (QByteArray(ZAV_SIM_PATH).isEmpty())
            QSKIP("zav-sim is built on Linux only");

        SimProcess sim;
        QVERIFY2(sim.start(profileName, {QStringLiteral("--no-line-rate")}), qPrintable(sim.errorText()));
        if (!fault.isEmpty())
            QCOMPARE(sim.command(QStringLiteral("fault ") + fault), QStringLiteral("ok"));
        qputenv("ZAV_COM1", sim.devicePath().toLocal8Bit());
        SteadyClock steady;
        Delay steadyDelay(steady);
        std::unique_ptr<SerialPort> real = createSystemSerialPort();
        QVERIFY(real->setPortNumber(1));
        const QList<QByteArray> fromSim = exchangeAll(*real, steady, steadyDelay);

        ManualClock clock;
        Delay delay(clock);
        delay.setDelayLoopCount(1);
        // Both without line rate: a long reply then arrives whole on either side.
        LineOptions options;
        options.lineRate = false;
        SimulatedPort port(clock, profile(qPrintable(profileName)), options);
        if (!fault.isEmpty())
            QCOMPARE(port.controller().setFault({fault.toStdString()}, clock.nowNs()), std::string());
        QVERIFY(port.setPortNumber(1));
        const QList<QByteArray> inProcess = exchangeAll(port, clock, delay);

        QCOMPARE(fromSim.size(), int(std::size(kRequests)));
        for (int i = 0; i < fromSim.size(); ++i)
            QVERIFY2(inProcess.value(i) == fromSim[i],
                     qPrintable(QStringLiteral("%1: %2, zav-sim %3")
                                    .arg(QLatin1String(kRequests[i].name),
                                         QString::fromLatin1(inProcess.value(i).toHex(' ')),
                                         QString::fromLatin1(fromSim[i].toHex(' ')))));
    }

    // A request sent whole at once is complete on the wire after 8 byte times; each
    // reply byte follows one byte time after the one before, on the port's clock.
    void replyBytesComeAtLineRate()
    {
        ManualClock clock;
        SimulatedPort port(clock, profile("cx2"));
        QVERIFY(port.setPortNumber(1));
        QVERIFY(port.open());
        QVERIFY(port.write(QByteArray::fromHex("4A510000011100EF")));
        for (int byte = 0; byte <= 8; ++byte) {
            const qint64 due = (8 + byte) * kByteNs;
            clock.sleepNs(due - 1 - clock.nowNs());
            QCOMPARE(port.bytesAvailable(), qint64(qMax(byte - 1, 0)));
            clock.sleepNs(1);
            QCOMPARE(port.bytesAvailable(), qint64(byte));
        }
        // The wait sleeps to the byte due, not a millisecond further.
        port.readAll();
        QVERIFY(port.write(QByteArray::fromHex("4A510000010500FB")));
        const qint64 sent = clock.nowNs();
        QVERIFY(port.waitForReadyRead(1000));
        QCOMPARE(clock.nowNs() - sent, 9 * kByteNs);
        QCOMPARE(port.bytesAvailable(), qint64(1));
    }

    // A line hung up by the controller is lost under the link, and the device is
    // gone for the next open, as a pulled USB adapter.
    void hungUpLineIsLost()
    {
        ManualClock clock;
        Delay delay(clock);
        delay.setDelayLoopCount(1);
        SimulatedPort port(clock, profile("cx2"));
        QCOMPARE(port.controller().setFault({"hangup-after", "1"}, clock.nowNs()), std::string());
        QVERIFY(port.setPortNumber(1));
        Link link(port, clock, delay);
        QVERIFY(link.tryBegin());
        QVERIFY(link.AbrirCom());
        QCOMPARE(link.ExchangeFrame(RequestFrame{0, 1, 17, 0}).Status, kAck);
        QCOMPARE(link.ExchangeFrame(RequestFrame{0, 1, 18, 0}).Status, kNak);
        QVERIFY(link.failed());
        QVERIFY2(link.failureText().startsWith(QLatin1String("Com1: the line was lost")),
                 qPrintable(link.failureText()));
        link.end();
        QVERIFY(!port.open());
        QVERIFY2(port.openFailureText().contains(QLatin1String("not connected")),
                 qPrintable(port.openFailureText()));
    }

    // Com1 named by ZAV_COM1 opens the simulated controller; the other numbers the
    // system's ports, as in a demo on a pseudo-terminal.
    void demoPortRoutesComNumbers()
    {
        qputenv("ZAV_COM1", SimulatedPort::deviceLabel().toLocal8Bit());
        qunsetenv("ZAV_COM2");
        PortLookup::system().addInProcessDevice(SimulatedPort::deviceLabel());
        ManualClock clock;
        DemoPort port(createSystemSerialPort(), std::make_unique<SimulatedPort>(clock, profile("full")));
        QVERIFY(port.setPortNumber(1));
        QCOMPARE(port.deviceName(), SimulatedPort::deviceLabel());
        QVERIFY(port.open());
        QVERIFY(PortLookup::system().isPresent(PortLookup::system().route(1).device));
        QVERIFY(port.setPortNumber(2));
        QCOMPARE(port.deviceName(), PortLookup::defaultDevice(2));
        QVERIFY(port.setPortNumber(1));
        QVERIFY2(!port.isOpen(), "a renumbered port starts closed");
        QVERIFY(!port.setPortNumber(10));
    }

    void unknownProfileIsRefused()
    {
        ControllerState state;
        QString error;
        QVERIFY(!SimulatedPort::loadProfile(QStringLiteral("no-such-lantern"), &state, &error));
        QVERIFY2(error.contains(QLatin1String("no-such-lantern")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(SimulatedPortTest)
#include "simulatedport_test.moc"
