#include "desktop/startupsettings.h"
#include "device/capabilitymap.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/parametermap.h"
#include "device/rules.h"
#include "fields/memoryfields.h"
#include "files/parameterfile.h"
#include "files/parameterfileops.h"
#include "files/wholefilewriter.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"
#include "support/virtuallink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The helpers below serve the Unix-only cases.
[[maybe_unused]] QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// True when the text holds nothing a terminal or a message box would act on.
bool isPrintable(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    });
}

// The controller in virtual time with the fields, the device operations and the file procedures.
struct DeviceRig : VirtualLink
{
    CapabilityMap map;
    DeviceOperations ops{fields, link, map, 0};
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ParameterFileOps files{fields, editor};

    DeviceRig()
    {
        installDependencyRules(fields);
        fillParameterLists(fields);
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
    }
};

// Runs the window's Save or the zav.ini rewrite, which write through one routine;
// true when it says it saved.
[[maybe_unused]] bool runWriter(bool settingsFile, const QString &path, QString *said)
{
    if (settingsFile)
        return writeSettingsFile(path, StartupSettings{}, said);
    Rig rig;
    rig.files.askSaveName = [&] { return path; };
    rig.files.GuardarArchivoZAV();
    *said = rig.fields.messages.join(QLatin1Char('|'));
    const bool saved = rig.fields.statusHistory.contains(QStringLiteral(" Saved file"));
    return saved && rig.fields.messages.isEmpty();
}

[[maybe_unused]] qint64 writtenSize(bool settingsFile)
{
    if (settingsFile)
        return formatSettings(StartupSettings{}).size();
    Rig rig;
    return ParameterFile::encode(WriteMapping(rig.fields, MappingMode::FileSave), rig.state).size();
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
        QCOMPARE(lines[256], QByteArray("255\r")); // line 257: colour of row 1
        QCOMPARE(lines[257], QByteArray("45\r"));  // line 258: row 1, column 1
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
        for (const char *name :
             {"TVelocidadUsuario1", "TTestFotocelula", "TLuxON", "TNumeroID", "txtTiempoDe"})
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

    // Writes that fail part-way (here: a file size limit that stops the last bytes,
    // which Qt buffers until the final flush) leave the old file exactly as it was,
    // leave no new or temporary file behind, and say so.
    void failingWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("settingsFile"); // zav.ini rather than the window's Save
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("shortBy"); // bytes the limit leaves out; -1 nothing fits
        QTest::newRow("Save, last byte") << false << true << 1;
        QTest::newRow("Save, last byte, no old file") << false << false << 1;
        QTest::newRow("Save, nothing fits") << false << true << -1;
        QTest::newRow("Save, everything fits") << false << true << 0;
        QTest::newRow("zav.ini, last byte") << true << true << 1;
        QTest::newRow("zav.ini, everything fits") << true << true << 0;
    }

    void failingWriteKeepsTheOldFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs a file size limit");
#else
        QFETCH(bool, settingsFile);
        QFETCH(bool, existing);
        QFETCH(int, shortBy);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("target"));
        const QByteArray old = "old content\r\n";
        if (existing)
            writeTemp(dir, old, "target");
        const QStringList before = filesIn(dir.path());
        const qint64 size = writtenSize(settingsFile);

        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit limit = saved;
        limit.rlim_cur = rlim_t(shortBy < 0 ? 0 : size - shortBy);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QString said;
        const bool ok = runWriter(settingsFile, path, &said);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        if (shortBy == 0) {
            QVERIFY2(ok, qPrintable(said));
            QCOMPARE(contentOf(path).size(), size);
            return;
        }
        QVERIFY(!ok);
        QVERIFY2(!said.isEmpty(), "the failure is not reported");
        QCOMPARE(filesIn(dir.path()), before);
        if (existing)
            QCOMPARE(contentOf(path), old);
