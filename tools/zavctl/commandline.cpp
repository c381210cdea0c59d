#include "commandline.h"

namespace {

struct NamedCommand
{
    const char *name;
    const char *button;
};

constexpr NamedCommand kDirectCommandNames[] = {
    {"day", "CDia"},
    {"night", "CNoche"},
    {"normal", "CNormal"},
    {"changer-on", "CCambioLamparaOn"},
    {"changer-off", "CCambioLamparaOff"},
    {"mains-on", "CFalloRedOn"},
    {"mains-off", "CFalloRedOff"},
    {"motor1", "btnTelemandoMotor1"},
    {"motor2", "btnTelamandoMotor2"},
};

const char *const kChangerNames[] = {"cx1", "cx2", "cx3", "led"};

struct CommandShape
{
    const char *name;
    int arguments;
    bool usesPort;
    bool colours;
    bool verify;
    bool output;
    bool json;
    bool changer;
};

// json: the command's own JSON; with several ports every port command gives the summary as JSON.
constexpr CommandShape kCommands[] = {
    {"identify", 0, true, false, false, false, true, false},
    {"read", 0, true, true, false, true, true, false},
    {"write", 1, true, true, true, false, false, false},
    {"status", 0, true, false, false, false, true, true},
    {"command", 1, true, false, false, false, false, false},
    {"diff", 2, false, false, false, false, false, false},
    {"ports", 0, false, false, false, false, true, false},
};

// "1-4,7": port numbers 1 to 9, in the order given; empty with *error set when wrong.
QList<int> parsePortList(const QString &text, QString *error)
{
    QList<int> ports;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QLatin1Char('-'));
        bool okFirst = false;
        bool okLast = false;
        const int first = ends.first().trimmed().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends.last().trimmed().toInt(&okLast) : first;
        if (ends.size() == 2 && !okLast)
            okFirst = false;
        if (!okFirst || ends.size() > 2 || first < 1 || last > 9 || first > last) {
            *error = QStringLiteral("--ports takes port numbers 1 to 9 such as 1-4,7, not \"%1\"").arg(text);
            return {};
        }
        for (int port = first; port <= last; ++port)
            ports << port;
    }
    return ports;
}

// "--name=value" or "--name value".
void takeValue(const QStringList &args, int &i, const QString &name, QString *value, QString *error)
{
    const QString arg = args.at(i);
    if (arg.startsWith(name + QLatin1Char('='))) {
        *value = arg.mid(name.size() + 1);
        return;
    }
    if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(name);
        return;
    }
    *value = args.at(++i);
}

bool isOption(const QString &arg, const char *name)
{
    const QString n = QLatin1String(name);
    return arg == n || arg.startsWith(n + QLatin1Char('='));
}

} // namespace

