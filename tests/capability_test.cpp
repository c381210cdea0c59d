#include "device/capabilitymap.h"
#include "device/operations.h"
#include "device/visibility.h"
#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "support/virtuallink.h"
#include "text/stringtable.h"

#include <QtTest>

namespace {

struct Rig : VirtualLink
{
    CapabilityMap map;
    DeviceOperations ops;

    explicit Rig(qint16 factoryCode = 0) : ops(fields, link, map, factoryCode)
    {
        fields.setListEntries("TabStrip1", {"Main", "Motor", "Remote control", "Sectors"});
        // Start-up hides every parameter field.
        for (const VisibilityRow &row : visibilityTable()) {
            for (const char *name : {row.label, row.field, row.unit}) {
                if (name)
                    fields.setVisible(name, false);
            }
        }
        fields.setVisible("TLuxONAD", true);
        fields.setVisible("TLuxOFFAD", true);
    }

    // Identification on its own holds the link as the read button does.
    void identify()
    {
        LinkSession session(link);
        ops.IdentificarZAV();
    }
};

} // namespace

class CapabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void comprobarParametro_data()
    {
        QTest::addColumn<int>("byteIndex");
        QTest::addColumn<int>("byteValue");
        QTest::addColumn<int>("address");
        QTest::addColumn<bool>("present");
        QTest::newRow("0x09: 0") << 0 << 0x09 << 0 << true;
        QTest::newRow("0x09: 1") << 0 << 0x09 << 1 << false;
        QTest::newRow("0x09: 2") << 0 << 0x09 << 2 << false;
        QTest::newRow("0x09: 3") << 0 << 0x09 << 3 << true;
        QTest::newRow("0x09: 4") << 0 << 0x09 << 4 << false;
        QTest::newRow("0x09: 7") << 0 << 0x09 << 7 << false;
        QTest::newRow("0x09: 8 is the next byte") << 0 << 0x09 << 8 << false;
        QTest::newRow("255 is byte 31 mask 0x80") << 31 << 0x80 << 255 << true;
        QTest::newRow("255 without 0x80") << 31 << 0x7F << 255 << false;
        QTest::newRow("248 is byte 31 mask 0x01") << 31 << 0x01 << 248 << true;
        QTest::newRow("225 is byte 28 mask 0x02") << 28 << 0x02 << 225 << true;
        QTest::newRow("outside the map") << 31 << 0xFF << 256 << false;
        QTest::newRow("negative") << 0 << 0xFF << -1 << false;
    }

    void comprobarParametro()
    {
        QFETCH(int, byteIndex);
        QFETCH(int, byteValue);
        QFETCH(int, address);
        QFETCH(bool, present);
        CapabilityMap map;
        map.bytes[byteIndex] = quint8(byteValue);
        QCOMPARE(map.ComprobarParametro(address), present);
    }

    void statusCountsThenEnded()
    {
        Rig rig;
        rig.port.capability[0] = 0x09;
        rig.identify();
        QStringList expected;
        for (int i = 0; i < 32; ++i)
            expected << QStringLiteral(" %1").arg(i);
        expected << "Ended";
        QCOMPARE(rig.fields.statusHistory, expected);
        QCOMPARE(rig.port.frames.size(), 32);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(quint8(rig.port.frames[i][4]), quint8(128));
            QCOMPARE(quint8(rig.port.frames[i][5]), quint8(i));
            QCOMPARE(quint8(rig.port.frames[i][6]), quint8(0));
        }
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(rig.port.opens, 1);
        for (const char *button : {"CAbrir", "CGuardar", "CLeer", "CEscribir"})
            QVERIFY(rig.fields.isEnabled(button));
    }

    void byteZeroShowsUserSpeeds12()
    {
        Rig rig;
        rig.port.capability[0] = 0x09;
        rig.identify();
        for (const char *name : {"Label(2)", "TVelocidadUsuario1", "LabelUnidades(0)", "Label(26)",
                                 "TVelocidadUsuario2", "LabelUnidades(4)"})
            QVERIFY2(rig.fields.isVisible(name), name);
        for (const char *name : {"TVelocidadUsuario3", "TVelocidadUsuario4", "TRelacionReductor"})
            QVERIFY2(!rig.fields.isVisible(name), name);
        QCOMPARE(rig.map.bytes[0], quint8(0x09));
    }

    // A step without answer would hide eight parameters from the next write: the
    // identification ends there and the map and the fields stay as they were.
    void unansweredStepKeepsTheMap()
    {
        Rig rig;
        rig.map.bytes[3] = 0x02;
        const std::array<quint8, 32> before = rig.map.bytes;
        rig.port.capability.fill(0xFF);
        rig.port.silentCommandAddress.insert({128, 3});
        rig.identify();
        QCOMPARE(rig.map.bytes, before);
        QCOMPARE(rig.fields.statusLine(), QString("Identification Error in step 3"));
        QVERIFY(!rig.fields.isVisible("TTiempoFalloRed")); // 32 in byte 4
    }

    void manufacturingFields_data()
    {
        QTest::addColumn<int>("factoryCode");
        QTest::addColumn<bool>("shown");
        QTest::newRow("normal mode") << 0 << false;
        QTest::newRow("factory mode") << 731 << true;
        QTest::newRow("another code") << 730 << false;
    }

    void manufacturingFields()
    {
        QFETCH(int, factoryCode);
        QFETCH(bool, shown);
        Rig rig{qint16(factoryCode)};
        for (int bit = 247; bit <= 250; ++bit)
            rig.port.setPresent(bit);
        rig.identify();
        for (const char *name : {"Label(22)", "TSemanaFabricacion", "Label(21)", "TAnoFabricacion",
                                 "Label(10)", "TNumeroFabricacion"})
            QVERIFY2(rig.fields.isVisible(name) == shown, name);
    }

    void factoryHidingIgnoresTheMap()
    {
        Rig rig;
        rig.fields.setVisible("ComboTipoCambiador", true);
        rig.fields.setVisible("TRelacionReductor", true);
        rig.identify(); // empty map
        QVERIFY(!rig.fields.isVisible("ComboTipoCambiador"));
        QVERIFY(!rig.fields.isVisible("TRelacionReductor"));
        QVERIFY(!rig.fields.isVisible("TLuxONAD"));
    }

    void lightLevelBitsHideRawValues_data()
    {
        QTest::addColumn<int>("factoryCode");
        QTest::newRow("normal") << 0;
        QTest::newRow("factory") << 731;
    }

    void lightLevelBitsHideRawValues()
    {
        QFETCH(int, factoryCode);
        Rig rig{qint16(factoryCode)};
        rig.port.setPresent(17);
        rig.identify();
        QVERIFY(rig.fields.isVisible("TLuxON"));
        QVERIFY(rig.fields.isVisible("Label(18)"));
        QVERIFY(!rig.fields.isVisible("TLuxONAD"));
        // Bit 19 clear: the OFF raw value stays as factory mode leaves it.
        QCOMPARE(rig.fields.isVisible("TLuxOFFAD"), factoryCode == 731);
    }

    void fifthTabOnce()
    {
        Rig rig;
        rig.fields.setListIndex("TabStrip1", 2);
        rig.port.setPresent(225);
        rig.identify();
        rig.identify();
        const QStringList tabs = rig.fields.listEntries("TabStrip1");
        QCOMPARE(tabs.size(), 5);
        QCOMPARE(tabs.last(), LoadText(1105));
        QCOMPARE(rig.fields.listIndex("TabStrip1"), 2);
    }

    void fifthTabAlreadyThere()
    {
        Rig rig(731);
        rig.fields.setListEntries("TabStrip1", {"a", "b", "c", "d", "e"});
        rig.port.setPresent(225);
        rig.identify();
        QCOMPARE(rig.fields.listEntries("TabStrip1"), QStringList({"a", "b", "c", "d", "e"}));
    }

    void multiBitRows_data()
    {
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("shown");
        QTest::newRow("231 identifier") << 231 << "TIdentificacion" << true;
        QTest::newRow("238 identifier") << 238 << "TIdentificacion" << true;
        QTest::newRow("246 identifier") << 246 << "TIdentificacion" << true;
        QTest::newRow("230 no identifier") << 230 << "TIdentificacion" << false;
        QTest::newRow("247 no identifier") << 247 << "TIdentificacion" << false;
        QTest::newRow("254 ID number") << 254 << "TNumeroID" << true;
        QTest::newRow("255 ID number") << 255 << "TNumeroID" << true;
        QTest::newRow("253 hardware") << 253 << "THardwareR" << true;
        QTest::newRow("54 emergency lantern") << 54 << "CheckBalizaEmergencia" << true;
        QTest::newRow("59 synchronism pulse") << 59 << "lblDuracionpulsosincronismo" << true;
        QTest::newRow("56 night attenuation unit") << 56 << "Label(45)" << true;
        QTest::newRow("18 second byte of light ON") << 18 << "TLuxON" << false;
    }

    void multiBitRows()
    {
        QFETCH(int, bit);
        QFETCH(QString, field);
        QFETCH(bool, shown);
        Rig rig(731);
        rig.port.setPresent(bit);
        rig.identify();
        QCOMPARE(rig.fields.isVisible(field), shown);
    }

    void secondControllerWithFewerParameters()
    {
        Rig rig;
        rig.port.setAllPresent();
        rig.identify();
        QVERIFY(rig.fields.isVisible("TNumeroID"));
        QVERIFY(rig.fields.isVisible("ComboTipoMotor"));

        rig.port.capability.fill(0);
        rig.port.capability[0] = 0x01;
        rig.identify();
        QVERIFY(rig.fields.isVisible("TNumeroID"));
        QVERIFY(rig.fields.isVisible("ComboTipoMotor"));
        std::array<quint8, 32> expected{};
        expected[0] = 0x01;
        QCOMPARE(rig.map.bytes, expected);
        QVERIFY(!rig.map.ComprobarParametro(254));
    }

    void portCannotBeOpened()
    {
        Rig rig;
        rig.map.bytes[0] = 0x01;
        rig.port.capability[0] = 0xFF;
        rig.port.openFails = true;
        rig.identify();
        QVERIFY(rig.port.frames.isEmpty());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
        QCOMPARE(rig.map.bytes[0], quint8(0x01)); // the last identification stays
        for (const char *button : {"CAbrir", "CGuardar", "CLeer", "CEscribir"})
            QVERIFY(rig.fields.isEnabled(button));
    }

    void lineLostKeepsTheLastMap()
    {
        Rig rig;
        rig.map.bytes[0] = 0x01;
        rig.port.setAllPresent();
        rig.port.loseAfterFrames = 5;
        rig.identify();
        QCOMPARE(rig.map.bytes[0], quint8(0x01));
        QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
        QVERIFY(!rig.fields.isVisible("TNumeroID"));
    }

    // Every bit of the map on its own, in normal and in factory mode: exactly the
    // controls of its row become visible (table written out by hand), the raw light
    // values go with bits 17 and 19, the fifth tab comes with bit 225.
    void everyBitShowsItsOwnRow_data()
    {
        QTest::addColumn<int>("factoryCode");
        QTest::newRow("normal") << 0;
        QTest::newRow("factory") << 731;
    }

    void everyBitShowsItsOwnRow()
    {
        QFETCH(int, factoryCode);
        struct Row
        {
            int first;
            int last;
            std::array<const char *, 3> controls;
            bool factoryOnly;
        };
        // clang-format off
        const Row rows[] = {
            {0,   0,   {"Label(2)",  "TVelocidadUsuario1",     "LabelUnidades(0)"},  false},
            {3,   3,   {"Label(26)", "TVelocidadUsuario2",     "LabelUnidades(4)"},  false},
            {6,   6,   {"Label(29)", "TVelocidadUsuario3",     "LabelUnidades(5)"},  false},
            {9,   9,   {"Label(32)", "TVelocidadUsuario4",     "LabelUnidades(6)"},  false},
            {12,  12,  {"Label(28)", "TRelacionReductor"},                           true},
            {15,  15,  {"Label(33)", "TPulsosRevolucion"},                           true},
            {17,  17,  {"Label(18)", "TLuxON",                 "LabelUnidades(1)"},  false},
            {19,  19,  {"Label(19)", "TLuxOFF",                "LabelUnidades(2)"},  false},
            {21,  21,  {"Label(4)",  "TTestFotocelula",        "LabelUnidades(3)"},  false},
            {23,  23,  {"Label(5)",  "TLuxLamparaFundida",     "LabelUnidades(13)"}, false},
            {25,  25,  {"Label(8)",  "TRetardoLamparaFundida", "LabelUnidades(14)"}, false},
            {27,  27,  {"Label(11)", "ComboTipoCambiador"},                          true},
            {28,  28,  {"Label(36)", "TTiempoLampara1",        "LabelUnidades(11)"}, false},
            {30,  30,  {"Label(31)", "TTiempoLampara2",        "LabelUnidades(8)"},  false},
            {32,  32,  {"Label(34)", "TTiempoFalloRed",        "LabelUnidades(9)"},  false},
            {34,  34,  {"Label(35)", "TTiempoRetornoRed",      "LabelUnidades(10)"}, false},
            {36,  36,  {"Label(30)", "TFotocelulaInterior",    "LabelUnidades(7)"},  false},
            {38,  38,  {"Label(12)", "ComboTipoLampara1"},                           false},
            {39,  39,  {"Label(13)", "ComboTipoLampara2"},                           false},
            {40,  40,  {"Label(20)", "ComboLamparaPrincipal"},                       false},
            {41,  41,  {"Label(0)",  "ComboSensorLuz"},                              false},
            {42,  42,  {"Label(6)",  "TMaxConsumoLed",         "LabelUnidades(15)"}, false},
            {44,  44,  {"Label(1)",  "TMinConsumoLed",         "LabelUnidades(16)"}, false},
            {46,  46,  {"Label(27)", "ComboFuncion2Puerto"},                         false},
            {47,  47,  {"Label(37)", "TTiempoAceleracion",     "LabelUnidades(18)"}, false},
            {49,  49,  {"Label(39)", "TPWMLed",                "LabelUnidades(20)"}, false},
            {50,  50,  {"Label(40)", "ComboTipoMotor"},                              false},
            {51,  51,  {"Label(42)", "TMargenErrorMotor2",     "LabelUnidades(22)"}, false},
            {53,  53,  {"Label(41)", "TVueltasError",          "LabelUnidades(21)"}, false},
            {54,  54,  {"CheckBalizaEmergencia"},                                    false},
            {55,  55,  {"Label(46)", "cmbModofuncionamiento"},                       false},
            {56,  56,  {"Label(16)", "txtAtenuacionNocturna",  "Label(45)"},         false},
            {57,  57,  {"Label(47)", "txtTiempoDe",            "Label(48)"},         false},
            {59,  59,  {"lblDuracionpulsosincronismo", "txtDuracionPulsoSincronismo"}, false},
            {231, 246, {"Label(3)",  "TIdentificacion"},                             false},
            {247, 247, {"Label(22)", "TSemanaFabricacion"},                          true},
            {248, 248, {"Label(21)", "TAnoFabricacion"},                             true},
            {249, 250, {"Label(10)", "TNumeroFabricacion"},                          true},
            {251, 251, {"Label(38)", "TModeloR"},                                    false},
            {252, 252, {"Label(15)", "TVersionFirmwareR"},                           false},
            {253, 253, {"Label(14)", "THardwareR"},                                  false},
            {254, 255, {"Label(43)", "TNumeroID"},                                   false},
        };
        // clang-format on
        QSet<QString> universe = {"TLuxONAD", "TLuxOFFAD"};
        for (const Row &row : rows) {
            for (const char *name : row.controls) {
                if (name)
                    universe.insert(name);
            }
        }
        for (const VisibilityRow &row : visibilityTable()) {
            for (const char *name : {row.label, row.field, row.unit}) {
                if (name)
                    universe.insert(name);
            }
        }
        const bool factory = factoryCode == 731;

        // The map as an identification leaves it, through the visibility code that
        // identification runs (the transactions are statusCountsThenEnded's).
        for (int bit = 0; bit < 256; ++bit) {
            MemoryFields fields;
            fields.setListEntries("TabStrip1", {"Main", "Motor", "Remote control", "Sectors"});
            for (const QString &name : universe)
                fields.setVisible(name, name == "TLuxONAD" || name == "TLuxOFFAD");
            CapabilityMap map;
            map.bytes[bit / 8] = quint8(1 << (bit % 8));
            applyCapabilityVisibility(fields, map, qint16(factoryCode));

            QSet<QString> expected;
            for (const Row &row : rows) {
                if (bit < row.first || bit > row.last || (row.factoryOnly && !factory))
                    continue;
                for (const char *name : row.controls) {
                    if (name)
                        expected.insert(name);
                }
            }
            if (factory && bit != 17)
                expected.insert("TLuxONAD");
            if (factory && bit != 19)
                expected.insert("TLuxOFFAD");
            QSet<QString> visible;
            for (const QString &name : universe) {
                if (fields.isVisible(name))
                    visible.insert(name);
            }
            QVERIFY2(visible == expected, qPrintable(QStringLiteral("bit %1: %2, want %3")
                                                         .arg(bit)
                                                         .arg(QStringList(visible.values()).join(' '))
                                                         .arg(QStringList(expected.values()).join(' '))));
            QCOMPARE(fields.listEntries("TabStrip1").size(), bit == 225 ? 5 : 4);
        }
    }

    void factoryOnlyRowsAreHiddenOutsideFactoryMode()
    {
        const auto hidden = factoryOnlyControls();
        const auto listed = [&](const char *name) {
            return std::any_of(hidden.begin(), hidden.end(),
                               [&](const char *h) { return qstrcmp(h, name) == 0; });
        };
        for (const VisibilityRow &row : visibilityTable()) {
            if (!row.factoryOnly)
                continue;
            QVERIFY2(listed(row.field), row.field);
            QVERIFY2(listed(row.label), row.label);
        }
    }
};

QTEST_GUILESS_MAIN(CapabilityTest)
#include "capability_test.moc"