#endif
    }

    // The same on a real file system that is full: an 8 KiB tmpfs mounted for the test.
    void saveOnAFullFileSystem()
    {
#ifndef Q_OS_LINUX
        QSKIP("needs Linux tmpfs");
#else
        if (geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        QTemporaryDir dir;
        const QByteArray mountPoint = QFile::encodeName(dir.path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=8k") != 0)
            QSKIP("cannot mount a tmpfs here");
        struct Unmount
        {
            QByteArray path;
            ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
        } unmount{mountPoint};

        const QString existing = dir.filePath(QStringLiteral("existing.zav"));
        const QString ini = dir.filePath(QStringLiteral("zav.ini"));
        Rig rig;
        rig.fields.setText("TNumeroID", "4660");
        QString error;
        QVERIFY2(rig.files.saveTo(existing, &error), qPrintable(error));
        StartupSettings settings;
        settings.PortNumber = 3;
        QVERIFY2(writeSettingsFile(ini, settings, &error), qPrintable(error));
        const QByteArray oldFile = contentOf(existing);
        const QByteArray oldIni = contentOf(ini);
        {
            QFile fill(dir.filePath(QStringLiteral("fill")));
            QVERIFY(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(512, 'x');
            while (fill.write(block) == block.size()) {
            }
        }
        const QStringList before = filesIn(dir.path());

        rig.fields.setText("TNumeroID", "1");
        for (const QString &name : {QStringLiteral("existing.zav"), QStringLiteral("new.zav")}) {
            rig.fields.messages.clear();
            rig.fields.statusHistory.clear();
            rig.files.askSaveName = [&] { return dir.filePath(name); };
            rig.files.GuardarArchivoZAV();
            QCOMPARE(rig.fields.messages.size(), 1);
            QVERIFY2(rig.fields.messages.first().contains(QStringLiteral("Cannot save")),
                     qPrintable(rig.fields.messages.first()));
            QVERIFY(!rig.fields.statusHistory.contains(QStringLiteral(" Saved file")));
        }
        settings.PortNumber = 4;
        QVERIFY(!writeSettingsFile(ini, settings, &error));
        QVERIFY(!error.isEmpty());

        QCOMPARE(filesIn(dir.path()), before);
        QCOMPARE(contentOf(existing), oldFile);
        QCOMPARE(contentOf(ini), oldIni);
#endif
    }

    // Odd and hostile files are refused before they are read, or read right; a
    // message that quotes a line shows its control characters escaped.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("kind"); // "bytes", "fifo", "folder", "device", "large"
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("mentions"); // empty: the file loads
        QTest::addColumn<int>("cell4");        // image cell 4 when it loads

        QTest::newRow("ESC [2J in a line") << "bytes" << fileWith({{5, "\x1b[2J"}}) << "\\x1B[2J" << 0;
        QTest::newRow("NUL, CR and C1 in a line")
            << "bytes" << fileWith({{5, QByteArray("1\0\r\x9b", 4)}}) << "1\\x00\\x0D\\x9B" << 0;
        QTest::newRow("markup in a line") << "bytes" << fileWith({{5, "<b>5</b>"}}) << "<b>5</b>" << 0;
        QTest::newRow("leading zeros")
            << "bytes" << fileWith({{5, "000000000000000000000000000005"}}) << "" << 5;
        QTest::newRow("leading zeros, negative")
            << "bytes" << fileWith({{5, "-0000000000000000000000000007"}}) << "" << -7;
        QTest::newRow("19 digits") << "bytes" << fileWith({{5, "1000000000000000000"}}) << "Line 5" << 0;
        QTest::newRow("a FIFO") << "fifo" << QByteArray() << "not a regular file" << 0;
        QTest::newRow("a folder") << "folder" << QByteArray() << "folder" << 0;
        QTest::newRow("/dev/zero (Windows: nul.zav)") << "device" << QByteArray() << "not a regular file" << 0;
        QTest::newRow("over 1 MiB") << "large" << QByteArray() << "1048576" << 0;
    }

    void hostileFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, mentions);
        QFETCH(int, cell4);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("in.zav"));
        if (kind == QLatin1String("bytes")) {
            writeTemp(dir, bytes);
        } else if (kind == QLatin1String("large")) {
            writeTemp(dir, fileWith({}) + QByteArray(ParameterFile::kMaxFileSize, '\n'));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("in.zav")));
        } else if (kind == QLatin1String("device")) {
#ifdef Q_OS_WIN
            path = dir.filePath(QStringLiteral("nul.zav"));
#else
            path = QStringLiteral("/dev/zero");
#endif
        } else {
#ifdef Q_OS_UNIX
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#else
            QSKIP("no FIFOs here");
#endif
        }

        Rig rig;
        rig.fields.setText("TNumeroID", "77");
        rig.files.askOpenName = [&] { return path; };
        QElapsedTimer timer;
        timer.start();
        rig.files.AbrirArchivoZAV();
        QVERIFY(timer.elapsed() < 5000); // a FIFO without a writer must not block
        if (mentions.isEmpty()) {
            QCOMPARE(rig.fields.messages, QStringList());
            QCOMPARE(ParameterFile::readFile(path).content->image[4], qint64(cell4));
            return;
        }
        QCOMPARE(rig.fields.messages.size(), 1);
        const QString message = rig.fields.messages.first();
        QVERIFY2(message.contains(mentions), qPrintable(message));
        QVERIFY2(isPrintable(message), qPrintable(message));
        QCOMPARE(rig.fields.text("TNumeroID"), QStringLiteral("77"));
        // The decoder's own message, as zavctl write and diff print it.
        const ParameterFile::DecodeResult read = ParameterFile::readFile(path);
        QVERIFY(!read.content);
        QCOMPARE(read.error, message);
    }

    // Every byte value of the identifier goes from the controller to the field, to
    // the file, back through an open and to the controller again unchanged.
    void identifierBytesRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (int first = 0; first < 256; first += 16) {
            QByteArray bytes;
            for (int k = 0; k < 16; ++k)
                bytes += char(first + k);
            QTest::addRow("bytes %d to %d", first, first + 15) << bytes;
        }
        QTest::newRow("a name and zero bytes") << QByteArray("ZAV-7\0\0\0\0\0\0\0\0\0\0\0", 16);
        QTest::newRow("zero bytes between") << QByteArray("\0A\0\xff \0B\0\0\0\0\0\0\0\0\x80", 16);
    }

    void identifierBytesRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        DeviceRig rig;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("id.zav"));
        for (int k = 0; k < 16; ++k) {
            rig.port.setPresent(231 + k);
            rig.port.params[size_t(231 + k)] = quint8(bytes[k]);
        }
        rig.ops.CLeer_Click();
        QCOMPARE(rig.fields.text("TIdentificacion").size(), 16);
        QString error;
        QVERIFY2(rig.files.saveTo(path, &error), qPrintable(error));
        const QList<QByteArray> lines = linesOf(contentOf(path));
        for (int k = 0; k < 16; ++k)
            QCOMPARE(lines[231 + k], QByteArray::number(quint8(bytes[k])) + "\r");

        rig.fields.setText("TIdentificacion", QString());
        for (int k = 0; k < 16; ++k)
            rig.port.params[size_t(231 + k)] = 0xEE;
        QVERIFY2(rig.files.openFrom(path, &error), qPrintable(error));
        rig.port.frames.clear();
        rig.ops.CEscribir_Click();
        QList<QByteArray> expected;
        for (int k = 0; k < 16; ++k)
            expected << encodeRequest({0, 2, quint8(231 + k), quint8(bytes[k])});
        QCOMPARE(rig.framesOf(2), expected);
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