CommandLine parseCommandLine(const QStringList &args)
{
    CommandLine line;
    QStringList positional;
    bool portGiven = false;
    bool colourGiven = false;
    bool outputGiven = false;
    bool jsonGiven = false;
    bool traceGiven = false;
    bool verifyGiven = false;
    for (int i = 1; i < args.size() && line.error.isEmpty(); ++i) {
        const QString arg = args.at(i);
        QString value;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            line.help = true;
        } else if (arg == QLatin1String("--version")) {
            line.version = true;
        } else if (arg == QLatin1String("-q") || arg == QLatin1String("--quiet")) {
            line.quiet = true;
        } else if (arg == QLatin1String("--colours") || arg == QLatin1String("--colors")) {
            line.colours = colourGiven = true;
        } else if (arg == QLatin1String("--verify")) {
            line.verify = verifyGiven = true;
        } else if (arg == QLatin1String("--json")) {
            line.json = jsonGiven = true;
        } else if (isOption(arg, "--port")) {
            takeValue(args, i, QStringLiteral("--port"), &value, &line.error);
            bool ok = false;
            const int port = value.toInt(&ok);
            if (line.error.isEmpty() && (!ok || port < 1 || port > 9))
                line.error = QStringLiteral("--port takes a port number 1 to 9, not \"%1\"").arg(value);
            line.ports << port;
            portGiven = true;
        } else if (isOption(arg, "--ports")) {
            takeValue(args, i, QStringLiteral("--ports"), &value, &line.error);
            if (line.error.isEmpty())
                line.ports << parsePortList(value, &line.error);
            portGiven = true;
        } else if (isOption(arg, "--device")) {
            QString device;
            takeValue(args, i, QStringLiteral("--device"), &device, &line.error);
            if (line.error.isEmpty() && device.isEmpty())
                line.error = QStringLiteral("--device needs a device path");
            line.devices << device;
            portGiven = true;
        } else if (isOption(arg, "--trace")) {
            takeValue(args, i, QStringLiteral("--trace"), &line.trace, &line.error);
            if (line.error.isEmpty() && line.trace.isEmpty())
                line.error = QStringLiteral("--trace needs a file name");
            traceGiven = true;
        } else if (arg == QLatin1String("-o") || isOption(arg, "--output")) {
            takeValue(args, i, arg == QLatin1String("-o") ? arg : QStringLiteral("--output"), &line.output,
                      &line.error);
            if (line.error.isEmpty() && line.output.isEmpty())
                line.error = QStringLiteral("-o needs a file name");
            outputGiven = true;
        } else if (isOption(arg, "--changer")) {
            takeValue(args, i, QStringLiteral("--changer"), &value, &line.error);
            line.changer = -1;
            for (int k = 0; k < 4; ++k) {
                if (value.compare(QLatin1String(kChangerNames[k]), Qt::CaseInsensitive) == 0)
                    line.changer = k;
            }
            if (line.error.isEmpty() && line.changer < 0)
                line.error = QStringLiteral("--changer takes cx1, cx2, cx3 or led, not \"%1\"").arg(value);
            line.changerGiven = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            line.error = QStringLiteral("unknown option %1").arg(arg);
        } else {
            positional << arg;
        }
    }
    if (!line.error.isEmpty() || line.help || line.version)
        return line;
    if (!line.devices.isEmpty() && !line.ports.isEmpty()) {
        line.error = QStringLiteral("give either --port or --device, not both");
        return line;
    }
    // Two links on one line would put their frames between each other's.
    for (int i = 0; i < line.ports.size(); ++i) {
        if (line.ports.indexOf(line.ports.at(i)) != i) {
            line.error = QStringLiteral("Com%1 is given twice").arg(line.ports.at(i));
            return line;
        }
    }
    for (int i = 0; i < line.devices.size(); ++i) {
        if (line.devices.indexOf(line.devices.at(i)) != i) {
            line.error = QStringLiteral("%1 is given twice").arg(line.devices.at(i));
            return line;
        }
    }
    // Devices run as Com1, Com2, ... in the order given.
    if (line.devices.size() > 9) {
        line.error = QStringLiteral("at most nine devices in one run");
        return line;
    }
    line.port = line.ports.isEmpty() ? 0 : line.ports.first();
    line.device = line.devices.isEmpty() ? QString() : line.devices.first();
    if (positional.isEmpty()) {
        line.error = QStringLiteral("no command given");
        return line;
    }
    line.command = positional.takeFirst();
    line.arguments = positional;
    const CommandShape *shape = nullptr;
    for (const CommandShape &s : kCommands) {
        if (line.command == QLatin1String(s.name))
            shape = &s;
    }
    if (!shape) {
        line.error = QStringLiteral("unknown command \"%1\"").arg(line.command);
        return line;
    }
    if (line.arguments.size() != shape->arguments) {
        line.error = QStringLiteral("%1 takes %2 argument(s), %3 given")
                         .arg(line.command)
                         .arg(shape->arguments)
                         .arg(line.arguments.size());
        return line;
    }
    const auto misplaced = [&](bool given, bool allowed, const char *option) {
        if (given && !allowed && line.error.isEmpty())
            line.error = QStringLiteral("%1 does not take %2").arg(line.command, QLatin1String(option));
    };
    misplaced(portGiven, shape->usesPort, "--port or --device");
    misplaced(traceGiven, shape->usesPort, "--trace");
    misplaced(colourGiven, shape->colours, "--colours");
    misplaced(verifyGiven, shape->verify, "--verify");
    misplaced(outputGiven, shape->output, "-o");
    misplaced(jsonGiven, shape->json || (shape->usesPort && isSeveralPorts(line)), "--json");
    if (line.error.isEmpty() && outputGiven && isSeveralPorts(line) &&
        !line.output.contains(QLatin1String("{port}")) && !line.output.contains(QLatin1String("{id}")))
        line.error = QStringLiteral("-o with several ports needs {port} or {id} in the name, or every port "
                                    "would write the same file");
    misplaced(line.changerGiven, shape->changer, "--changer");
    if (line.error.isEmpty() && line.command == QLatin1String("command") &&
        !directCommandButton(line.arguments.first()))
        line.error = QStringLiteral("unknown direct command \"%1\"").arg(line.arguments.first());
    return line;
}

const char *directCommandButton(const QString &name)
{
    for (const NamedCommand &command : kDirectCommandNames) {
        if (name == QLatin1String(command.name))
            return command.button;
    }
    return nullptr;
}

