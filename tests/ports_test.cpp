// The serial devices of the system: which device each Com number opens
// (ZAV_COM<n>, then the technician's assignment, then the default), and why a
// device cannot be opened, found on real pseudo-terminals held, locked or
// closed to the user.
//
// The program also runs as its own helper: "--hold PATH [NAME]" holds the port
// as the serial library does (lock file and exclusive mode) under the process
// name NAME, "--hold-exclusive PATH" holds it exclusively without a lock file,
// "--diagnose PATH" opens it as Com1 and prints why it could not.

#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/portcatalogue.h"
#include "link/portlock.h"
#include "link/portlookup.h"
#include "link/serialport.h"
#include "link/trafficrecord.h"
#include "support/pty.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSerialPort>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>

namespace {

SerialDevice adapter(const QString &path, const QString &stableName, const QString &serial)
{
    SerialDevice device;
    device.path = path;
    device.stableName = stableName;
    device.description = QStringLiteral("FT232R USB UART");
    device.manufacturer = QStringLiteral("FTDI");
    device.serialNumber = serial;
    device.hasUsbIds = true;
    device.vendorId = 0x0403;
    device.productId = 0x6001;
    return device;
}

const QString kStableA = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
const QString kStableB = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B7-if00-port0");

// Why Com1 on the device cannot be opened, as this process sees it.
QString diagnoseHere(const QString &device)
{
    qputenv("ZAV_COM1", device.toLocal8Bit());
    std::unique_ptr<SerialPort> port = createSystemSerialPort();
    port->setPortNumber(1);
    if (port->open()) {
        port->close();
        return QStringLiteral("opened");
    }
    return port->openFailureText();
}

int helperMain(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == QLatin1String("--diagnose")) {
        std::printf("%s\n", diagnoseHere(path).toLocal8Bit().constData());
        return 0;
    }
    if (argc > 3)
        prctl(PR_SET_NAME, argv[3]);
    QSerialPort port(path);
    int fd = -1;
    if (mode == QLatin1String("--hold")) {
        if (!port.open(QIODevice::ReadWrite)) {
            std::printf("not held: %s\n", qPrintable(port.errorString()));
            return 1;
        }
    } else {
        fd = ::open(argv[2], O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 || ioctl(fd, TIOCEXCL) != 0) {
            std::printf("not held\n");
            return 1;
        }
    }
    std::printf("held\n");
    std::fflush(stdout);
    std::getchar(); // until the test closes our input
    return 0;
}

} // namespace

class PortsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The injected system: its devices and its cheap look.
    QList<SerialDevice> m_devices;
    QString m_signature = QStringLiteral("one");
    int m_scans = 0;

    // Runs this program as a helper, as the unprivileged user when asked.
    bool startHelper(QProcess &process, const QStringList &args, bool unprivileged)
    {
        const QString self = QCoreApplication::applicationFilePath();
        if (unprivileged)
            process.start(QStringLiteral("setpriv"),
                          QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                      QStringLiteral("--clear-groups"), self} +
                              args);
        else
            process.start(self, args);
        return process.waitForStarted(5000);
    }

    QString diagnoseAs(const QString &device, bool unprivileged)
    {
        if (!unprivileged)
            return diagnoseHere(device);
        QProcess checker;
        if (!startHelper(checker, {QStringLiteral("--diagnose"), device}, true) ||
            !checker.waitForFinished(10000))
            return QStringLiteral("checker failed: ") + checker.errorString();
        return QString::fromLocal8Bit(checker.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath(QStringLiteral("store")));
        QLocale::setDefault(QLocale::c());
    }

    void cleanup()
    {
        QSettings(QStringLiteral("ZAV"), QStringLiteral("ZAV")).clear();
        for (int n = 1; n <= 9; ++n)
            qunsetenv(PortLookup::variableName(n).toLatin1().constData());
    }

    // Every Com number, each from where it should come: the variable before the
    // assignment, an assignment by stable name found wherever the adapter is
    // plugged in, one by plain path, one whose adapter is not plugged in, and
    // the default for the rest.
    void lookupOrder_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("present");
        const int variable = PortRoute::Variable, assignment = PortRoute::Assignment,
                  fallback = PortRoute::Default;
        QTest::newRow("Com1") << 1 << "/dev/ttyS0" << fallback << QFileInfo::exists("/dev/ttyS0");
        QTest::newRow("Com2") << 2 << "/dev/ttyS1" << fallback << QFileInfo::exists("/dev/ttyS1");
        QTest::newRow("Com3 variable over assignment") << 3 << "/dev/null" << variable << true;
        QTest::newRow("Com4 assigned, found by stable name") << 4 << "/dev/ttyUSB3" << assignment << true;
        QTest::newRow("Com5 assigned by path") << 5 << "/dev/ttyACM0" << assignment << true;
        QTest::newRow("Com6 assigned, not plugged in") << 6 << kStableB << assignment << false;
        QTest::newRow("Com7") << 7 << "/dev/ttyS6" << fallback << QFileInfo::exists("/dev/ttyS6");
        QTest::newRow("Com8 variable") << 8 << "/dev/zero" << variable << true;
        QTest::newRow("Com9") << 9 << "/dev/ttyS8" << fallback << QFileInfo::exists("/dev/ttyS8");
    }

    void lookupOrder()
    {
        QFETCH(int, number);
        m_devices = {adapter(QStringLiteral("/dev/ttyUSB3"), kStableA, QStringLiteral("A50285BI"))};
        SerialDevice acm;
        acm.path = QStringLiteral("/dev/ttyACM0");
        m_devices << acm;
        PortCatalogue catalogue([this] { return m_devices; }, [this] { return m_signature; });
        PortLookup lookup(catalogue);
        lookup.assign(3, kStableA);
        lookup.assign(4, m_devices[0].assignmentName());
        lookup.assign(5, acm.assignmentName());
        lookup.assign(6, kStableB);
        qputenv("ZAV_COM3", "/dev/null");
        qputenv("ZAV_COM8", "/dev/zero");

        const PortRoute route = lookup.route(number);
        QCOMPARE(route.number, number);
        QTEST(route.device, "device");
        QTEST(int(route.source), "source");
        QTEST(lookup.isPresent(route.device), "present");
    }

    // Nodes as the serial driver describes them: a UART that answers, a node no
    // UART answers at (the ttyS nodes every PC has), a terminal the driver does
    // not describe, a missing node, and an adapter only the catalogue lists.
    void presenceOfNodes_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("type"); // the driver's port type; "" none, "-" no node
        QTest::addColumn<QString>("state");
        QTest::newRow("UART 16550A") << "ttyS0"
                                     << "4"
                                     << "present";
        QTest::newRow("no UART at the node") << "ttyS1"
                                             << "0"
                                             << "no device at this node";
        QTest::newRow("not described") << "pty"
                                       << ""
                                       << "present";
        QTest::newRow("missing node") << "ttyS2"
                                      << "-"
                                      << "not connected";
        QTest::newRow("listed by the catalogue only") << "ttyUSB0"
                                                      << "-"
                                                      << "present";
    }

    void presenceOfNodes()
    {
        QFETCH(QString, node);
        QFETCH(QString, type);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("dev")));
        const QString device = dir.filePath(QStringLiteral("dev/") + node);
        if (type != QLatin1String("-")) {
            QFile file(device);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        if (!type.isEmpty() && type != QLatin1String("-")) {
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("class/") + node));
            QFile file(dir.filePath(QStringLiteral("class/%1/type").arg(node)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(type.toLatin1() + '\n') > 0);
        }
        m_devices = {adapter(dir.filePath(QStringLiteral("dev/ttyUSB0")), kStableA, QStringLiteral("A1"))};
        PortCatalogue catalogue([this] { return m_devices; }, [this] { return m_signature; });
        PortLookup lookup(catalogue);
        lookup.setTtyClassDir(dir.filePath(QStringLiteral("class")));
        QTEST(PortLookup::presenceText(lookup.presence(device)), "state");
    }

    // Replugged into another USB socket, the assigned adapter is found under its
    // new node once the cheap look notices; an unchanged look costs no new scan.
    void assignmentFollowsTheAdapter()
    {
        m_devices = {adapter(QStringLiteral("/dev/ttyUSB0"), kStableA, QStringLiteral("A50285BI"))};
        m_scans = 0;
        PortCatalogue catalogue(
            [this] {
                ++m_scans;
                return m_devices;
            },
            [this] { return m_signature; });
        PortLookup lookup(catalogue);
        QSettings(QStringLiteral("ZAV"), QStringLiteral("ZAV"))
            .setValue(QStringLiteral("Settings/MainLeft"), "60");

        lookup.assign(2, catalogue.usbAdapters().value(0).assignmentName());
        QCOMPARE(lookup.assignment(2), kStableA);
        QCOMPARE(lookup.route(2).device, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(!catalogue.refresh());
        QCOMPARE(m_scans, 1);

        m_devices[0].path = QStringLiteral("/dev/ttyUSB1");
        m_signature = QStringLiteral("two");
        QVERIFY(catalogue.refresh());
        QCOMPARE(m_scans, 2);
        QCOMPARE(lookup.route(2).device, QStringLiteral("/dev/ttyUSB1"));

        lookup.unassign(2);
        QCOMPARE(lookup.route(2).source, PortRoute::Default);
        // The window's placement keys stay as they were.
        QCOMPARE(QSettings(QStringLiteral("ZAV"), QStringLiteral("ZAV"))
                     .value(QStringLiteral("Settings/MainLeft")),
                 QVariant(QStringLiteral("60")));
    }

    // The first start offers the one USB adapter plugged in, once, and only
    // when nothing decides the port already.
    void singleAdapterIsOfferedOnce_data()
    {
        QTest::addColumn<int>("adapters");
        QTest::addColumn<QString>("before"); // "assigned", "variable", "offered" or empty
        QTest::addColumn<bool>("offered");
        QTest::newRow("one adapter") << 1 << "" << true;
        QTest::newRow("two adapters") << 2 << "" << false;
        QTest::newRow("none") << 0 << "" << false;
        QTest::newRow("another number assigned") << 1 << "assigned" << false;
        QTest::newRow("variable set") << 1 << "variable" << false;
        QTest::newRow("offered before") << 1 << "offered" << false;
    }

    void singleAdapterIsOfferedOnce()
    {
        QFETCH(int, adapters);
        QFETCH(QString, before);
        m_devices.clear();
        SerialDevice builtIn;
        builtIn.path = QStringLiteral("/dev/ttyS0");
        m_devices << builtIn;
        for (int i = 0; i < adapters; ++i)
            m_devices << adapter(QStringLiteral("/dev/ttyUSB%1").arg(i), i ? kStableB : kStableA,
                                 QString::number(i));
        PortCatalogue catalogue([this] { return m_devices; }, [this] { return m_signature; });
        PortLookup lookup(catalogue);
        if (before == QLatin1String("assigned"))
            lookup.assign(7, QStringLiteral("/dev/ttyS6"));
        if (before == QLatin1String("variable"))
            qputenv("ZAV_COM3", "/dev/null");
        if (before == QLatin1String("offered"))
            QVERIFY(lookup.adapterToOffer(3));

        const std::optional<SerialDevice> offer = lookup.adapterToOffer(3);
        QTEST(offer.has_value(), "offered");
        if (offer)
            QCOMPARE(offer->stableName, kStableA);
        // Offering assigns nothing by itself, and never asks twice.
        QVERIFY(lookup.assignment(3).isEmpty());
        QVERIFY(!lookup.adapterToOffer(3));
    }

    // Another program's lock file, in its two usual forms: a live holder refuses
    // the port and its lock stays as it was; only the lock of a process that has
    // ended is removed, and the traffic record says so.
    void lockFiles_data()
    {
        QTest::addColumn<bool>("alive");
        QTest::addColumn<bool>("binary");
        QTest::newRow("live, ten characters") << true << false;
        QTest::newRow("live, four bytes") << true << true;
        QTest::newRow("ended, ten characters") << false << false;
        QTest::newRow("ended, four bytes") << false << true;
    }

    void lockFiles()
    {
        QFETCH(bool, alive);
        QFETCH(bool, binary);
        Pty pty;
        QVERIFY(!pty.slave.isEmpty());
        QTemporaryDir locks;
        QVERIFY(locks.isValid());
        const QStringList folders = PortLock::folders();
        PortLock::setFolders({locks.path()});
        const auto restore = qScopeGuard([&folders] { PortLock::setFolders(folders); });

        QProcess other;
        other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(other.waitForStarted(5000));
        const qint32 pid = qint32(other.processId());
        if (!alive) {
            other.kill();
            QVERIFY(other.waitForFinished(5000));
        }
        const QByteArray content = binary ? QByteArray(reinterpret_cast<const char *>(&pid), 4)
                                          : QByteArray::number(pid).rightJustified(10, ' ') + '\n';
        QString name = pty.slave.mid(5);
        const QString lock = locks.filePath(QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), '_'));
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();

        qputenv("ZAV_COM1", pty.slave.toLocal8Bit());
        std::unique_ptr<SerialPort> port = createSystemSerialPort();
        port->setPortNumber(1);
        SteadyClock clock;
        Delay delay(clock);
        Link link(*port, clock, delay);
        TrafficRecord record;
        QStringList lines;
        record.addSink(
            [&lines](const QString &line) { lines << line.trimmed().section(QLatin1Char(' '), 1); });
        link.traffic = [&record](const TrafficEvent &event) { record.record(event); };
        const bool opened = link.AbrirCom();
        link.closePort();
        other.kill();
        other.waitForFinished(5000);

        QCOMPARE(opened, !alive);
        if (alive) {
            QCOMPARE(link.failureText(),
                     QStringLiteral("Com1: %1 is in use by another program: sleep (process %2)")
                         .arg(pty.slave)
                         .arg(pid));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        } else {
            QVERIFY(!QFile::exists(lock));
            QCOMPARE(lines.value(1),
                     QStringLiteral("Com1 -- removed the lock file %1 of process %2, which has ended")
                         .arg(lock)
                         .arg(pid));
        }
    }

    // Why Com1 cannot be opened, against a missing path and real pseudo-terminals:
    // one held by another program (found by its lock file, and with the name of
    // ModemManager), one this user may not open, and one held exclusively
    // without a lock file (found among the processes' open files). As root the
    // last two run as an unprivileged user.
    void openFailures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected"); // %1 the device, %2 the holder's process id
        QTest::newRow("missing path") << "missing"
                                      << "Com1: %1 is not connected";
        QTest::newRow("held by another program")
            << "hold"
            << "Com1: %1 is in use by another program: ports_test (process %2)";
        QTest::newRow("held by ModemManager")
            << "hold ModemManager"
            << "Com1: %1 is in use by another program: ModemManager (process %2); ModemManager probes serial "
               "adapters for modems: stop it (sudo systemctl stop ModemManager), or keep it off this adapter "
               "for good with the udev rule ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
        QTest::newRow("no permission") << "permission"
                                       << "Com1: %1 may not be opened by this user: join group dialout (sudo "
                                          "usermod -aG dialout $USER), "
                                          "then log in again";
        QTest::newRow("held exclusively") << "exclusive"
                                          << "Com1: %1 is in use by another program: ports_test (process %2)";
        // Root's own open would pass the exclusive hold.
        QTest::newRow("held exclusively, tried by the same user")
            << "exclusive here"
            << "Com1: %1 is in use by another program: ports_test (process %2)";
    }

    void openFailures()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        const bool root = geteuid() == 0;
        Pty pty;
        QVERIFY(!pty.slave.isEmpty());
        QString device = pty.slave;
        const QByteArray node = device.toLocal8Bit();
        bool unprivileged = false;
        QProcess holder;

        if (setup == QLatin1String("missing")) {
            device = m_dir.filePath(QStringLiteral("no-such-tty"));
        } else if (setup.startsWith(QLatin1String("hold"))) {
            QVERIFY(startHelper(
                holder, QStringList{QStringLiteral("--hold"), device} + setup.split(' ').mid(1), false));
        } else if (setup == QLatin1String("permission")) {
            if (root) {
                // A node of group dialout, closed to others, tried by an unprivileged user.
                const group *dialout = getgrnam("dialout");
                if (!dialout || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                    QSKIP("needs group dialout and setpriv");
                QCOMPARE(chown(node.constData(), 0, dialout->gr_gid), 0);
                QCOMPARE(chmod(node.constData(), 0660), 0);
                unprivileged = true;
            } else {
                QCOMPARE(chmod(node.constData(), 0), 0);
                expected = QStringLiteral("Com1: %1 may not be opened by this user");
            }
        } else if (setup.startsWith(QLatin1String("exclusive"))) {
            // The kernel lets root open an exclusive terminal all the same: holder
            // and checker run as the unprivileged owner of the terminal, unless the
            // program's own check is what is tried.
            if (root && setup == QLatin1String("exclusive")) {
                const passwd *nobody = getpwnam("nobody");
                if (!nobody || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                    QSKIP("needs user nobody and setpriv");
                QCOMPARE(chown(node.constData(), nobody->pw_uid, 0), 0);
                QCOMPARE(chmod(node.constData(), 0600), 0);
                unprivileged = true;
            }
            QVERIFY(startHelper(holder, {QStringLiteral("--hold-exclusive"), device}, unprivileged));
        }
        const qint64 holderPid = holder.processId();
        if (holderPid) {
            QVERIFY(holder.waitForReadyRead(10000));
            QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        }

        const QString text = diagnoseAs(device, unprivileged);
        holder.closeWriteChannel();
        holder.waitForFinished(5000);
        expected.replace(QLatin1String("%1"), device)
            .replace(QLatin1String("%2"), QString::number(holderPid));
        QVERIFY2(text.startsWith(expected), qPrintable(text));
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 3 && QByteArray(argv[1]).startsWith("--hold"))
        return helperMain(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--diagnose")
        return helperMain(argc, argv);
    QCoreApplication app(argc, argv);
    PortsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ports_test.moc"
