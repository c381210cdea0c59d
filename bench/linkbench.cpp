// Measures the serial link against zav-sim with line-rate emulation: wall time and
// this process's CPU time beside the protocol floor (8 request and 8 reply bytes at
// 9600 baud 8N1, plus the 20 ms pause after every try).
//
//   zav-bench [--sim PATH] [--trace FILE] [--provision [--colours]]
//
// --trace records the traffic to FILE as zav and zavctl do, to show that the
// record does not move the pacing.
//
// (f) runs zavctl write --verify against one simulator and then against four at
// once: several ports must take about as long as one (ratio of wall times) at a
// small CPU share. --provision runs only (f); --colours adds the colour banks.
#include "desktop/tracefile.h"
#include "device/capabilitymap.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/rules.h"
#include "fields/memoryfields.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/serialport.h"
#include "link/trafficrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr double kByteSeconds = 10.0 / 9600.0;
constexpr double kFloorSeconds = 16 * kByteSeconds + 0.020;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Measure
{
    QElapsedTimer wall;
    double cpu0 = 0;
    Measure()
    {
        cpu0 = cpuSeconds();
        wall.start();
    }
    void report(const char *what, int transactions, double floorSeconds) const
    {
        const double wallS = double(wall.nsecsElapsed()) / 1e9;
        const double cpuS = cpuSeconds() - cpu0;
        std::printf("%-34s %4d tx  wall %8.3f s  floor %8.3f s  (%+6.1f%%)  cpu %6.3f s (%5.1f%% of wall)\n",
                    what, transactions, wallS, floorSeconds, 100.0 * (wallS / floorSeconds - 1.0), cpuS,
                    100.0 * cpuS / wallS);
    }
};

double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class Simulator
{
public:
    bool start(const QString &binary, const QStringList &args)
    {
        m_process.start(binary, args + QStringList{"--control"});
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000))
            return false;
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return m_device.startsWith('/');
    }
    ~Simulator()
    {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(2000))
            m_process.kill();
    }
    QString device() const { return m_device; }
    void command(const char *line)
    {
        m_process.write(line);
        m_process.write("\n");
        m_process.waitForReadyRead(2000);
        m_process.readAll();
    }

private:
    QProcess m_process;
    QString m_device;
};

struct ZavctlRun
{
    int status = -1;
    double wall = 0;
    double cpu = 0; // zavctl's own, user and system
};

