// The ZAV configuration tool: splash, zav.ini, the main window.
//
//   zav [--ini PATH] [--demo [--profile NAME]] [--trace FILE]
//
// --demo starts the controller simulator zav-sim as a child process and puts
// "Com1:" on its pseudo-terminal for this run; where there are no
// pseudo-terminals (Windows) the same simulated controller runs inside this
// process behind "Com1:". --trace appends the traffic record (every frame on the
// line) to FILE as it goes ("-": standard error). SIGTERM (logout) and SIGINT
// close the window as its close box does.

#include "desktop/demoport.h"
#include "desktop/simulatedport.h"
#include "desktop/startupsettings.h"
#include "desktop/stopsignals.h"
#include "desktop/tracefile.h"
#include "link/portlookup.h"
#include "ui/mainwindow.h"
#include "ui/splashwindow.h"
#include "ui/translations.h"
#include "ui/windowstop.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
constexpr bool kDemoInProcess = true;
#else
constexpr bool kDemoInProcess = false;
#endif

QString findSimulator()
{
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString &candidate :
         {dir + QLatin1String("/zav-sim"), dir + QLatin1String("/tools/zav-sim/zav-sim")}) {
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return QStandardPaths::findExecutable(QStringLiteral("zav-sim"));
}

// Starts zav-sim with the profile and returns the device path it prints first;
// empty with *error set when it does not come up.
QString startSimulator(QProcess &sim, const QString &profile, QString *error)
{
    const QString program = findSimulator();
    if (program.isEmpty()) {
        *error = QCoreApplication::translate("main", "zav-sim not found beside zav or on the PATH");
        return {};
    }
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Its control input is a pipe from this process that stays open and silent:
    // when this process ends, even killed, the pipe ends and so does the simulator.
    sim.start(program, {QStringLiteral("--control"), profile});
    if (!sim.waitForStarted(5000)) {
        *error = QCoreApplication::translate("main", "zav-sim does not start: %1").arg(sim.errorString());
        return {};
    }
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(5000)) {
            *error = QCoreApplication::translate("main", "zav-sim gave no device path (profile \"%1\")")
                         .arg(profile);
            sim.kill();
            sim.waitForFinished(1000);
            return {};
        }
    }
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

void setApplicationNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("ZAV"));
    QCoreApplication::setOrganizationName(QStringLiteral("ZAV"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(ZAV_VERSION_MAJOR).arg(ZAV_VERSION_MINOR).arg(ZAV_VERSION_PATCH));
}

const QCommandLineOption iniOption(QStringLiteral("ini"), QStringLiteral("Settings file instead of zav.ini."),
                                   QStringLiteral("path"));
const QCommandLineOption demoOption(QStringLiteral("demo"),
                                    QStringLiteral("Run against the controller simulator on Com1:."));
const QCommandLineOption
    profileOption(QStringLiteral("profile"),
                  QStringLiteral("Simulator profile for --demo (full, cx2, led, empty)."),
                  QStringLiteral("name"), QStringLiteral("full"));
const QCommandLineOption traceOption(
    QStringLiteral("trace"),
    QStringLiteral("Append the traffic record (every frame on the line) to a file; - for standard error."),
    QStringLiteral("file"));

void setUpParser(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("ZAV lantern controller configuration tool"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({iniOption, demoOption, profileOption, traceOption});
}

#ifdef Q_OS_WIN
// A window program gets no console of its own: --help and --version answer
// through the output handle it was started with, else in the console it was
// started from. False when there is neither (started from the desktop).
bool answerOnConsole(const QString &text)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return false;
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return false;
    }
    const QByteArray bytes = text.toLocal8Bit();
    DWORD written = 0;
    return WriteFile(out, bytes.constData(), DWORD(bytes.size()), &written, nullptr) != 0;
}
#endif