QString usageText()
{
    return QStringLiteral(
        R"(Usage: zavctl [--port N | --ports LIST | --device PATH]... [--trace FILE] [-q] COMMAND [options]
       zavctl diff A.zav B.zav
       zavctl ports [--json]

Runs the ZAV tool's controller operations without the window: the same frames,
pacing and port mapping. Progress goes to standard error, results to standard
output. During identify, read and write the progress is the count of the whole
command's transactions (identification, parameters, colours, read-back) out of
one total and the time left: one line that updates itself on a terminal, a line
at every tenth of the way otherwise.

Port: --port N opens port N (1 to 9): the device in ZAV_COM<N>, else the adapter
assigned to ComN on the window's Communications page, else /dev/ttyS<N-1>
(Windows: COM<N>); --device PATH opens PATH as port 1; with neither, the port
in the window's zav.ini: the one beside the programs, or ~/.config/ZAV/zav.ini
(Windows: %APPDATA%\ZAV\zav.ini) when that folder is not writable (an installed
tool), or the file named by ZAV_INI.

Several ports: --port and --device may be given more than once, and --ports
takes a list such as 1-4,7 (devices run as Com1, Com2, ... in the order given).
identify, read, write, status and command then run on every port at the same
time, each on its own line with its own pacing. Every output line starts with
its port ("Com2: ..." or the device), a table ends the run (port, ID number and
identifier read, time, result), and the exit status is the worst port's. With
--json every port command prints that summary as JSON, with each port's own
JSON under "output".

--trace FILE appends the traffic record to FILE as it goes: every frame sent and
received (TX, RX) in hex with its time in ms, and the events between them (try
number, time-out, short or long reply, line lost, port opened and closed). "-"
is standard error. A record that cannot be written stops the run (status 3).

Ctrl+C (SIGINT) or SIGTERM stops a run after the transaction in progress (a
second one at once): nothing more is sent, the port is closed, no file is
written, and zavctl says what was and was not done.

Commands:
  identify [--json]
      Fetches the capability map and prints the present parameter addresses.
  read [--colours] [-o FILE.zav] [--json]
      Identifies the controller and reads every present parameter (--colours:
      also the colour banks). With -o the parameters are saved to FILE.zav exactly
      as the window's Save does; otherwise the fields the window would show are
      printed as a table of label, value and unit in the user's locale, or as
      JSON with --json. In the name, {port} becomes the port number and {id}
      the controller's ID number (-o 'lantern-{id}.zav'); with several ports the
      name needs one of them, and two ports never write the same file. Before
      the first frame zavctl checks that the file can be made (its folder
      exists and takes new files; nothing but a writable file is in the way);
      the file is then written whole or not at all.
  write FILE.zav [--colours] [--verify]
      Opens FILE.zav as the window's Open does, identifies the controller and
      writes every present parameter (--colours: also the colours and sector
      table). A value that cannot be sent stops the write before its first frame.
      --verify then reads back every address written (--colours: the four colour
      banks) with the read's own frames and pacing, prints each difference by
      label with the value sent and the value stored (bank and cell for the
      colours), and exits with 4 when anything differs.
  status [--changer cx1|cx2|cx3|led] [--json]
      One status interrogation with all four parts: indicators, present current,
      present speed and LED current. The lamp flags are read for the changer type
      given (the window's start-up choice, cx1, without it).
  command day|night|normal|changer-on|changer-off|mains-on|mains-off|motor1|motor2
      Sends one direct command.
  ports [--json]
      Lists the serial devices the system has (path, description, maker,
      serial number, USB vendor:product, stable name: /dev/serial/by-id on
      Linux, the device instance id on Windows) and, for
      Com1 to Com9, the device each opens and where that comes from (ZAV_COM<N>,
      an assignment or the default).
  diff A.zav B.zav
      Prints the parameters that differ, by label, with both values
      ("label: A | B"), then differing cells, colours and sector rows. No port
      is opened. Exits 0 when the files hold the same settings, 1 when they
      differ, as diff(1) does.

JSON (--json) is for programs and does not follow the locale: a value that is
a number is a JSON number with a decimal point ("value": 2.5), and "text"
beside it holds the value as the window shows it in the user's locale ("2,5").

Options:
  -q, --quiet   no progress and no status texts on standard error (errors stay)
  -h, --help    this text
  --version     the version

Environment:
  ZAV_COM<N>              device of port N, before any assignment
  ZAV_INI                 settings file instead of zav.ini
  ZAV_DELAY_LOOP_COUNT    a delay loop count from an earlier calibration: skips
                          the one-second calibration at start
  ZAV_UNPACED=1           a test and script aid for zav-sim --no-line-rate: no
                          calibration, so the 1 ms and 20 ms pauses of every
                          frame return at once. A real controller needs the
                          pacing: leave it unset on the line.

Exit status: 0 done (diff: the files hold the same settings); 1 the controller
did not answer or the port could not be opened (diff: the files differ);
2 usage; 3 a file that cannot be read or written, or a value that cannot be
sent; 4 write --verify found a difference; 130 stopped by SIGINT, 143 by
SIGTERM. With several ports, the highest of the ports' statuses.
)");
}
