#include "device/lighttables.h"

#include <QTest>

class LightTablesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FillLightTables(); }

    void tableShape()
    {
        const LightTables &t = lightTables();
        QCOMPARE(t.LuxTable[0], 0);
        QCOMPARE(t.PhotodiodeTable[0], 0);
        QCOMPARE(t.PhotocellTable[0], 0);
        QCOMPARE(t.LuxTable[52], 550);
        QCOMPARE(t.PhotodiodeTable[52], 636);
        QCOMPARE(t.PhotocellTable[1], 969);
        QCOMPARE(t.PhotocellTable[52], 122);
        QCOMPARE(t.LuxTable[26], 120);
        QCOMPARE(t.PhotodiodeTable[26], 239);
        QCOMPARE(t.PhotocellTable[26], 181);
        for (int i = 2; i < LightTables::kSize; ++i) {
            QVERIFY2(t.LuxTable[i] > t.LuxTable[i - 1], qPrintable(QString::number(i)));
            QVERIFY2(t.PhotodiodeTable[i] > t.PhotodiodeTable[i - 1], qPrintable(QString::number(i)));
            QVERIFY2(t.PhotocellTable[i] < t.PhotocellTable[i - 1], qPrintable(QString::number(i)));
        }
    }

    void luxToSensor_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("sensorType");
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("levelAfter");

        struct Row
        {
            int level, diode, cell, after;
        };
        const Row rows[] = {
            {0, 0, 969, 0},       {1, 8, 867, 1},       {2, 15, 781, 2},      {3, 15, 781, 3},
            {100, 214, 192, 100}, {101, 214, 192, 101}, {549, 635, 123, 549}, {550, 0, 0, 550},
            {600, 0, 0, 550},     {100000, 0, 0, 550},  {-5, 0, 969, 0},
        };
        for (const Row &r : rows) {
            QTest::addRow("%d lux photodiode", r.level) << r.level << 0 << r.diode << r.after;
            QTest::addRow("%d lux photocell", r.level) << r.level << 1 << r.cell << r.after;
        }
        QTest::newRow("no sensor chosen") << 100 << -1 << 0 << 100;
        QTest::newRow("no sensor, out of range level kept") << 900 << -1 << 0 << 900;
        QTest::newRow("unknown sensor type") << 100 << 2 << 0 << 100;
    }

    void luxToSensor()
    {
        QFETCH(int, level);
        QFETCH(int, sensorType);
        QFETCH(int, sensor);
        QFETCH(int, levelAfter);
        QCOMPARE(LuxToSensor(level, sensorType), sensor);
        QCOMPARE(level, levelAfter);
    }

    void sensorToLux_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("sensorType");
        QTest::addColumn<int>("lux");
        QTest::addColumn<int>("valueAfter");

        QTest::newRow("diode 0") << 0 << 0 << 0 << 0;
        QTest::newRow("diode 7") << 7 << 0 << 0 << 7;
        QTest::newRow("diode 8") << 8 << 0 << 1 << 8;
        QTest::newRow("diode 214") << 214 << 0 << 100 << 214;
        QTest::newRow("diode 635") << 635 << 0 << 520 << 635;
        QTest::newRow("diode 636") << 636 << 0 << 0 << 636;
        QTest::newRow("diode 839") << 839 << 0 << 0 << 839;
        QTest::newRow("diode 900 limited") << 900 << 0 << 0 << 840;
        QTest::newRow("diode negative") << -3 << 0 << 0 << 0;
        QTest::newRow("cell 1000 limited") << 1000 << 1 << 0 << 969;
        QTest::newRow("cell 969") << 969 << 1 << 0 << 969;
        QTest::newRow("cell 868") << 868 << 1 << 0 << 868;
        QTest::newRow("cell 867") << 867 << 1 << 1 << 867;
        QTest::newRow("cell 500") << 500 << 1 << 5 << 500;
        QTest::newRow("cell 193") << 193 << 1 << 95 << 193;
        QTest::newRow("cell 192") << 192 << 1 << 100 << 192;
        QTest::newRow("cell 124") << 124 << 1 << 500 << 124;
        QTest::newRow("cell 123") << 123 << 1 << 520 << 123;
        QTest::newRow("cell 122") << 122 << 1 << 0 << 122;
        QTest::newRow("cell 0") << 0 << 1 << 0 << 0;
        QTest::newRow("cell negative") << -7 << 1 << 0 << 0;
        QTest::newRow("no sensor chosen") << 214 << -1 << 0 << 214;
        QTest::newRow("no sensor, out of range value kept") << 5000 << -1 << 0 << 5000;
    }

    void sensorToLux()
    {
        QFETCH(int, value);
        QFETCH(int, sensorType);
        QFETCH(int, lux);
        QFETCH(int, valueAfter);
        QCOMPARE(SensorToLux(value, sensorType), lux);
        QCOMPARE(value, valueAfter);
    }

    void thresholdReadsBackAsLowerEdgeOfItsBand()
    {
        const LightTables &t = lightTables();
        for (int type = 0; type <= 1; ++type) {
            for (int level = 0; level < 550; ++level) {
                int band = 1;
                while (t.LuxTable[band + 1] <= level)
                    ++band;
                int scratch = level;
                int sensor = LuxToSensor(scratch, type);
                QCOMPARE(SensorToLux(sensor, type), t.LuxTable[band]);
            }
        }
    }
};

QTEST_GUILESS_MAIN(LightTablesTest)
#include "lighttables_test.moc"