// --help and --version need no display: they are answered before the window
// system is asked for one (which aborts where there is none).
void answerHelpOrVersion(int argc, char *argv[])
{
    bool asked = false;
    for (int i = 1; i < argc && !asked; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        asked = arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
                arg == "--version";
    }
    if (!asked)
        return;
    QCoreApplication core(argc, argv);
    setApplicationNames();
    QCommandLineParser parser;
    setUpParser(parser);
    // The window system's own options (-platform, -style ...) are not known here.
    parser.parse(QCoreApplication::arguments());
#ifdef Q_OS_WIN
    const QString text = parser.isSet(QStringLiteral("version"))
                             ? QCoreApplication::applicationName() + QLatin1Char(' ') +
                                   QCoreApplication::applicationVersion() + QLatin1Char('\n')
                             : parser.helpText();
    // From the desktop there is no console: Qt's message box answers below.
    if (answerOnConsole(text))
        std::exit(0);
#endif
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

// A record that cannot be written is said at once, in a box that does not wait:
// the write failed inside a transaction, which must go on.
void reportTraceFailure(frmMain &window, const QString &error)
{
    QTimer::singleShot(0, &window, [&window, error] {
        auto *box =
            new QMessageBox(QMessageBox::Critical, QStringLiteral("ZAV"), error, QMessageBox::Ok, &window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    answerHelpOrVersion(argc, argv);
    QApplication app(argc, argv);
    setApplicationNames();

    QCommandLineParser parser;
    setUpParser(parser);
    parser.process(app);
    // The window's language, for our texts and Qt's dialogs alike: the string table's.
    installTranslations(runLanguageVersion());

    // 1. The splash, drawn before the event loop runs.
    frmSplash splash;
    splash.Form_Load();
    splash.show();
    splash.repaint();
    QCoreApplication::processEvents();

    // 2. zav.ini, with defaults for whatever it lacks.
    QString settingsPath = parser.isSet(iniOption) ? parser.value(iniOption) : settingsFilePath();
    SettingsRead read = readSettingsFile(settingsPath);
    StartupSettings settings = read.settings;

    QProcess simulator;
    frmMain::PortMaker makePort;
    // The demo's own settings file lives in a private folder of this run and goes with it.
    QTemporaryDir demoDir;
    if (parser.isSet(demoOption)) {
        QString error;
        QString device;
        if (kDemoInProcess) {
            ControllerState controller;
            if (SimulatedPort::loadProfile(parser.value(profileOption), &controller, &error)) {
                device = SimulatedPort::deviceLabel();
                PortLookup::system().addInProcessDevice(device);
                makePort = [controller](Clock &clock) -> std::unique_ptr<SerialPort> {
                    return std::make_unique<DemoPort>(createSystemSerialPort(),
                                                      std::make_unique<SimulatedPort>(clock, controller));
                };
            }
        } else {
            device = startSimulator(simulator, parser.value(profileOption), &error);
        }
        if (device.isEmpty()) {
            QMessageBox::critical(nullptr, QStringLiteral("ZAV"), error);
            return 1;
        }
        qputenv("ZAV_COM1", device.toLocal8Bit());
        settings.PortNumber = 1;
        // The demo's port choice is not the technician's: keep it out of the real zav.ini.
        // Its file starts as the real one reads (defaults where there is none), so a
        // missing zav.ini is no news in a demo.
        if (!parser.isSet(iniOption)) {
            const QString demoPath = demoDir.filePath(QStringLiteral("zav-demo.ini"));
            if (!demoDir.isValid() || !writeSettingsFile(demoPath, settings, &error)) {
                QMessageBox::critical(
                    nullptr, QStringLiteral("ZAV"),
                    QCoreApplication::translate("main", "No place for the demo's settings file: %1")
                        .arg(demoDir.isValid() ? error : demoDir.errorString()));
                return 1;
            }
            if (!QFileInfo::exists(settingsPath))
                read.problem.clear();
            settingsPath = demoPath;
        }
    }

    TraceFile traceFile;
    if (parser.isSet(traceOption)) {
        QString error;
        if (!traceFile.open(parser.value(traceOption),
                            QStringLiteral("zav ") + QCoreApplication::applicationVersion(), &error)) {
            QMessageBox::critical(nullptr, QStringLiteral("ZAV"), error);
            return 1;
        }
    }

    // 3. The main window loads and shows itself.
    frmMain window(settings, settingsPath, makePort);
    if (traceFile.isOpen()) {
        traceFile.failed = [&window](const QString &error) { reportTraceFailure(window, error); };
        window.traffic().addSink([&traceFile](const QString &line) { traceFile.writeLine(line); });
    }
    WindowStop windowStop(window);
    StopSignals stopSignals;
    stopSignals.caught = [&windowStop](int signal) { windowStop.onStopSignal(signal); };
    window.Form_Load(read.problem);

    // 4.
    splash.close();

    // The simulator's port is not the technician's adapter.
    if (!parser.isSet(demoOption))
        QTimer::singleShot(0, &window, [&window] { window.offerAdapterOnFirstStart(); });

    int status = app.exec();
    if (simulator.state() != QProcess::NotRunning) {
        simulator.kill();
        simulator.waitForFinished(2000);
    }
    // As a shell reports a program the signal ended.
    if (const int signal = StopSignals::first())
        status = StopSignals::exitStatus(signal);
    return status;
}
