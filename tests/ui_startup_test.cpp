// Start-up of the window from zav.ini, offscreen and in French: the rewrites of
// the settings file, the port, the tabs, the captions, the calibration.

#include "desktop/startupsettings.h"
#include "text/stringtable.h"
#include "ui/mainwindow.h"
#include "ui/splashwindow.h"
#include "ui/widgetfields.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/captiontable.h"
#include "support/pty.h"
#include "support/screenshots.h"

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Pty m_com1;
    Pty m_com3;
    StartupSettings m_settings;
    std::unique_ptr<frmMain> m_window;

    QString iniPath() const { return m_dir.filePath(QStringLiteral("zav.ini")); }

    // Main, steps 2 and 3: read the file and load the window.
    WidgetFields &start(bool calibrate = false)
    {
        const SettingsRead read = readSettingsFile(iniPath());
        m_settings = read.settings;
        m_window = std::make_unique<frmMain>(m_settings, iniPath());
        m_window->setCalibrationEnabled(calibrate);
        m_window->Form_Load(read.problem);
        return m_window->fields();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!m_com1.slave.isEmpty() && !m_com3.slave.isEmpty());
        qputenv("ZAV_COM1", m_com1.slave.toLocal8Bit());
        qputenv("ZAV_COM3", m_com3.slave.toLocal8Bit());
        qputenv("ZAV_COM4", "/dev/zav-no-such-port");
    }

    void cleanup()
    {
        m_window.reset();
        QFile::remove(iniPath());
    }

    void splashShowsProductAndVersion()
    {
        frmSplash splash;
        splash.Form_Load();
        QCOMPARE(splash.lblVersion()->text(), QStringLiteral("Version 1.3.5"));
        QCOMPARE(splash.lblProductName()->text(), QStringLiteral("ZAV"));
        QVERIFY(splash.grab().save(screenshotPath(QStringLiteral("zav-splash.png"))));
    }

    void missingFileStartsOnDefaultsAndWritesThem()
    {
        WidgetFields &f = start();
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("ZAV 1.3.5  "));
        QCOMPARE(readFile(iniPath()), QByteArray("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
        QCOMPARE(f.listEntries(QStringLiteral("TabStrip1")).size(), 4);
        QCOMPARE(f.text(QStringLiteral("ComboCom")), QStringLiteral("Com1:"));
        QVERIFY2(f.statusLine().contains(QLatin1String("defaults")), qPrintable(f.statusLine()));
    }

    void oneLineFileWithFactoryCode()
    {
        writeFile(iniPath(), "3,-5,70000,\"34\",731");
        WidgetFields &f = start();
        QCOMPARE(f.text(QStringLiteral("ComboCom")), QStringLiteral("Com3:"));
        QCOMPARE(f.statusLine(), QStringLiteral("Serial Port  3"));
        QCOMPARE(f.listIndex(QStringLiteral("ComboIdioma")), 1);
        QCOMPARE(f.listEntries(QStringLiteral("TabStrip1")).size(), 5);
        QCOMPARE(readFile(iniPath()), QByteArray("3\r\n-5\r\n70000\r\n\"34\"\r\n731\r\n"));
    }

    void otherLanguageCodesAreStoredAsEnglish_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("33") << QByteArray("33");
        QTest::newRow("empty") << QByteArray("\"\"");
        QTest::newRow("unquoted 1") << QByteArray("1");
    }

    void otherLanguageCodesAreStoredAsEnglish()
    {
        QFETCH(QByteArray, code);
        writeFile(iniPath(), "1,0,0," + code + ",0\r\n");
        WidgetFields &f = start();
        QCOMPARE(f.listIndex(QStringLiteral("ComboIdioma")), 0);
        QCOMPARE(readFile(iniPath()), QByteArray("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
    }

    void portOutsideTheListEndsOnComOne_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("10") << QByteArray("10,0,0,\"1\",0");
        QTest::newRow("0") << QByteArray("0,0,0,\"1\",0");
        QTest::newRow("missing device") << QByteArray("4,0,0,\"1\",0");
    }

    void portOutsideTheListEndsOnComOne()
    {
        QFETCH(QByteArray, file);
        writeFile(iniPath(), file);
        WidgetFields &f = start();
        QVERIFY(m_window->isVisible());
        QCOMPARE(f.text(QStringLiteral("ComboCom")), QStringLiteral("Com1:"));
        QVERIFY(readFile(iniPath()).startsWith("1\r\n"));
    }

    void unwritableFileIsReportedAndStartUpGoesOn()
    {
        const QString blocked = m_dir.filePath(QStringLiteral("no-such-dir/zav.ini"));
        const SettingsRead read = readSettingsFile(blocked);
        m_settings = read.settings;
        m_window = std::make_unique<frmMain>(m_settings, blocked);
        m_window->setCalibrationEnabled(false);
        m_window->Form_Load(read.problem);
        QVERIFY(m_window->isVisible());
        const QString status = m_window->fields().statusLine();
        QVERIFY2(status.contains(QLatin1String("could not be written")), qPrintable(status));
    }

    void captionsFollowTheFrenchLocale()
    {
        WidgetFields &f = start();
        QCOMPARE(f.caption(QStringLiteral("CLeer")), QStringLiteral("Lire ZAV"));
        QCOMPARE(f.listEntries(QStringLiteral("TabStrip1")).value(2), QStringLiteral("Telecommande"));
        QCOMPARE(f.caption(QStringLiteral("FrameP(3)")), QStringLiteral("Eclats"));
        QCOMPARE(f.caption(QStringLiteral("Label(21)")), QStringLiteral("An  fabrication"));
        // Fixed captions stay as designed.
        QCOMPARE(f.caption(QStringLiteral("CModoVerboso")), QStringLiteral("On"));
        QCOMPARE(f.caption(QStringLiteral("Command1")), QStringLiteral("Off"));
        QCOMPARE(f.caption(QStringLiteral("Frame1(2)")), QStringLiteral("Fallo Red"));
        QVERIFY(m_window->helpFile().endsWith(QLatin1String("AideZAV.chm")));
    }

    // Every caption of the window in French: the French text of its ID, or its
    // fixed text as designed.
    void everyCaptionInFrench()
    {
        WidgetFields &f = start();
        for (const ExpectedCaption &expected : kExpectedCaptions) {
            const QString control = QString::fromLatin1(expected.control);
            const QString want = expected.id ? LoadText(expected.id, LanguageVersion::French)
                                             : QString::fromUtf8(expected.fixed);
            QVERIFY2(
                f.caption(control) == want,
                qPrintable(QStringLiteral("%1: \"%2\", not \"%3\"").arg(control, f.caption(control), want)));
        }
        QStringList tabs;
        for (int i = 0; i < 4; ++i)
            tabs << LoadText(kExpectedTabIds[i], LanguageVersion::French);
        QCOMPARE(f.listEntries(QStringLiteral("TabStrip1")), tabs);
        for (const ExpectedList &list : kExpectedLists) {
            QStringList entries;
            for (int i = 0; i < 3; ++i) {
                if (i == 0 && list.fixedFirst)
                    entries << QString::fromUtf8(list.fixedFirst);
                else if (list.ids[i] != 0)
                    entries << LoadText(list.ids[i], LanguageVersion::French);
            }
            QCOMPARE(f.listEntries(QString::fromLatin1(list.list)), entries);
        }
    }

    void calibrationIsTheLastStep()
    {
        writeFile(iniPath(), "1,0,0,\"1\",0");
        WidgetFields &f = start(true);
        QVERIFY(m_window->delay().DelayLoopCount() > 0);
        const QString status = f.statusLine();
        QVERIFY2(status.startsWith(QLatin1String("Index =  ")) ||
                     status.startsWith(QLatin1String("Out speed computer ")),
                 qPrintable(status));
    }

    // In a terminal with no display at all: asking for the window system would abort.
    // The three programs tell their version alike.
    void helpAndVersionWithoutADisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("says");
        const QString version =
            QStringLiteral("%1.%2.%3").arg(ZAV_VERSION_MAJOR).arg(ZAV_VERSION_MINOR).arg(ZAV_VERSION_PATCH);
        QTest::newRow("--help") << "zav"
                                << "--help"
                                << "--demo";
        QTest::newRow("-h") << "zav"
                            << "-h"
                            << "--trace";
        QTest::newRow("--version") << "zav"
                                   << "--version" << QStringLiteral("ZAV %1\n").arg(version);
        QTest::newRow("zavctl --version") << "tools/zavctl/zavctl"
                                          << "--version" << QStringLiteral("zavctl %1\n").arg(version);
        QTest::newRow("zav-sim --version") << "tools/zav-sim/zav-sim"
                                           << "--version" << QStringLiteral("zav-sim %1\n").arg(version);
    }

    void helpAndVersionWithoutADisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QFETCH(QString, says);
        QProcess zav;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        zav.setProcessEnvironment(env);
        zav.start(QStringLiteral(ZAV_SIM_PATH).replace(QStringLiteral("tools/zav-sim/zav-sim"), program),
                  {option});
        QVERIFY2(zav.waitForFinished(10000), qPrintable(zav.errorString()));
        QCOMPARE(zav.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zav.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(zav.readAllStandardOutput());
        QVERIFY2(out.contains(says), qPrintable(out + zav.readAllStandardError()));
    }
};

int main(int argc, char *argv[])
{
    // The string table follows the locale of the messages.
    qputenv("LC_ALL", "fr_FR.UTF-8");
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ui_startup_test.moc"
