#include "device/lighttables.h"
#include "device/parametermap.h"
#include "fields/memoryfields.h"
#include "text/stringtable.h"

#include <QTest>

namespace {

using Cells = QList<qint64>;

// The lists filled as the window fills them, each at its first entry, and the
// label captions the problems name.
struct Rig
{
    MemoryFields fields;
    int changerRuns = 0;
    int motorRuns = 0;

    Rig()
    {
        const QList<std::pair<const char *, QStringList>> lists = {
            {"ComboTipoLampara1", {"DC", "AC"}},
            {"ComboTipoLampara2", {"DC", "AC"}},
            {"ComboLamparaPrincipal", {"0", "1", "2"}},
            {"ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"}},
            {"ComboSensorLuz", {"Fotodiodo", "Daylight sensor"}},
            {"ComboFuncion2Puerto", {"Disable", "RS485", "MODBUS"}},
            {"ComboTipoMotor", {"Stepper Motor", "Dual Motor RKD"}},
            {"cmbModofuncionamiento", {"Night ON", "24 hours ON"}},
        };
        for (const auto &[name, entries] : lists) {
            fields.setListEntries(QString::fromLatin1(name), entries);
            fields.setListIndex(QString::fromLatin1(name), 0);
        }
        // every text field holds a number, as after reading a controller
        for (const ParameterRow &row : parameterRows()) {
            if (row.show != ShowRule::List && row.show != ShowRule::Changer && row.show != ShowRule::Motor &&
                row.show != ShowRule::Check && row.show != ShowRule::Identifier)
                fields.setText(QString::fromLatin1(row.field), "0");
        }
        fields.setClickHandler("ComboTipoCambiador", [this] { ++changerRuns; });
        fields.setClickHandler("ComboTipoMotor", [this] { ++motorRuns; });
        fields.setCaption("Label(2)", "User Speed 1");
        fields.setCaption("Label(4)", "Daylight sensor delay");
        fields.setCaption("Label(19)", "Light level Beacon OFF");
        fields.setCaption("Label(23)", "Luminosidad Leds");
        fields.setCaption("Label(9)", "Dientes disco");
        fields.setCaption("Label(46)", "Function mode");
        fields.setCaption("Label(47)", "Recovery time after hibernation");
        fields.setCaption("Label(41)", "Failed tours");
        fields.setCaption("CheckBalizaEmergencia", "Emergency lantern");
        fields.setCaption("lblDuracionpulsosincronismo", "Pulso sincronismo                      (0-255s.)");
    }
};

ParameterImage imageWith(int address, const Cells &cells)
{
    ParameterImage image{};
    for (int k = 0; k < cells.size(); ++k)
        image[address + k] = cells.at(k);
    return image;
}

Cells cellsAt(const ParameterImage &image, int address, int count)
{
    Cells cells;
    for (int k = 0; k < count; ++k)
        cells.append(image[address + k]);
    return cells;
}

Cells identifierCells(const QByteArray &text)
{
    Cells cells;
    for (char c : text.leftJustified(16, ' ', true))
        cells.append(quint8(c));
    return cells;
}

const auto allPresent = [](int) { return true; };

} // namespace

class ParameterMapTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { FillLightTables(); }
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void rowsCoverTheMappedCellsOnce()
    {
        QList<int> covered;
        int next = 0;
        for (const ParameterRow &row : parameterRows()) {
            QVERIFY2(row.address >= next, row.field);
            for (int k = 0; k < row.width; ++k)
                covered.append(row.address + k);
            next = row.address + row.width;
        }
        QList<int> expected;
        for (int a = 0; a < 256; ++a) {
            if (a <= 59 || (a >= 221 && a <= 224) || a >= 231)
                expected.append(a);
        }
        QCOMPARE(covered, expected);
        QCOMPARE(QString::fromLatin1(parameterRowAt(232)->field), QString("TIdentificacion"));
        QVERIFY(!parameterRowAt(100));
    }

    void readShowsText_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");

        QTest::newRow("speed 12.3456") << 0 << Cells{0x01, 0xE2, 0x40} << "TVelocidadUsuario1"
                                       << "12.3456";
        QTest::newRow("speed 0") << 9 << Cells{0, 0, 0} << "TVelocidadUsuario4"
                                 << "0.0000";
        QTest::newRow("ratio") << 12 << Cells{0, 0x30, 0x39} << "TRelacionReductor"
                               << "123.45";
        QTest::newRow("pulses") << 15 << Cells{1, 0} << "TPulsosRevolucion"
                                << "256";
        QTest::newRow("timing 2.5") << 21 << Cells{0, 25} << "TTestFotocelula"
                                    << "2.5";
        QTest::newRow("timing largest") << 36 << Cells{0xFF, 0xFF} << "TFotocelulaInterior"
                                        << "6553.5";
        QTest::newRow("LED current fixed") << 42 << Cells{0, 123} << "TMaxConsumoLed"
                                           << "1.23";
        QTest::newRow("tolerance") << 51 << Cells{0, 5} << "TMargenErrorMotor2"
                                   << "0.05";
        QTest::newRow("PWM") << 49 << Cells{200} << "TPWMLed"
                             << "200";
        QTest::newRow("night attenuation") << 56 << Cells{255} << "txtAtenuacionNocturna"
                                           << "255";
        QTest::newRow("minutes 999") << 57 << Cells{3, 0xE7} << "txtTiempoDe"
                                     << "999";
        QTest::newRow("minutes 1200 shown as 999") << 57 << Cells{4, 0xB0} << "txtTiempoDe"
                                                   << "999";
        QTest::newRow("offset") << 221 << Cells{1, 2} << "TGradosOffset"
                                << "258";
        QTest::newRow("ID number") << 254 << Cells{0xFF, 0xFF} << "TNumeroID"
                                   << "65535";
        QTest::newRow("identifier") << 231 << identifierCells("ZAV-17") << "TIdentificacion"
                                    << "ZAV-17          ";
        QTest::newRow("identifier of zero bytes")
            << 231 << Cells(16, 0) << "TIdentificacion" << QString(16, QChar(0x2400));
        QTest::newRow("identifier Latin-1") << 231 << Cells{0xD1, 0x41} << "TIdentificacion"
                                            << QString::fromUtf8("ÑA") + QString(14, QChar(0x2400));
        QTest::newRow("manufacturer number") << 249 << Cells{0x12, 0x34} << "TNumeroFabricacion"
                                             << "4660";
    }

    void readShowsText()
    {
        QFETCH(int, address);
        QFETCH(Cells, cells);
        QFETCH(QString, field);
        QFETCH(QString, text);
        Rig rig;
        ReadMapping(rig.fields, imageWith(address, cells), MappingMode::ReadAll);
        QCOMPARE(rig.fields.text(field), text);
    }

    void writeStoresCells_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("address");
        QTest::addColumn<Cells>("cells");

        QTest::newRow("speed 12.3456") << "TVelocidadUsuario1"
                                       << "12.3456" << 0 << Cells{0x01, 0xE2, 0x40};
        QTest::newRow("speed wraps at 1677.7216") << "TVelocidadUsuario2"
                                                  << "1677.7216" << 3 << Cells{0, 0, 0};
        QTest::newRow("timing 2.5") << "TTestFotocelula"
                                    << "2.5" << 21 << Cells{0, 25};
        QTest::newRow("timing 2.55 to even") << "TTestFotocelula"
                                             << "2.55" << 21 << Cells{0, 26};
        QTest::newRow("timing 2.45 to even") << "TRetardoLamparaFundida"
                                             << "2.45" << 25 << Cells{0, 24};
        QTest::newRow("ratio") << "TRelacionReductor"
                               << "123.45" << 12 << Cells{0, 0x30, 0x39};
        QTest::newRow("pulses 12abc") << "TPulsosRevolucion"
                                      << "12abc" << 15 << Cells{0, 12};
        QTest::newRow("pulses letters") << "TPulsosRevolucion"
                                        << "abc" << 15 << Cells{0, 0};
        QTest::newRow("offset masked to 16 bits") << "TGradosOffset"
                                                  << "70000" << 221 << Cells{0x11, 0x70};
        QTest::newRow("PWM 300 gives 44") << "TPWMLed"
                                          << "300" << 49 << Cells{44};
        QTest::newRow("failed tours rounded") << "TVueltasError"
                                              << "4.5" << 53 << Cells{4};
        QTest::newRow("LED luminosity unmasked") << "TLuminosidadLeds"
                                                 << "300" << 223 << Cells{300};
        QTest::newRow("disc teeth") << "TDientesDisco"
                                    << "  36 teeth" << 224 << Cells{36};
        QTest::newRow("minutes 999") << "txtTiempoDe"
                                     << "999" << 57 << Cells{3, 0xE7};
        QTest::newRow("minutes unmasked") << "txtTiempoDe"
                                          << "70000" << 57 << Cells{273, 112};
        QTest::newRow("pulse") << "txtDuracionPulsoSincronismo"
                               << "12" << 59 << Cells{12};
        QTest::newRow("night attenuation") << "txtAtenuacionNocturna"
                                           << "40" << 56 << Cells{40};
        QTest::newRow("night attenuation letters") << "txtAtenuacionNocturna"
                                                   << "abc" << 56 << Cells{0};
        QTest::newRow("night attenuation 300 kept on write") << "txtAtenuacionNocturna"
                                                             << "300" << 56 << Cells{300};
        QTest::newRow("identifier ABC") << "TIdentificacion"
                                        << "ABC" << 231 << identifierCells("ABC");
        QTest::newRow("identifier cut to 16")
            << "TIdentificacion"
            << "0123456789ABCDEFGH" << 231 << identifierCells("0123456789ABCDEF");
        QTest::newRow("identifier beyond Latin-1")
            << "TIdentificacion" << QString::fromUtf8("€Ñ") << 231 << Cells{'?', 0xD1} + Cells(14, 32);
        // Placeholders deleted from a zero-padded identifier leave zero bytes behind.
        QTest::newRow("identifier shortened among zero bytes")
            << "TIdentificacion" << QString::fromUtf8("ZA\u2400V") << 231
            << Cells{'Z', 'A', 0, 'V'} + Cells(12, 0);
        QTest::newRow("week made N8") << "TSemanaFabricacion"
                                      << "300" << 247 << Cells{44};
        QTest::newRow("firmware") << "TVersionFirmwareR"
                                  << "52" << 252 << Cells{52};
        QTest::newRow("ID number") << "TNumeroID"
                                   << "258" << 254 << Cells{1, 2};
        QTest::newRow("light ON photodiode 100abc") << "TLuxON"
                                                    << "100abc" << 17 << Cells{0, 214};
        QTest::newRow("light OFF 549") << "TLuxOFF"
                                       << "549" << 19 << Cells{2, 0x7B};
        QTest::newRow("light OFF 550 gives 0") << "TLuxOFF"
                                               << "550" << 19 << Cells{0, 0};
        QTest::newRow("alarm level negative") << "TLuxLamparaFundida"
                                              << "-5" << 23 << Cells{0, 0};
        QTest::newRow("alarm level huge") << "TLuxLamparaFundida" << QString(30, '9') << 23 << Cells{0, 0};
        QTest::newRow("timing letters give 0") << "TTestFotocelula"
                                               << "abc" << 21 << Cells{0, 0};
    }

    void writeStoresCells()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, address);
        QFETCH(Cells, cells);
        Rig rig;
        rig.fields.setText(field, text);
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        QCOMPARE(cellsAt(image, address, int(cells.size())), cells);
    }

    void unmappedCellsStayZero()
    {
        Rig rig;
        rig.fields.setText("TIdentificacion", "XYZ");
        rig.fields.setText("TLuxON", "100");
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        for (int a = 60; a <= 220; ++a)
            QCOMPARE(image[a], qint64(0));
        for (int a = 225; a <= 230; ++a)
            QCOMPARE(image[a], qint64(0));
    }

    void lists_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("indexBefore");
        QTest::addColumn<int>("indexAfter");

        QTest::newRow("main lamp 7 selects entry 2") << "ComboLamparaPrincipal" << 40 << 7 << 0 << 2;
        QTest::newRow("main lamp 1") << "ComboLamparaPrincipal" << 40 << 1 << 0 << 1;
        QTest::newRow("lamp type 255 selects AC") << "ComboTipoLampara1" << 38 << 255 << 0 << 1;
        QTest::newRow("sensor type 5 selects entry 1") << "ComboSensorLuz" << 41 << 5 << 0 << 1;
        QTest::newRow("second port 2") << "ComboFuncion2Puerto" << 46 << 2 << 0 << 2;
        QTest::newRow("function mode 9") << "cmbModofuncionamiento" << 55 << 9 << 0 << 1;
        QTest::newRow("motor 3") << "ComboTipoMotor" << 50 << 3 << 0 << 1;
        QTest::newRow("changer 9 unchanged") << "ComboTipoCambiador" << 27 << 9 << 1 << 1;
        QTest::newRow("changer 3") << "ComboTipoCambiador" << 27 << 3 << 1 << 3;
        QTest::newRow("changer 0") << "ComboTipoCambiador" << 27 << 0 << 2 << 0;
    }

    void lists()
    {
        QFETCH(QString, field);
        QFETCH(int, address);
        QFETCH(int, stored);
        QFETCH(int, indexBefore);
        QFETCH(int, indexAfter);
        Rig rig;
        rig.fields.setListIndex(field, indexBefore);
        ReadMapping(rig.fields, imageWith(address, {stored}), MappingMode::ReadAll);
        QCOMPARE(rig.fields.listIndex(field), indexAfter);
        // and back: the index is stored as it stands
        QCOMPARE(WriteMapping(rig.fields, MappingMode::WriteAll)[address], qint64(indexAfter));
    }

    void changerShowsItsFieldsAndRunsItsRule_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("ruleRuns");

        const QStringList entry2 = {"TTiempoLampara1", "TFotocelulaInterior", "Label(36)",
                                    "Label(30)",       "LabelUnidades(11)",   "LabelUnidades(7)"};
        const QStringList entry3 = {"TPWMLed", "Label(39)", "LabelUnidades(20)"};
        QTest::newRow("CX3") << 2 << entry2 << 2;
        QTest::newRow("LED") << 3 << entry3 << 2;
        QTest::newRow("CX1") << 0 << QStringList() << 2;
        QTest::newRow("unknown 9: rule still runs once") << 9 << QStringList() << 1;
    }

    void changerShowsItsFieldsAndRunsItsRule()
    {
        QFETCH(int, stored);
        QFETCH(QStringList, shown);
        QFETCH(int, ruleRuns);
        const QStringList all = {"TTiempoLampara1", "TFotocelulaInterior", "Label(36)",
                                 "Label(30)",       "LabelUnidades(11)",   "LabelUnidades(7)",
                                 "TPWMLed",         "Label(39)",           "LabelUnidades(20)"};
        Rig rig;
        for (const QString &f : all)
            rig.fields.setVisible(f, false);
        rig.changerRuns = 0;
        rig.motorRuns = 0;
        ReadMapping(rig.fields, imageWith(27, {stored}), MappingMode::ReadAll);
        for (const QString &f : all)
            QCOMPARE(rig.fields.isVisible(f), shown.contains(f));
        QCOMPARE(rig.changerRuns, ruleRuns);
        QCOMPARE(rig.motorRuns, 2); // set, then run again as after a user's choice
    }

    void minutesLimitOnlyFromController()
    {
        Rig rig;
        const ParameterImage image = imageWith(57, {0x04, 0xB0});
        ReadMapping(rig.fields, image, MappingMode::ReadAll);
        QCOMPARE(rig.fields.text("txtTiempoDe"), QString("999"));
        ReadMapping(rig.fields, image, MappingMode::FileOpen);
        QCOMPARE(rig.fields.text("txtTiempoDe"), QString("1200"));
    }

    void textsReplacedByZero_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("width");

        QTest::newRow("minutes") << "txtTiempoDe" << 57 << 2;
        QTest::newRow("pulse") << "txtDuracionPulsoSincronismo" << 59 << 1;
    }

    void textsReplacedByZero()
    {
        QFETCH(QString, field);
        QFETCH(int, address);
        QFETCH(int, width);
        for (MappingMode mode : {MappingMode::WriteAll, MappingMode::FileSave}) {
            Rig rig;
            rig.fields.setText(field, "abc");
            const ParameterImage image = WriteMapping(rig.fields, mode);
            QCOMPARE(rig.fields.text(field), QString("0"));
            QCOMPARE(cellsAt(image, address, width), Cells(width, 0));
            QVERIFY(!::checkImageForWrite(rig.fields, image, allPresent));
        }
    }

    void nightAttenuation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<qint64>("cell");

        const int write = int(MappingMode::WriteAll);
        const int save = int(MappingMode::FileSave);
        QTest::newRow("letters kept, 0") << write << "abc"
                                         << "abc" << qint64(0);
        QTest::newRow("save letters kept, 0") << save << "abc"
                                              << "abc" << qint64(0);
        QTest::newRow("write 300 kept") << write << "300"
                                        << "300" << qint64(300);
        QTest::newRow("save 300 becomes 100") << save << "300"
                                              << "100" << qint64(100);
        QTest::newRow("save 255 stays") << save << "255"
                                        << "255" << qint64(255);
        QTest::newRow("save 255.5 becomes 100") << save << "255.5"
                                                << "100" << qint64(100);
        QTest::newRow("save 12.5 rounds to even") << save << "12.5"
                                                  << "12.5" << qint64(12);
        QTest::newRow("save 300abc is not a number") << save << "300abc"
                                                     << "300abc" << qint64(0);
    }

    void nightAttenuation()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QString, textAfter);
        QFETCH(qint64, cell);
        Rig rig;
        rig.fields.setText("txtAtenuacionNocturna", text);
        const ParameterImage image = WriteMapping(rig.fields, MappingMode(mode));
        QCOMPARE(rig.fields.text("txtAtenuacionNocturna"), textAfter);
        QCOMPARE(image[56], cell);
    }

    void checkBox_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("value");

        QTest::newRow("read 3 sets") << int(MappingMode::ReadAll) << 3 << 1;
        QTest::newRow("read 2 clears") << int(MappingMode::ReadAll) << 2 << 0;
        QTest::newRow("read 1 sets") << int(MappingMode::ReadAll) << 1 << 1;
        QTest::newRow("open 1 sets") << int(MappingMode::FileOpen) << 1 << 1;
        QTest::newRow("open 0 clears") << int(MappingMode::FileOpen) << 0 << 0;
    }

    void checkBox()
    {
        QFETCH(int, mode);
        QFETCH(int, stored);
        QFETCH(int, value);
        Rig rig;
        rig.fields.setValue("CheckBalizaEmergencia", 1 - value);
        ReadMapping(rig.fields, imageWith(54, {stored}), MappingMode(mode));
        QCOMPARE(rig.fields.value("CheckBalizaEmergencia"), value);
        QCOMPARE(WriteMapping(rig.fields, MappingMode::WriteAll)[54], qint64(value));
    }

    void lightLevelsUseTheStoredSensorType_data()
    {
        QTest::addColumn<int>("sensorType");
        QTest::addColumn<int>("listBefore");
        QTest::addColumn<Cells>("raw");
        QTest::addColumn<QString>("lux");
        QTest::addColumn<QString>("rawShown");

        QTest::newRow("photocell while the list showed photodiode") << 1 << 0 << Cells{0, 192} << "100"
                                                                    << "192";
        QTest::newRow("photodiode while the list showed photocell") << 0 << 1 << Cells{0, 214} << "100"
                                                                    << "214";
        QTest::newRow("photodiode 900 shown at its limit") << 0 << 0 << Cells{0x03, 0x84} << "0"
                                                           << "840";
        QTest::newRow("photocell 1000 shown at its limit") << 1 << 0 << Cells{0x03, 0xE8} << "0"
                                                           << "969";
        QTest::newRow("zero, photodiode") << 0 << 1 << Cells{0, 0} << "0"
                                          << "0";
        QTest::newRow("zero, photocell") << 1 << 0 << Cells{0, 0} << "0"
                                         << "0";
    }

    void lightLevelsUseTheStoredSensorType()
    {
        QFETCH(int, sensorType);
        QFETCH(int, listBefore);
        QFETCH(Cells, raw);
        QFETCH(QString, lux);
        QFETCH(QString, rawShown);
        Rig rig;
        rig.fields.setListIndex("ComboSensorLuz", listBefore);
        ParameterImage image = imageWith(17, raw + raw + Cells{0, 0} + raw);
        image[41] = sensorType;
        for (MappingMode mode : {MappingMode::ReadAll, MappingMode::FileOpen}) {
            ReadMapping(rig.fields, image, mode);
            QCOMPARE(rig.fields.listIndex("ComboSensorLuz"), sensorType);
            QCOMPARE(rig.fields.text("TLuxON"), lux);
            QCOMPARE(rig.fields.text("TLuxOFF"), lux);
            QCOMPARE(rig.fields.text("TLuxLamparaFundida"), lux);
            QCOMPARE(rig.fields.text("TLuxONAD"), rawShown);
            QCOMPARE(rig.fields.text("TLuxOFFAD"), rawShown);
        }
    }

    void lightLevelsWithNoSensorChosen()
    {
        Rig rig;
        rig.fields.setListIndex("ComboSensorLuz", -1);
        rig.fields.setText("TLuxON", "100");
        rig.fields.setText("TLuxOFF", "100");
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        QCOMPARE(cellsAt(image, 17, 4), Cells(4, 0));
        QCOMPARE(image[41], qint64(-1));
    }

    void firmwareNotice_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("notices");

        QTest::newRow("47 from the controller") << int(MappingMode::ReadAll) << 47 << 1;
        QTest::newRow("48 from the controller") << int(MappingMode::ReadAll) << 48 << 0;
        QTest::newRow("0 from the controller") << int(MappingMode::ReadAll) << 0 << 1;
        QTest::newRow("47 from a file") << int(MappingMode::FileOpen) << 47 << 0;
    }

    void firmwareNotice()
    {
        QFETCH(int, mode);
        QFETCH(int, firmware);
        QFETCH(int, notices);
        Rig rig;
        ReadMapping(rig.fields, imageWith(252, {firmware}), MappingMode(mode));
        QCOMPARE(rig.fields.messages.size(), notices);
        if (notices)
            QCOMPARE(rig.fields.messages.first(), LoadText(2001));
    }

    void fileOpenLeavesManufacturingFields()
    {
        Rig rig;
        const QStringList manufacturing = {"TSemanaFabricacion", "TAnoFabricacion",   "TNumeroFabricacion",
                                           "TModeloR",           "TVersionFirmwareR", "THardwareR"};
        for (const QString &f : manufacturing)
            rig.fields.setText(f, "keep");
        ParameterImage image{};
        for (int a = 247; a <= 255; ++a)
            image[a] = a - 240;
        ReadMapping(rig.fields, image, MappingMode::FileOpen);
        for (const QString &f : manufacturing)
            QCOMPARE(rig.fields.text(f), QString("keep"));
        QCOMPARE(rig.fields.text("TNumeroID"), QString::number(14 * 256 + 15));
        ReadMapping(rig.fields, image, MappingMode::ReadAll);
        QCOMPARE(rig.fields.text("TModeloR"), QString("11"));
    }

    void germanLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Rig rig;
        ReadMapping(rig.fields, imageWith(0, {0x01, 0xE2, 0x40, 0, 0, 0}), MappingMode::ReadAll);
        QCOMPARE(rig.fields.text("TVelocidadUsuario1"), QString("12,3456"));
        QCOMPARE(rig.fields.text("TVelocidadUsuario2"), QString("0,0000"));

        rig.fields.setText("TTestFotocelula", "2,55");
        rig.fields.setText("TRetardoLamparaFundida", "2.5"); // a period is no decimal separator here
        rig.fields.setText("txtDuracionPulsoSincronismo", "1.5");
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        QCOMPARE(cellsAt(image, 0, 3), Cells({0x01, 0xE2, 0x40}));
        QCOMPARE(cellsAt(image, 21, 2), Cells({0, 26}));
        QCOMPARE(cellsAt(image, 25, 2), Cells({0, 0}));
        QCOMPARE(rig.fields.text("txtDuracionPulsoSincronismo"), QString("0"));
        QCOMPARE(::checkImageForWrite(rig.fields, image, allPresent)->field,
                 QString("TRetardoLamparaFundida"));
    }

    void roundTripOfAWholeImage()
    {
        ParameterImage image{};
        const Cells values = {
            0x01, 0xE2, 0x40, 0x00, 0x00, 0x01, 0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, // speeds
            0x00, 0x30, 0x39, 0x02, 0x58,                                           // ratio, pulses
            0x00, 0xD6, 0x02, 0x7B,                                                 // light ON, OFF
            0x00, 0x19, 0x00, 0x08, 0x01, 0x00, 0x02,                   // delay, alarm, delay, changer
            0x00, 0x0A, 0x00, 0x14, 0x12, 0x34, 0xFF, 0xFE, 0x00, 0x00, // five delays
            0x01, 0x00, 0x02, 0x00,                                     // lamp types, main, sensor
            0x00, 0x7B, 0x00, 0x05, 0x01, 0x00, 0x64, 0x32, 0x01, 0x00, 0x07, 0x03, // LED .. tours
            0x01, 0x01, 0x28, 0x03, 0xE7, 0xFF};                                    // check .. pulse
        for (int a = 0; a < values.size(); ++a)
            image[a] = values.at(a);
        image[221] = 0x01;
        image[222] = 0x68;
        image[223] = 80;
        image[224] = 36;
        const QByteArray id = "ZAV lantern 0042";
        for (int k = 0; k < 16; ++k)
            image[231 + k] = quint8(id.at(k));
        const Cells tail = {12, 24, 0x30, 0x39, 7, 52, 3, 0xAB, 0xCD};
        for (int k = 0; k < tail.size(); ++k)
            image[247 + k] = tail.at(k);

        for (const QLocale &locale :
             {QLocale(QLocale::English), QLocale(QLocale::German, QLocale::Germany)}) {
            QLocale::setDefault(locale);
            Rig rig;
            ReadMapping(rig.fields, image, MappingMode::ReadAll);
            QVERIFY(rig.fields.messages.isEmpty());
            const ParameterImage back = WriteMapping(rig.fields, MappingMode::WriteAll);
            for (int a = 0; a < 256; ++a)
                QVERIFY2(
                    back[a] == image[a],
                    qPrintable(QString("address %1: %2 instead of %3").arg(a).arg(back[a]).arg(image[a])));
            QVERIFY(!::checkImageForWrite(rig.fields, back, allPresent));
            QCOMPARE(WriteMapping(rig.fields, MappingMode::FileSave), back);
        }
    }

    void problems_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<int>("absentFrom");
        QTest::addColumn<int>("absentTo");
        QTest::addColumn<QString>("problemField");
        QTest::addColumn<QString>("problemText");

        QTest::newRow("list without choice") << "cmbModofuncionamiento"
                                             << "" << -1 << -1 << -1 << "cmbModofuncionamiento"
                                             << "Function mode: no choice";
        QTest::newRow("list without choice, absent") << "cmbModofuncionamiento"
                                                     << "" << -1 << 55 << 55 << ""
                                                     << "";
        QTest::newRow("300 LED luminosity") << "TLuminosidadLeds"
                                            << "300" << 0 << -1 << -1 << "TLuminosidadLeds"
                                            << "Luminosidad Leds: 300 is outside 0 to 255";
        QTest::newRow("300 LED luminosity, absent") << "TLuminosidadLeds"
                                                    << "300" << 0 << 223 << 223 << ""
                                                    << "";
        QTest::newRow("negative disc teeth") << "TDientesDisco"
                                             << "-5" << 0 << -1 << -1 << "TDientesDisco"
                                             << "Dientes disco: -5 is outside 0 to 255";
        QTest::newRow("letters in a timing field") << "TTestFotocelula"
                                                   << "2.5s" << 0 << -1 << -1 << "TTestFotocelula"
                                                   << "Daylight sensor delay: not a number";
        QTest::newRow("letters in a timing field with its first cell absent")
            << "TTestFotocelula"
            << "x" << 0 << 21 << 21 << "TTestFotocelula"
            << "Daylight sensor delay: not a number";
        QTest::newRow("letters in a timing field, absent") << "TTestFotocelula"
                                                           << "x" << 0 << 21 << 22 << ""
                                                           << "";
        QTest::newRow("negative speed") << "TVelocidadUsuario1"
                                        << "-2.5" << 0 << -1 << -1 << "TVelocidadUsuario1"
                                        << "User Speed 1: -2.5 is negative";
        QTest::newRow("huge speed") << "TVelocidadUsuario1" << QString(25, '9') << 0 << -1 << -1
                                    << "TVelocidadUsuario1"
                                    << "User Speed 1: " + QString(25, '9') + " is too large";
        QTest::newRow("letters in light level OFF") << "TLuxOFF"
                                                    << "dark" << 0 << -1 << -1 << "TLuxOFF"
                                                    << "Light level Beacon OFF: not a number";
        QTest::newRow("letters in failed tours") << "TVueltasError"
                                                 << "many" << 0 << -1 << -1 << "TVueltasError"
                                                 << "Failed tours: not a number";
        QTest::newRow("minutes too many") << "txtTiempoDe"
                                          << "70000" << 0 << -1 << -1 << "txtTiempoDe"
                                          << "Recovery time after hibernation: 70000 is outside 0 to 65535";
        QTest::newRow("minutes negative, high cell absent")
            << "txtTiempoDe"
            << "-1" << 0 << 57 << 57 << "txtTiempoDe"
            << "Recovery time after hibernation: -1 is outside 0 to 65535";
        QTest::newRow("pulse 300") << "txtDuracionPulsoSincronismo"
                                   << "300" << 0 << -1 << -1 << "txtDuracionPulsoSincronismo"
                                   << "Pulso sincronismo (0-255s.): 300 is outside 0 to 255";
        // a label without a caption is named by its field
        QTest::newRow("night attenuation 256") << "txtAtenuacionNocturna"
                                               << "256" << 0 << -1 << -1 << "txtAtenuacionNocturna"
                                               << "txtAtenuacionNocturna: 256 is outside 0 to 255";
        QTest::newRow("masked numbers pass") << "TPWMLed"
                                             << "300" << 0 << -1 << -1 << ""
                                             << "";
        QTest::newRow("leading-number rows never fail") << "TLuxON"
                                                        << "bright" << 0 << -1 << -1 << ""
                                                        << "";
    }

    void problems()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, listIndex);
        QFETCH(int, absentFrom);
        QFETCH(int, absentTo);
        QFETCH(QString, problemField);
        QFETCH(QString, problemText);
        Rig rig;
        if (listIndex < 0)
            rig.fields.setListIndex(field, listIndex);
        else
            rig.fields.setText(field, text);
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        const auto present = [&](int a) { return a < absentFrom || a > absentTo; };
        const std::optional<WriteProblem> problem = ::checkImageForWrite(rig.fields, image, present);
        QCOMPARE(problem.has_value(), !problemField.isEmpty());
        if (problem) {
            QCOMPARE(problem->field, problemField);
            QCOMPARE(problem->text, problemText);
            QVERIFY(problemText.startsWith(problem->label + ": "));
        }
    }

    void firstProblemInAddressOrder()
    {
        Rig rig;
        rig.fields.setText("TDientesDisco", "999");    // 224
        rig.fields.setListIndex("ComboTipoMotor", -1); // 50
        rig.fields.setText("TTestFotocelula", "soon"); // 21
        rig.fields.setValue("CheckBalizaEmergencia", 1);
        const ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        QCOMPARE(::checkImageForWrite(rig.fields, image, allPresent)->field, QString("TTestFotocelula"));
        const auto without21 = [](int a) { return a != 21 && a != 22; };
        QCOMPARE(::checkImageForWrite(rig.fields, image, without21)->field, QString("ComboTipoMotor"));
        const auto only224 = [](int a) { return a == 224; };
        QCOMPARE(::checkImageForWrite(rig.fields, image, only224)->text,
                 QString("Dientes disco: 999 is outside 0 to 255"));
        QVERIFY(!::checkImageForWrite(rig.fields, image, [](int) { return false; }));
    }

    void checkFindsForeignCells()
    {
        Rig rig;
        ParameterImage image = WriteMapping(rig.fields, MappingMode::WriteAll);
        image[100] = 256;
        image[54] = -3;
        QCOMPARE(::checkImageForWrite(rig.fields, image, allPresent)->text,
                 QString("Emergency lantern: -3 is outside 0 to 255"));
        image[54] = 0;
        QCOMPARE(::checkImageForWrite(rig.fields, image, allPresent)->text,
                 QString("Cell 100: 256 is outside 0 to 255"));
    }
};

QTEST_GUILESS_MAIN(ParameterMapTest)
#include "parametermap_test.moc"
