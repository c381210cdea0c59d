// What Windows tells of a serial adapter, read the same on every system: the USB
// ids and serial number in its device instance id, the assignment that follows
// the adapter to whatever COM number it gets, and the text for a port that is
// not there.

#include "link/deviceinstanceid.h"
#include "link/opendiagnosis.h"
#include "link/portcatalogue.h"
#include "link/portlookup.h"

#include <QtTest>

class PortIdsTest : public QObject
{
    Q_OBJECT

private slots:
    void instanceIds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("usb");
        QTest::addColumn<QString>("serial");
        QTest::newRow("USB device with a serial number") << "USB\\VID_2341&PID_0043\\75331313133351A0D1C1"
                                                         << "2341:0043"
                                                         << "75331313133351A0D1C1";
        QTest::newRow("FTDI driver: serial and channel letter")
            << "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000"
            << "0403:6001"
            << "A50285BI";
        QTest::newRow("id made up from the socket") << "USB\\VID_067B&PID_2303\\5&2A0B3C4&0&2"
                                                    << "067b:2303"
                                                    << "";
        QTest::newRow("interface of a composite device") << "USB\\VID_2341&PID_8036&MI_00\\6&2B2E4A8F&0&0000"
                                                         << "2341:8036"
                                                         << "";
        QTest::newRow("lower-case hex digits") << "USB\\VID_10c4&PID_ea60\\0001"
                                               << "10c4:ea60"
                                               << "0001";
        QTest::newRow("built-in port") << "ACPI\\PNP0501\\1"
                                       << ""
                                       << "";
        QTest::newRow("virtual port") << "ROOT\\PORTS\\0000"
                                      << ""
                                      << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void instanceIds()
    {
        QFETCH(QString, id);
        QFETCH(QString, usb);
        QFETCH(QString, serial);
        const DeviceInstanceId parsed = DeviceInstanceId::parse(id);
        SerialDevice device;
        device.hasUsbIds = parsed.hasUsbIds;
        device.vendorId = parsed.vendorId;
        device.productId = parsed.productId;
        QCOMPARE(device.usbIds(), usb);
        QCOMPARE(parsed.serialNumber, serial);
    }

    // Windows may give a replugged adapter another COM number; the assignment
    // keeps its instance id, which holds the serial number, and follows it.
    void assignmentFollowsTheAdapterToAnotherNumber()
    {
        const QString id = QStringLiteral("FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000");
        SerialDevice adapter;
        adapter.path = QStringLiteral("COM7");
        adapter.stableName = id;
        adapter.serialNumber = QStringLiteral("A50285BI");
        QList<SerialDevice> devices{adapter};
        QString signature = QStringLiteral("one");
        PortCatalogue catalogue([&] { return devices; }, [&] { return signature; });
        PortLookup lookup(catalogue);
        QCOMPARE(adapter.assignmentName(), id);
        QCOMPARE(lookup.assignedDevice(id), QStringLiteral("COM7"));

        devices[0].path = QStringLiteral("COM9");
        signature = QStringLiteral("two");
        QVERIFY(catalogue.refresh());
        QCOMPARE(lookup.assignedDevice(id), QStringLiteral("COM9"));

        devices.clear();
        signature = QStringLiteral("none");
        QVERIFY(catalogue.refresh());
        QCOMPARE(lookup.assignedDevice(id), id);
    }

    // A port the system does not have is named as missing, with the port number
    // the technician picked and the device it stands for.
    void missingPortIsNamed()
    {
        PortCatalogue catalogue([] { return QList<SerialDevice>(); }, [] { return QStringLiteral("-"); });
        const OpenDiagnosis d =
            OpenDiagnosis::diagnose(8, QStringLiteral("COM58"), QStringLiteral("library"), &catalogue);
        QCOMPARE(d.cause, OpenDiagnosis::Absent);
        QVERIFY2(d.text.startsWith(QLatin1String("Com8: COM58 ")), qPrintable(d.text));
        QVERIFY2(!d.text.contains(QLatin1String("library")), qPrintable(d.text));
    }
};

QTEST_GUILESS_MAIN(PortIdsTest)
#include "portids_test.moc"