// One zavctl run, paced as on the line (pauses on the clock, no calibration).
ZavctlRun runZavctl(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZAV_DELAY_LOOP_COUNT"), QStringLiteral("1"));
    env.remove(QStringLiteral("ZAV_UNPACED"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double cpu0 = childCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    process.start(QStringLiteral(ZAVCTL_BINARY), QStringList{QStringLiteral("-q")} + args);
    process.waitForFinished(-1);
    ZavctlRun run;
    run.wall = double(wall.nsecsElapsed()) / 1e9;
    run.cpu = childCpuSeconds() - cpu0;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

// (f): write --verify to one simulator alone, then to four at once.
int benchProvisioning(const QString &simBinary, bool colours)
{
    std::vector<std::unique_ptr<Simulator>> sims;
    for (int i = 0; i < 4; ++i) {
        sims.push_back(std::make_unique<Simulator>());
        if (!sims.back()->start(simBinary, {"full"})) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(simBinary));
            return 1;
        }
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.zav"));
    QStringList read{QStringLiteral("--device"), sims[0]->device(), QStringLiteral("read"),
                     QStringLiteral("-o"), file};
    if (colours)
        read << QStringLiteral("--colours");
    if (runZavctl(read).status != 0) {
        std::fprintf(stderr, "zavctl read failed\n");
        return 1;
    }

    QStringList write{QStringLiteral("write"), file, QStringLiteral("--verify")};
    if (colours)
        write << QStringLiteral("--colours");
    const ZavctlRun one = runZavctl(QStringList{QStringLiteral("--device"), sims[0]->device()} + write);
    QStringList devices;
    for (const auto &sim : sims)
        devices << QStringLiteral("--device") << sim->device();
    const ZavctlRun four = runZavctl(devices + write);
    if (one.status != 0 || four.status != 0) {
        std::fprintf(stderr, "zavctl write --verify failed: %d, %d\n", one.status, four.status);
        return 1;
    }
    const char *what = colours ? "write --verify --colours" : "write --verify";
    std::printf("(f) %s, one port      wall %8.3f s  zavctl cpu %6.3f s (%5.1f%% of wall)\n", what, one.wall,
                one.cpu, 100.0 * one.cpu / one.wall);
    std::printf("(f) %s, four at once  wall %8.3f s  zavctl cpu %6.3f s (%5.1f%% of wall)\n", what, four.wall,
                four.cpu, 100.0 * four.cpu / four.wall);
    std::printf("(f) four ports / one port: %.3f (goal at most 1.15)\n", four.wall / one.wall);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString simBinary = QStringLiteral(ZAV_SIM_BINARY);
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf("--sim"); i >= 0 && i + 1 < args.size())
        simBinary = args.at(i + 1);
    if (args.contains(QStringLiteral("--provision")))
        return benchProvisioning(simBinary, args.contains(QStringLiteral("--colours")));

    Simulator sim;
    // Address 250 stays silent for the unanswered transaction of (b), then answers again.
    if (!sim.start(simBinary, {"full", "--silent", "1:250"})) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(simBinary));
        return 1;
    }
    qputenv("ZAV_COM1", sim.device().toLocal8Bit());

    SteadyClock clock;
    Delay delay(clock);
    delay.setDelayLoopCount(1); // calibrated: pauses are measured on the clock
    std::unique_ptr<SerialPort> port = createSystemSerialPort();
    port->setPortNumber(1);
    Link link(*port, clock, delay);
    MemoryFields fields;
    link.statusLine = [&](const QString &t) { fields.setStatusLine(t); };
    link.processEvents = [] { QCoreApplication::processEvents(); };

    TrafficRecord traffic(clock.nowNs());
    qint64 recordNs = 0; // time spent inside the record, on the link's thread
    int recordEvents = 0;
    TraceFile traceFile;
    if (const qsizetype i = args.indexOf("--trace"); i >= 0 && i + 1 < args.size()) {
        QString error;
        if (!traceFile.open(args.at(i + 1), QStringLiteral("zav-bench"), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        traffic.addSink([&](const QString &line) { traceFile.writeLine(line); });
        link.traffic = [&](const TrafficEvent &event) {
            const qint64 start = clock.nowNs();
            traffic.record(event);
            recordNs += clock.nowNs() - start;
            ++recordEvents;
        };
        std::printf("recording the traffic to %s\n", qPrintable(args.at(i + 1)));
    }

    std::printf("protocol floor per answered transaction: %.3f ms\n", kFloorSeconds * 1e3);

    {
        LinkSession session(link);
        link.AbrirCom();
        Measure m;
        for (int address = 0; address < 256; ++address) {
            if (address == 250)
                continue;
            link.ExchangeFrame({0, 1, quint8(address), 0});
        }
        m.report("(a) 255 answered reads", 255, 255 * kFloorSeconds);
    }
    {
        LinkSession session(link);
        link.AbrirCom();
        Measure m;
        link.ExchangeFrame({0, 1, 250, 0});
        // Three tries: 8 request bytes each, the 2 s limit, the 20 ms pause.
        m.report("(b) one unanswered transaction", 1, 3 * (8 * kByteSeconds + 2.0 + 0.020));
    }

    sim.command("fault clear");

    CapabilityMap map;
    installDependencyRules(fields);
    fillParameterLists(fields);
    DeviceOperations ops(fields, link, map, 731);
    {
        Measure m;
        ops.IdentificarZAV();
        m.report("(c) identification", 32, 32 * kFloorSeconds);
    }
    {
        Measure m;
        ops.LeerZAV();
        m.report("(d) read all", 256, 256 * kFloorSeconds);
    }
    std::printf("status line after the read: \"%s\"\n", qPrintable(fields.statusLine()));
    {
        // The write leaves 247..253 out; 254 and 255 follow in a second run.
        Measure m;
        ops.EscribirZAV();
        m.report("(e) write all", 249, 249 * kFloorSeconds);
    }
    if (recordEvents > 0)
        std::printf("traffic record: %d lines, %.3f ms in all, %.1f us a line\n", recordEvents,
                    double(recordNs) / 1e6, double(recordNs) / 1e3 / recordEvents);
    return benchProvisioning(simBinary, args.contains(QStringLiteral("--colours")));
}
