// zavctl: the ZAV tool's controller operations from the command line, for the
// workshop and for scripts. Same code, frames, pacing and port mapping as the
// window, over the in-memory field store.

#include "app/startupsettings.h"
#include "captions.h"
#include "commandline.h"
#include "controllersession.h"
#include "device/directcommands.h"
#include "device/parametermap.h"
#include "device/statusinterrogation.h"
#include "filediff.h"
#include "files/parameterfile.h"
#include "link/portlookup.h"
#include "parameterreport.h"
#include "portreport.h"
#include "progressprinter.h"
#include "text/visibletext.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace {

ProgressPrinter progress(stderr);

void printRaw(const QString &text)
{
    progress.finish();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// Text for people: an identifier or a file's line may hold control characters,
// which are shown escaped rather than let loose on the terminal.
void printOut(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = visibleText(line);
    printRaw(lines.join(QLatin1Char('\n')));
}

void printJson(const QJsonObject &object)
{
    printRaw(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

int fail(int status, const QString &text)
{
    progress.finish();
    // A message may quote a file's line or a path: its control characters must not reach the terminal.
    std::fprintf(stderr, "zavctl: %s\n", visibleText(text).toLocal8Bit().constData());
    return status;
}

int lineFailure(const ControllerSession &session)
{
    return fail(ExitNoAnswer, session.lineFailureText());
}

// Present addresses as ranges: "17-41 54-56 231-246".
QString addressRanges(const CapabilityMap &map)
{
    QStringList ranges;
    for (int address = 0; address < 256; ++address) {
        if (!map.ComprobarParametro(address))
            continue;
        int last = address;
        while (last + 1 < 256 && map.ComprobarParametro(last + 1))
            ++last;
        ranges << (last == address ? QString::number(address)
                                   : QStringLiteral("%1-%2").arg(address).arg(last));
        address = last;
    }
    return ranges.join(QLatin1Char(' '));
}

QJsonArray presentJson(const CapabilityMap &map)
{
    QJsonArray present;
    for (int address = 0; address < 256; ++address) {
        if (map.ComprobarParametro(address))
            present.append(address);
    }
    return present;
}

QString portName(ControllerSession &session)
{
    const int number = session.port().portNumber();
    return QStringLiteral("Com%1: %2").arg(number).arg(deviceForPort(number));
}

int runIdentify(ControllerSession &session, const CommandLine &line)
{
    session.setOperation(QStringLiteral("identification"));
    session.operations().IdentificarZAV();
    if (session.lineFailed())
        return lineFailure(session);
    if (line.json) {
        QJsonArray bytes;
        for (quint8 b : session.map().bytes)
            bytes.append(b);
        printJson({{QStringLiteral("port"), portName(session)},
                   {QStringLiteral("present"), presentJson(session.map())},
                   {QStringLiteral("capability"), bytes}});
    } else {
        const QString ranges = addressRanges(session.map());
        printOut((ranges.isEmpty() ? QStringLiteral("none") : ranges) + QLatin1Char('\n'));
    }
    return ExitDone;
}

int runRead(ControllerSession &session, const CommandLine &line)
{
    session.setOperation(QStringLiteral("the read"));
    session.operations().CLeer_Click();
    if (session.lineFailed())
        return lineFailure(session);
    if (line.colours) {
        session.setOperation(QStringLiteral("the colour read"));
        session.colours().CLeerColores_Click();
        if (session.lineFailed())
            return lineFailure(session);
    }
    if (!line.output.isEmpty()) {
        QString error;
        if (!session.files().saveTo(line.output, &error))
            return fail(ExitBadFile, error);
    }
    if (!line.output.isEmpty() && !line.json)
        return ExitDone;

    const QList<ShownParameter> shown = shownParameters(
        session.fields(), [&](const ParameterRow &row) { return session.isShown(row.field); });
    if (line.json) {
        QJsonObject object{{QStringLiteral("port"), portName(session)},
                           {QStringLiteral("present"), presentJson(session.map())},
                           {QStringLiteral("parameters"), parametersJson(shown)}};
        if (line.colours)
            object.insert(QStringLiteral("sectors"), sectorsJson(session.sectors()));
        printJson(object);
    } else {
        printOut(parameterTable(shown));
        if (line.colours)
            printOut(sectorLines(session.sectors()));
    }
    return ExitDone;
}

int runWrite(ControllerSession &session, const CommandLine &line)
{
    // The file is loaded whole before the line is touched: a broken file sends nothing.
    QString error;
    if (!session.files().openFrom(line.arguments.first(), &error))
        return fail(ExitBadFile, error);

    // The write sends the addresses the controller has, so it needs its map first.
    session.setOperation(QStringLiteral("identification"));
    session.operations().IdentificarZAV();
    if (session.lineFailed())
        return lineFailure(session);

    session.fields().focused.clear();
    session.setOperation(QStringLiteral("the write"));
    session.operations().CEscribir_Click();
    if (!session.fields().focused.isEmpty())
        return fail(ExitBadFile, session.fields().statusLine());
    if (session.lineFailed())
        return lineFailure(session);

    int sent = 0;
    for (int address = 0; address < 256; ++address) {
        if ((address <= 246 || address >= 254) && session.map().ComprobarParametro(address))
            ++sent;
    }
    QString summary = QStringLiteral("Wrote %1 parameters").arg(sent);
    if (line.colours) {
        session.setOperation(QStringLiteral("the colour write"));
        session.colours().CEscribirColores_Click();
        if (session.lineFailed())
            return lineFailure(session);
        summary += QStringLiteral(", the colours and the sector table");
    }
    printOut(summary + QStringLiteral(" to %1\n").arg(portName(session)));
    return ExitDone;
}

int runStatus(ControllerSession &session, const CommandLine &line)
{
    MemoryFields &fields = session.fields();
    for (const char *box : {"chkEstado", "chkCorrienteActual", "chkVelocidadActual", "chkCorrienteLeds"})
        fields.setValue(QLatin1String(box), 1);
    fields.setListIndex(QStringLiteral("ComboTipoCambiador"), line.changer);

    session.setOperation(QStringLiteral("the status interrogation"));
    session.operations().CInterrogar_Click();
    if (session.lineFailed())
        return lineFailure(session);

    // The rows this interrogation set: the general flags, then the lamp flags of the changer type.
    QList<int> rows;
    for (int row : generalFlagRows()) {
        if (row != NoRow && !rows.contains(row))
            rows << row;
    }
    for (int row : lampFlagRows(line.changer)) {
        if (row != NoRow && !rows.contains(row))
            rows << row;
    }
    std::sort(rows.begin(), rows.end());

    QList<ShownParameter> indicators;
    QJsonArray indicatorsJson;
    for (int row : rows) {
        const IndicatorPair &pair = indicatorPairs()[size_t(row)];
        const bool active = fields.isVisible(QLatin1String(pair.active));
        ShownParameter shown;
        shown.field = QLatin1String(pair.active);
        shown.label = captionOf(fields, indicatorCaptionField(row));
        shown.value = active ? QStringLiteral("on") : QStringLiteral("off");
        indicators << shown;
        indicatorsJson.append(QJsonObject{{QStringLiteral("indicator"), shown.field},
                                          {QStringLiteral("label"), shown.label},
                                          {QStringLiteral("active"), active}});
    }

    struct LiveCaption
    {
        const char *textBox;
        const char *label;
        const char *unit;
    };
    static const LiveCaption kLive[] = {
        {"TCorrienteActual", "Label(7)", "LabelUnidades(17)"},
        {"TVelocidadActual", "Label(44)", "LabelUnidades(21)"},
        {"txtCorrienteLeds", "lblCorrienteLeds", "LabelUnidades(23)"},
    };
    QList<ShownParameter> values;
    for (const LiveCaption &live : kLive) {
        ShownParameter shown;
        shown.field = QLatin1String(live.textBox);
        shown.label = captionOf(fields, live.label);
        shown.value = fields.text(shown.field);
        shown.numeric = true;
        shown.unit = captionOf(fields, live.unit);
        values << shown;
    }

    if (line.json) {
        printJson({{QStringLiteral("port"), portName(session)},
                   {QStringLiteral("changer"), line.changer},
                   {QStringLiteral("indicators"), indicatorsJson},
                   {QStringLiteral("values"), parametersJson(values)}});
    } else {
        printOut(parameterTable(indicators + values));
    }
    return ExitDone;
}

int runCommand(ControllerSession &session, const CommandLine &line)
{
    const int which = directCommandIndex(directCommandButton(line.arguments.first()));
    session.operations().directCommand(which);
    // Unanswered, the button's own failure text says it best.
    if (session.link().failed())
        return lineFailure(session);
    const DirectCommand &command = directCommands()[size_t(which)];
    const QString text = session.fields().statusLine();
    if (text == QLatin1String(command.failure))
        return fail(ExitNoAnswer, text.trimmed());
    printOut(text.trimmed() + QLatin1Char('\n'));
    return ExitDone;
}

int runDiff(const CommandLine &line)
{
    ParameterFile::Content contents[2];
    for (int i = 0; i < 2; ++i) {
        const ParameterFile::DecodeResult decoded = ParameterFile::readFile(line.arguments.at(i));
        if (!decoded.content)
            return fail(ExitBadFile, decoded.error);
        contents[i] = *decoded.content;
    }
    const QList<FileDifference> differences = diffParameterFiles(contents[0], contents[1]);
    if (differences.isEmpty()) {
        progress.status(QStringLiteral("The files hold the same settings"));
        return ExitDone;
    }
    printOut(formatDifferences(differences));
    // As diff(1): 1 tells a script the files differ.
    return ExitDiffer;
}

// For tests and scripts against zav-sim only: the delay stays uncalibrated, so
// every pause of the protocol returns at once, as before the window's calibration.
bool unpacedFromEnvironment()
{
    const QByteArray value = qgetenv("ZAV_UNPACED");
    return !value.isEmpty() && value != "0";
}

qint32 loopCountFromEnvironment()
{
    bool ok = false;
    const qint32 count = qEnvironmentVariableIntValue("ZAV_DELAY_LOOP_COUNT", &ok);
    return ok && count > 0 ? count : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zavctl"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(ZAV_VERSION_MAJOR).arg(ZAV_VERSION_MINOR).arg(ZAV_VERSION_PATCH));

    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.help) {
        printOut(usageText());
        return ExitDone;
    }
    if (line.version) {
        printOut(QStringLiteral("zavctl %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitDone;
    }
    if (!line.error.isEmpty())
        return fail(ExitUsage, line.error + QStringLiteral(" (see zavctl --help)"));
    progress.setQuiet(line.quiet);

    if (line.command == QLatin1String("diff"))
        return runDiff(line);
    if (line.command == QLatin1String("ports")) {
        if (line.json)
            printJson(portsJson(PortLookup::system()));
        else
            printOut(portsText(PortLookup::system()));
        return ExitDone;
    }

    const SettingsRead settings = readSettingsFile(settingsFilePath());
    int port = line.port;
    if (!line.device.isEmpty()) {
        // Port 1 is the given device for this run.
        qputenv("ZAV_COM1", line.device.toLocal8Bit());
        port = 1;
    } else if (port == 0) {
        if (!settings.problem.isEmpty())
            progress.status(settings.problem);
        port = settings.settings.PortNumber;
        if (port < 1 || port > 9) {
            progress.status(QStringLiteral("PortNumber %1 is not a port 1 to 9, Com1: used").arg(port));
            port = 1;
        }
    }

    ControllerSession session(settings.settings.FactoryCode);
    session.onStatus = [](const QString &text) { progress.status(text); };
    session.fields().onMessage = [](const QString &text) { progress.status(text); };
    session.link().progress().changed = [](const OperationProgress &counted) { progress.progress(counted); };
    session.setPortNumber(port);
    if (!line.trace.isEmpty()) {
        QString error;
        if (!session.recordTraffic(line.trace, &error))
            return fail(ExitBadFile, error);
    }

    // The file goes first: an unreadable one costs no calibration and no frame.
    if (line.command == QLatin1String("write")) {
        const ParameterFile::DecodeResult decoded = ParameterFile::readFile(line.arguments.first());
        if (!decoded.content)
            return fail(ExitBadFile, decoded.error);
    }

    if (unpacedFromEnvironment())
        progress.status(QStringLiteral("ZAV_UNPACED is set: no pauses between bytes and after tries"));
    else
        session.calibrate(loopCountFromEnvironment());

    if (line.command == QLatin1String("identify"))
        return runIdentify(session, line);
    if (line.command == QLatin1String("read"))
        return runRead(session, line);
    if (line.command == QLatin1String("write"))
        return runWrite(session, line);
    if (line.command == QLatin1String("status"))
        return runStatus(session, line);
    return runCommand(session, line);
}
