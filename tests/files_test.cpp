#include "device/parameterlists.h"
#include "device/parametermap.h"
#include "device/rules.h"
#include "fields/memoryfields.h"
#include "files/parameterfile.h"
#include "files/parameterfileops.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Rig
{
    MemoryFields fields;
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ParameterFileOps files{fields, editor};

    Rig()
    {
        installDependencyRules(fields);
        fillParameterLists(fields);
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        for (int i = 1; i <= 8; ++i)
            fields.setCaption(arrayName("LColor", i), QString::number(i));
    }
};

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    return lines;
}

// A file as bytes: the image, then every row's colour and 32 entries.
QByteArray fileWith(const QHash<int, QByteArray> &lineOverrides, int lineCount = ParameterFile::kLines)
{
    QByteArray out;
    for (int line = 1; line <= lineCount; ++line) {
        QByteArray value = "0";
        if (line > 256 && (line - 257) % 33 != 0)
            value = "511";
        out += lineOverrides.value(line, value) + "\r\n";
    }
    return out;
}

QString writeTemp(const QTemporaryDir &dir, const QByteArray &bytes, const char *name = "in.zav")
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

class FilesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void encodeLaysOutColoursAndEntries()
    {
        ParameterImage image{};
        image[0] = -1;
        image[56] = 300;
        image[255] = 7;
        SectorState state;
        state.colours.setColour(1, 255);
        state.colours.setColour(8, 0xFF0000);
        state.table.setEntry(1, 1, 45);
        state.table.setEntry(2, 32, 1000);
        state.table.setEntry(8, 32, 359);
        const QByteArray bytes = ParameterFile::encode(image, state);
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> lines = linesOf(bytes);
        QCOMPARE(lines.size(), 520);
        QCOMPARE(lines[0], QByteArray("-1\r"));
        QCOMPARE(lines[56], QByteArray("300\r"));
        QCOMPARE(lines[255], QByteArray("7\r"));
        QCOMPARE(lines[256], QByteArray("255\r"));      // line 257: colour of row 1
        QCOMPARE(lines[257], QByteArray("45\r"));       // line 258: row 1, column 1
        QCOMPARE(lines[258], QByteArray("511\r"));
        QCOMPARE(lines[ParameterFile::entryLine(2, 32) - 1], QByteArray("1000\r"));
        QCOMPARE(lines[ParameterFile::colourLine(8) - 1], QByteArray("16711680\r"));
        QCOMPARE(lines[519], QByteArray("359\r"));
    }

    void decodeRefusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("300 lines") << fileWith({}, 300) << "300";
        QTest::newRow("empty file") << QByteArray() << "line 0";
        QTest::newRow("letters in an image line") << fileWith({{18, "12abc"}}) << "Line 18";
        QTest::newRow("decimal in an image line") << fileWith({{3, "2.5"}}) << "Line 3";
        QTest::newRow("list below -1") << fileWith({{39, "-2"}}) << "Line 39";
        QTest::newRow("check box 5") << fileWith({{55, "5"}}) << "Line 55";
        QTest::newRow("colour overflow") << fileWith({{257, "99999999999"}}) << "Line 257";
    }

    void decodeRefusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mentions);
        const ParameterFile::DecodeResult result = ParameterFile::decode(bytes);
        QVERIFY(!result.content);
        QVERIFY2(result.error.contains(mentions), qPrintable(result.error));
    }

    void decodeAcceptsLongFilesAndOddCells()
    {
        QByteArray bytes = fileWith({{1, "-7"}, {57, "300"}, {39, "-1"}, {258, "45abc"}}, 530);
        const ParameterFile::DecodeResult result = ParameterFile::decode(bytes);
        QVERIFY2(result.content, qPrintable(result.error));
        QCOMPARE(result.content->image[0], qint64(-7));
        QCOMPARE(result.content->image[56], qint64(300));
        QCOMPARE(result.content->entries[1][1], qint64(45));
    }

    void openChangesNothingOnABadFile()
    {
        Rig rig;
        QTemporaryDir dir;
        rig.fields.setText("TLuxON", "100");
        rig.state.table.setEntry(1, 1, 45);
        const QString path = writeTemp(dir, fileWith({{1, "5"}}, 300));
        rig.files.askOpenName = [&] { return path; };
        rig.files.AbrirArchivoZAV();
        QCOMPARE(rig.fields.messages.size(), 1);
        QVERIFY(rig.fields.messages.first().contains("300"));
        QCOMPARE(rig.fields.text("TLuxON"), QStringLiteral("100"));
        QCOMPARE(rig.state.table.entry(1, 1), 45);
        QVERIFY(rig.fields.statusHistory.isEmpty());
    }

    void cancelledDialogsDoNothing()
    {
        Rig rig;
        rig.files.askOpenName = [] { return QString(); };
        rig.files.askSaveName = [] { return QString(); };
        rig.files.AbrirArchivoZAV();
        rig.files.GuardarArchivoZAV();
        QVERIFY(rig.fields.messages.isEmpty());
        QVERIFY(rig.fields.statusHistory.isEmpty());
    }

    void gridLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("entry");
        QTest::newRow("0 is an angle") << QByteArray("0") << "000" << 0;
        QTest::newRow("7") << QByteArray("7") << "007" << 7;
        QTest::newRow("360") << QByteArray("360") << "360" << 360;
        QTest::newRow("361") << QByteArray("361") << "" << 511;
        QTest::newRow("511") << QByteArray("511") << "" << 511;
        QTest::newRow("negative") << QByteArray("-4") << "" << 511;
    }

    void gridLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, cell);
        QFETCH(int, entry);
        Rig rig;
        QTemporaryDir dir;
        // Row 2, column 5; its left neighbour holds an angle so a leave-cell check there keeps it.
        const QString path = writeTemp(dir, fileWith({{ParameterFile::entryLine(2, 4), "10"},
                                                      {ParameterFile::entryLine(2, 5), line},
                                                      {ParameterFile::colourLine(3), "255"}}));
        rig.files.askOpenName = [&] { return path; };
        rig.files.AbrirArchivoZAV();
        QVERIFY(rig.fields.messages.isEmpty());
        QCOMPARE(rig.grid.cellText(2, 5), cell);
        QCOMPARE(rig.state.table.entry(2, 5), entry);
        QCOMPARE(rig.state.colours.colour(3), 255);
        // The labels show the loaded colour, so a colour write sends it.
        QCOMPARE(rig.fields.caption("LColor(3)"), QStringLiteral("255"));
        QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    }

    // The leave-cell check runs on the current cell (1, 1) after the open; a 360
    // it blanks there must not stay behind in the table to be written or saved.
    void blanked360AtTheCurrentCellLeavesNoEntry()
    {
        Rig rig;
        QTemporaryDir dir;
        const QString path = writeTemp(dir, fileWith({{ParameterFile::entryLine(1, 1), "360"}}));
        QString error;
        QVERIFY2(rig.files.openFrom(path, &error), qPrintable(error));
        QCOMPARE(rig.grid.currentRow(), 1);
        QCOMPARE(rig.grid.currentColumn(), 1);
        QCOMPARE(rig.grid.cellText(1, 1), QString());
        QCOMPARE(rig.state.table.entry(1, 1), 511);
    }

    void sensorTypeFromTheFileConvertsLightLevels()
    {
        Rig rig;
        QTemporaryDir dir;
        rig.fields.setListIndex("ComboSensorLuz", 0);
        // Cells 17, 18 hold photocell value 192 (100 lux); cell 41 the sensor type 5.
        const QString path = writeTemp(dir, fileWith({{18, "0"}, {19, "192"}, {42, "5"}}));
        QString error;
        QVERIFY2(rig.files.openFrom(path, &error), qPrintable(error));
        QCOMPARE(rig.fields.listIndex("ComboSensorLuz"), 1);
        QCOMPARE(rig.fields.text("TLuxON"), QStringLiteral("100"));
    }

    void nightAttenuationAbove255IsSavedAs100()
    {
        Rig rig;
        QTemporaryDir dir;
        const QString in = writeTemp(dir, fileWith({{57, "300"}}));
        QString error;
        QVERIFY(rig.files.openFrom(in, &error));
        QCOMPARE(rig.fields.text("txtAtenuacionNocturna"), QStringLiteral("300"));
        const QString out = dir.filePath("out.zav");
        QVERIFY(rig.files.saveTo(out, &error));
        QCOMPARE(rig.fields.text("txtAtenuacionNocturna"), QStringLiteral("100"));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(linesOf(f.readAll())[56], QByteArray("100\r"));
        QCOMPARE(rig.fields.statusLine(), QStringLiteral(" Saved file"));
    }

    void saveThenOpenGivesBackEverything()
    {
        Rig rig;
        QTemporaryDir dir;
        rig.fields.setText("TVelocidadUsuario1", "12.3456");
        rig.fields.setText("TTestFotocelula", "2.5");
        rig.fields.setText("TLuxON", "100");
        rig.fields.setText("TNumeroID", "4660");
        rig.fields.setText("TIdentificacion", "LIGHTHOUSE 7");
        rig.fields.setText("txtTiempoDe", "1200");
        rig.fields.setValue("CheckBalizaEmergencia", 1);
        rig.fields.setListIndex("ComboTipoMotor", 1);
        rig.fields.setListIndex("cmbModofuncionamiento", 1);
        rig.state.colours.setColour(2, 0x00FF00);
        rig.state.table.setEntry(1, 1, 0);
        rig.state.table.setEntry(1, 2, 90);
        const QString path = dir.filePath("round.zav");
        QString error;
        QVERIFY2(rig.files.saveTo(path, &error), qPrintable(error));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = linesOf(f.readAll());
        QCOMPARE(lines.size(), 520);
        for (int line = 61; line <= 221; ++line)
            QCOMPARE(lines[line - 1], QByteArray("0\r"));
        for (int line = 226; line <= 231; ++line)
            QCOMPARE(lines[line - 1], QByteArray("0\r"));
        // The ID number travels in cells 254 and 255.
        QCOMPARE(lines[254], QByteArray("18\r"));
        QCOMPARE(lines[255], QByteArray("52\r"));

        Rig other;
        QVERIFY2(other.files.openFrom(path, &error), qPrintable(error));
        for (const char *name : {"TVelocidadUsuario1", "TTestFotocelula", "TLuxON", "TNumeroID", "txtTiempoDe"})
            QCOMPARE(other.fields.text(name), rig.fields.text(name));
        QCOMPARE(other.fields.text("TIdentificacion").trimmed(), QStringLiteral("LIGHTHOUSE 7"));
        QCOMPARE(other.fields.value("CheckBalizaEmergencia"), 1);
        QCOMPARE(other.fields.listIndex("ComboTipoMotor"), 1);
        QCOMPARE(other.fields.listIndex("cmbModofuncionamiento"), 1);
        QCOMPARE(other.state.colours.colour(2), 0x00FF00);
        QCOMPARE(other.state.table.entry(1, 1), 0);
        QCOMPARE(other.grid.cellText(1, 2), QStringLiteral("090"));
        QCOMPARE(ParameterFile::encode(WriteMapping(other.fields, MappingMode::FileSave), other.state),
                 ParameterFile::encode(WriteMapping(rig.fields, MappingMode::FileSave), rig.state));
    }

    void failedSaveSaysSoAndKeepsTheOldFile()
    {
        Rig rig;
        QTemporaryDir dir;
        const QString path = dir.filePath("missing-folder/out.zav");
        rig.files.askSaveName = [&] { return path; };
        rig.files.GuardarArchivoZAV();
        QCOMPARE(rig.fields.messages.size(), 1);
        QVERIFY(!rig.fields.statusHistory.contains(" Saved file"));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "files_test.moc"
