// zavctl: the ZAV tool's controller operations from the command line, for the
// workshop and for scripts. Same code, frames, pacing and port mapping as the
// window, over the in-memory field store.

#include "captions.h"
#include "commandline.h"
#include "controllersession.h"
#include "desktop/startupsettings.h"
#include "desktop/stopsignals.h"
#include "device/directcommands.h"
#include "device/parametermap.h"
#include "device/statusinterrogation.h"
#include "filediff.h"
#include "files/parameterfile.h"
#include "files/wholefilewriter.h"
#include "link/operationprogress.h"
#include "link/portcatalogue.h"
#include "link/portlookup.h"
#include "parameterreport.h"
#include "portreport.h"
#include "portsummary.h"
#include "progressprinter.h"
#include "text/visibletext.h"
#include "writecheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

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

// Said once per run, however many ports see the signal.
std::atomic<bool> stopAnnounced{false};

QString stopNotice(int signal)
{
    return QStringLiteral("%1: stopping after the transaction in progress (once more to stop at once)")
        .arg(StopSignals::name(signal));
}

// The -o file must be possible before the first frame: a whole read is not
// thrown away for a missing folder. {id} is known only after the read; until
// then only the folder of such a name is looked at.
bool outputCanBeWritten(const QString &pattern, int port, QString *error)
{
    const QString path = expandOutputPattern(pattern, port, QStringLiteral("{id}"));
    const QFileInfo info(path);
    if (info.path().contains(QLatin1String("{id}")))
        return true;
    const bool ok = info.fileName().contains(QLatin1String("{id}"))
                        ? WholeFileWriter::checkFolder(info.absolutePath(), error)
                        : WholeFileWriter::checkTarget(path, error);
    if (!ok)
        *error = QStringLiteral("Cannot save %1: %2").arg(path, *error);
    return ok;
}

// Where one port's results go. A single port prints them as they come; with
// several, every line carries its port and the outcome feeds the summary.
struct PortOutput
{
    std::function<void(const QString &)> out;
    std::function<void(const QJsonObject &)> json;
    std::function<int(int status, const QString &text)> fail;
    // Takes the name for this port's -o file; false, with *error set, when another
    // port of the run writes it.
    std::function<bool(const QString &path, QString *error)> claim;
    PortOutcome outcome;
};

int lineFailure(PortOutput &output, ControllerSession &session)
{
    session.link().progress().finish();
    return output.fail(ExitNoAnswer, session.lineFailureText());
}

// The run was stopped by a signal or by a traffic record that cannot be written:
// what was and was not done. Every operation has closed the port by then.
int stopReport(PortOutput &output, ControllerSession &session, const QString &notDone)
{
    session.link().progress().finish();
    int status = ExitBadFile;
    QString text;
    if (session.traceFailed()) {
        text = session.traceFailure() + QStringLiteral("; the run stopped");
    } else {
        const int signal = session.stopSignal();
        status = StopSignals::exitStatus(signal);
        text = QStringLiteral("Com%1: interrupted by %2")
                   .arg(session.port().portNumber())
                   .arg(StopSignals::name(signal));
    }
    text += session.stopPoint();
    text += QStringLiteral("; the port is closed");
    if (!notDone.isEmpty())
        text += QStringLiteral("; ") + notDone;
    return output.fail(status, text);
}

// After an operation that did not go through: stopped, or the line failed.
int notThrough(PortOutput &output, ControllerSession &session, const QString &notDone)
{
    if (session.stopped())
        return stopReport(output, session, notDone);
    return lineFailure(output, session);
}

// The ID number and identifier, where the controller has them and they were read into fields.
void noteIdentity(PortOutcome &outcome, const Fields &fields, const CapabilityMap &map)
{
    if (map.ComprobarParametro(254) && map.ComprobarParametro(255))
        outcome.idNumber = fields.text(QStringLiteral("TNumeroID"));
    if (map.ComprobarParametro(231)) {
        outcome.identifier = fields.text(QStringLiteral("TIdentificacion"));
        outcome.identifierRead = true;
    }
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

// One count for the whole command: the identification's steps, one transaction
// per parameter, the colour records and the read-back add up to one total, so
// the time left runs on from one operation to the next. Until the identification
// has found the map, every address stands in for the parameters.
constexpr int kIdentifySteps = int(std::tuple_size_v<decltype(CapabilityMap::bytes)>);
constexpr int kEveryAddress = 256;

// The command's transactions are over: its last progress line goes before its outcome.
void endCount(ControllerSession &session)
{
    session.link().progress().finish();
}

int runIdentify(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    const QString notDone = QStringLiteral("nothing printed");
    if (session.stopped())
        return stopReport(output, session, notDone);
    OperationProgress::Scope counted(session.link().progress(), kIdentifySteps);
    session.setOperation(QStringLiteral("identification"));
    session.operations().IdentificarZAV();
    endCount(session);
    if (!session.finishOperation())
        return notThrough(output, session, notDone);
    if (line.json) {
        QJsonArray bytes;
        for (quint8 b : session.map().bytes)
            bytes.append(b);
        output.json({{QStringLiteral("port"), portName(session)},
                     {QStringLiteral("present"), presentJson(session.map())},
                     {QStringLiteral("capability"), bytes}});
    } else {
        const QString ranges = addressRanges(session.map());
        output.out((ranges.isEmpty() ? QStringLiteral("none") : ranges) + QLatin1Char('\n'));
    }
    output.outcome.result = QStringLiteral("identified");
    return ExitDone;
}

int runRead(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    // A read cut short keeps nothing: no file, no table.
    const QString notDone =
        line.output.isEmpty() ? QStringLiteral("nothing printed") : QStringLiteral("no file written");
    if (session.stopped())
        return stopReport(output, session, notDone);
    OperationProgress::Scope counted(
        session.link().progress(),
        kIdentifySteps + kEveryAddress + (line.colours ? ColourRecord::kTransactions : 0), true);
    session.setOperation(QStringLiteral("the read"));
    session.operations().CLeer_Click();
    if (!session.finishOperation())
        return notThrough(output, session, notDone);
    noteIdentity(output.outcome, session.fields(), session.map());
    if (line.colours) {
        if (session.stopped())
            return stopReport(output, session, notDone);
        session.setOperation(QStringLiteral("the colour read"));
        session.colours().CLeerColores_Click();
        if (!session.finishOperation())
            return notThrough(output, session, notDone);
    }
    endCount(session);
    output.outcome.result = QStringLiteral("read");
    if (!line.output.isEmpty()) {
        const QString path = expandOutputPattern(line.output, session.port().portNumber(),
                                                 session.fields().text(QStringLiteral("TNumeroID")));
        if (session.stopped())
            return stopReport(output, session, notDone);
        QString error;
        if (!output.claim(path, &error) || !session.files().saveTo(path, &error))
            return output.fail(ExitBadFile, error);
        output.outcome.result = QStringLiteral("saved ") + path;
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
        output.json(object);
    } else {
        output.out(parameterTable(shown));
        if (line.colours)
            output.out(sectorLines(session.sectors()));
    }
    return ExitDone;
}

// Reads back what the write sent and lists what the controller stored otherwise.
int verifyWrite(ControllerSession &session, const CommandLine &line, PortOutput &output,
                const QList<int> &written)
{
    WriteCheck check(session.link(), session.fields());
    OperationProgress::Scope counted(session.link().progress(),
                                     int(written.size()) + (line.colours ? ColourRecord::kTransactions : 0));
    // The image the write sent: the same fields through the same mapping.
    const ParameterImage sent = WriteMapping(session.fields(), MappingMode::WriteAll);
    ParameterImage stored = sent;
    const QString notDone = QStringLiteral("everything was written, the read-back is incomplete");
    if (session.stopped())
        return stopReport(output, session, notDone);
    session.setOperation(QStringLiteral("the read-back"));
    const bool readBack = check.readParameters(written, stored);
    if (!session.finishOperation() || !readBack)
        return notThrough(output, session, notDone);
    MemoryFields storedShown;
    WriteCheck::showImage(storedShown, stored);
    noteIdentity(output.outcome, storedShown, session.map());
    QStringList differences = WriteCheck::parameterDifferences(session.fields(), sent, stored, written);
    int checked = int(written.size());

    if (line.colours) {
        if (session.stopped())
            return stopReport(output, session, notDone);
        session.setOperation(QStringLiteral("the colour read-back"));
        for (int bank = 1; bank <= ColourRecord::kBanks; ++bank) {
            ColourRecord::TransferBuffer sentBank{};
            ColourRecord::TransferBuffer storedBank{};
            ColourRecord::encodeBank(sentBank, bank, session.sectors());
            if (!check.readColourBank(bank, storedBank) || session.stopped()) {
                session.finishOperation();
                return notThrough(output, session, notDone);
            }
            differences << WriteCheck::colourDifferences(bank, sentBank, storedBank);
            checked += ColourRecord::kTransactions / ColourRecord::kBanks;
        }
        if (!session.finishOperation())
            return notThrough(output, session, notDone);
    }
    endCount(session);
    session.fields().setStatusLine(QStringLiteral("Ended"));
    output.outcome.differences = differences;
    if (differences.isEmpty()) {
        output.out(QStringLiteral("Read back %1 cells: all as sent\n").arg(checked));
        output.outcome.result = QStringLiteral("verified");
        return ExitDone;
    }
    output.out(differences.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    const QString count = differences.size() == 1 ? QStringLiteral("1 difference")
                                                  : QStringLiteral("%1 differences").arg(differences.size());
    const int status = output.fail(
        ExitDiffers, QStringLiteral("Com%1: %2 between what was sent and what the controller stored "
                                    "(%3 cells read back)")
                         .arg(session.port().portNumber())
                         .arg(count)
                         .arg(checked));
    output.outcome.result = count;
    return status;
}

int runWrite(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    // The file is loaded whole before the line is touched: a broken file sends nothing.
    QString error;
    if (!session.files().openFrom(line.arguments.first(), &error))
        return output.fail(ExitBadFile, error);

    // The write sends the addresses the controller has, so it needs its map first.
    const QString nothingWritten = QStringLiteral("nothing was written");
    if (session.stopped())
        return stopReport(output, session, nothingWritten);
    const int colours = line.colours ? ColourRecord::kTransactions : 0;
    const auto commandTotal = [&](int parameters) {
        return kIdentifySteps + parameters + colours + (line.verify ? parameters + colours : 0);
    };
    OperationProgress::Scope counted(session.link().progress(), commandTotal(kEveryAddress), true);
    session.setOperation(QStringLiteral("identification"));
    session.operations().IdentificarZAV();
    if (!session.finishOperation())
        return notThrough(output, session, nothingWritten);

    const QList<int> written = session.operations().writtenAddresses();
    session.link().progress().setTotal(commandTotal(int(written.size())));
    if (session.stopped())
        return stopReport(output, session, nothingWritten);
    session.fields().focused.clear();
    session.setOperation(QStringLiteral("the write"));
    session.operations().CEscribir_Click();
    if (!session.fields().focused.isEmpty()) {
        endCount(session);
        session.finishOperation();
        return output.fail(ExitBadFile, session.fields().statusLine());
    }
    if (!session.finishOperation()) {
        // Sent in ascending order: the answered ones are the first of the list.
        const int acknowledged = std::min(session.answeredInOperation(), int(written.size()));
        QString partly = QStringLiteral("the controller acknowledged %1 of the %2 parameters")
                             .arg(acknowledged)
                             .arg(written.size());
        if (acknowledged > 0)
            partly += QStringLiteral(" (up to address %1)").arg(written.at(acknowledged - 1));
        partly += QStringLiteral(", the others were not written");
        if (line.colours)
            partly += QStringLiteral(", nor the colours");
        return notThrough(output, session, partly);
    }

    QString summary = QStringLiteral("Wrote %1 parameters").arg(written.size());
    if (line.colours) {
        const QString coloursNotDone =
            QStringLiteral(
                "all %1 parameters were written, the colours and the sector table not or only in part")
                .arg(written.size());
        if (session.stopped())
            return stopReport(output, session, coloursNotDone);
        session.setOperation(QStringLiteral("the colour write"));
        session.colours().CEscribirColores_Click();
        if (!session.finishOperation())
            return notThrough(output, session, coloursNotDone);
        summary += QStringLiteral(", the colours and the sector table");
    }
    if (!line.verify)
        endCount(session);
    output.out(summary + QStringLiteral(" to %1\n").arg(portName(session)));
    output.outcome.result = QStringLiteral("written");
    if (line.verify)
        return verifyWrite(session, line, output, written);
    return ExitDone;
}

int runStatus(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    MemoryFields &fields = session.fields();
    for (const char *box : {"chkEstado", "chkCorrienteActual", "chkVelocidadActual", "chkCorrienteLeds"})
        fields.setValue(QLatin1String(box), 1);
    fields.setListIndex(QStringLiteral("ComboTipoCambiador"), line.changer);

    const QString notDone = QStringLiteral("nothing printed");
    if (session.stopped())
        return stopReport(output, session, notDone);
    session.setOperation(QStringLiteral("the status interrogation"));
    session.operations().CInterrogar_Click();
    if (!session.finishOperation())
        return notThrough(output, session, notDone);
    output.outcome.result = QStringLiteral("done");

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
        output.json({{QStringLiteral("port"), portName(session)},
                     {QStringLiteral("changer"), line.changer},
                     {QStringLiteral("indicators"), indicatorsJson},
                     {QStringLiteral("values"), parametersJson(values)}});
    } else {
        output.out(parameterTable(indicators + values));
    }
    return ExitDone;
}

int runCommand(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    const int which = directCommandIndex(directCommandButton(line.arguments.first()));
    const DirectCommand &command = directCommands()[size_t(which)];
    if (session.stopped())
        return stopReport(output, session, QStringLiteral("the command was not sent"));
    // Its outcome is the result printed below, not a status text as well.
    session.setResultTexts({QLatin1String(command.success), QLatin1String(command.failure)});
    session.setOperation(QStringLiteral("the %1 command").arg(line.arguments.first()));
    session.operations().directCommand(which);
    const QString text = session.fields().statusLine();
    if (!session.finishOperation() && session.stopped())
        return stopReport(output, session,
                          text == QLatin1String(command.success)
                              ? QStringLiteral("the command went through: ") + text.trimmed()
                              : QStringLiteral("the command was not acknowledged"));
    // Unanswered, the button's own failure text says it best.
    if (session.link().failed())
        return lineFailure(output, session);
    if (text == QLatin1String(command.failure))
        return output.fail(ExitNoAnswer, text.trimmed());
    output.out(text.trimmed() + QLatin1Char('\n'));
    output.outcome.result = text.trimmed();
    return ExitDone;
}

int runPortCommand(ControllerSession &session, const CommandLine &line, PortOutput &output)
{
    if (line.command == QLatin1String("identify"))
        return runIdentify(session, line, output);
    if (line.command == QLatin1String("read"))
        return runRead(session, line, output);
    if (line.command == QLatin1String("write"))
        return runWrite(session, line, output);
    if (line.command == QLatin1String("status"))
        return runStatus(session, line, output);
    return runCommand(session, line, output);
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

// Several ports at once: one thread per port, each with its own session (port,
// link, clock, pacing and one-operation rule), so N controllers take about as
// long as one. Output lines carry the port; a summary table ends the run.
int runSeveralPorts(const CommandLine &line, const SettingsRead &settings)
{
    struct Job
    {
        int number = 0;
        QString label;
        PortOutcome outcome;
    };
    QList<Job> jobs;
    if (!line.devices.isEmpty()) {
        // Each device runs as the next Com number, as one --device runs as Com1.
        for (qsizetype i = 0; i < line.devices.size(); ++i) {
            qputenv(qPrintable(PortLookup::variableName(int(i) + 1)), line.devices.at(i).toLocal8Bit());
            Job job;
            job.number = int(i) + 1;
            job.label = line.devices.at(i);
            jobs.append(job);
        }
    } else {
        for (int number : line.ports) {
            Job job;
            job.number = number;
            job.label = QStringLiteral("Com%1").arg(number);
            jobs.append(job);
        }
    }
    if (!line.output.isEmpty()) {
        int status = ExitDone;
        for (const Job &job : jobs) {
            QString error;
            if (!outputCanBeWritten(line.output, job.number, &error))
                status = fail(ExitBadFile, job.label + QStringLiteral(": ") + error);
        }
        if (status != ExitDone)
            return status;
    }
    // Looked up here, once: the threads then only read the catalogue.
    PortLookup::system().catalogue().devices();

    qint32 loopCount = 0;
    if (unpacedFromEnvironment()) {
        progress.status(QStringLiteral("ZAV_UNPACED is set: no pauses between bytes and after tries"));
    } else {
        // One calibration for every port: the pacing is the same on each line.
        loopCount = loopCountFromEnvironment();
        if (loopCount <= 0) {
            SteadyClock clock;
            Delay delay(clock);
            delay.CalibrateDelay([](const QString &text) { progress.status(text); }, [] {});
            loopCount = delay.DelayLoopCount();
        }
    }

    std::mutex printing;
    // The sessions' start-up reads the port settings store; one at a time.
    std::mutex settingUp;
    QHash<QString, QString> claimed; // -o file, by absolute path, and the port writing it
    const auto say = [&](const QString &label, const QString &text) {
        std::lock_guard lock(printing);
        // The per-byte counters of several ports would only scramble each other.
        if (ProgressPrinter::isCounter(text))
            return;
        progress.status(label + QStringLiteral(": ") + text.trimmed());
    };
    const auto prefixed = [](const QString &label, const QString &text) {
        QStringList lines = text.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        QString out;
        for (const QString &l : lines)
            out += label + QStringLiteral(": ") + l + QLatin1Char('\n');
        return out;
    };

    // QThreads: the serial port's notifiers need a thread Qt started.
    std::vector<std::unique_ptr<QThread>> threads;
    for (Job &job : jobs) {
        threads.emplace_back(QThread::create([&, jobPtr = &job] {
            Job &job = *jobPtr;
            QElapsedTimer timer;
            timer.start();
            PortOutput output;
            output.outcome.port = job.label;
            output.out = [&](const QString &text) {
                if (line.json)
                    return;
                std::lock_guard lock(printing);
                printOut(prefixed(job.label, text));
            };
            output.json = [&](const QJsonObject &object) { output.outcome.output = object; };
            output.fail = [&](int status, const QString &text) {
                output.outcome.result = text;
                std::lock_guard lock(printing);
                fail(status, job.label + QStringLiteral(": ") + text);
                return status;
            };
            output.claim = [&](const QString &path, QString *error) {
                const QString key = QFileInfo(path).absoluteFilePath();
                std::lock_guard lock(printing);
                const QString other = claimed.value(key);
                if (!other.isEmpty() && other != job.label) {
                    *error =
                        QStringLiteral("%1 is %2's file already: the -o pattern gives both the same name")
                            .arg(path, other);
                    return false;
                }
                claimed.insert(key, job.label);
                return true;
            };

            std::unique_lock setUpLock(settingUp);
            ControllerSession session(settings.settings.FactoryCode);
            session.onStatus = [&](const QString &text) { say(job.label, text); };
            session.onMessage = [&](const QString &text) { say(job.label, text); };
            session.onStopSignal = [&](int signal) {
                if (stopAnnounced.exchange(true))
                    return;
                std::lock_guard lock(printing);
                progress.status(stopNotice(signal));
            };
            session.setPortNumber(job.number);
            // A plain line at every tenth of each operation, and at its end.
            int tenthsShown = 0;
            session.link().progress().changed = [&](const OperationProgress &counted) {
                const QString text = ProgressPrinter::logLine(counted, tenthsShown);
                if (!text.isEmpty())
                    say(job.label, text);
            };
            QString error;
            const bool traced = line.trace.isEmpty() || session.recordTraffic(line.trace, &error);
            setUpLock.unlock();
            output.outcome.device = session.port().deviceName();
            if (!traced) {
                output.outcome.status = output.fail(ExitBadFile, error);
            } else {
                if (loopCount > 0)
                    session.calibrate(loopCount);
                output.outcome.status = runPortCommand(session, line, output);
            }
            output.outcome.seconds = double(timer.nsecsElapsed()) / 1e9;
            // Handed over under the lock the summary is read under.
            std::lock_guard lock(printing);
            job.outcome = output.outcome;
        }));
    }
    for (const auto &thread : threads)
        thread->start();
    for (const auto &thread : threads)
        thread->wait();
    std::lock_guard lock(printing);

    int worst = ExitDone;
    QList<PortOutcome> outcomes;
    for (const Job &job : jobs) {
        worst = std::max(worst, job.outcome.status);
        outcomes << job.outcome;
    }
    if (line.json)
        printJson(summaryJson(outcomes, worst));
    else
        printOut(QLatin1Char('\n') + summaryTable(outcomes));
    return worst;
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

    // The file goes first: an unreadable one costs no calibration, no port and no frame.
    if (line.command == QLatin1String("write")) {
        const ParameterFile::DecodeResult decoded = ParameterFile::readFile(line.arguments.first());
        if (!decoded.content)
            return fail(ExitBadFile, decoded.error);
    }

    // From here on a port may be open: SIGINT and SIGTERM stop the run in order.
    StopSignals::install();

    const SettingsRead settings = readSettingsFile(settingsFilePath());
    if (isSeveralPorts(line))
        return runSeveralPorts(line, settings);

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

    if (!line.output.isEmpty()) {
        QString error;
        if (!outputCanBeWritten(line.output, port, &error))
            return fail(ExitBadFile, error);
    }

    ControllerSession session(settings.settings.FactoryCode);
    session.onStatus = [](const QString &text) { progress.status(text); };
    session.onMessage = [](const QString &text) { progress.status(text); };
    session.onStopSignal = [](int signal) {
        if (!stopAnnounced.exchange(true))
            progress.status(stopNotice(signal));
    };
    session.link().progress().changed = [](const OperationProgress &counted) { progress.progress(counted); };
    session.setPortNumber(port);
    if (!line.trace.isEmpty()) {
        QString error;
        if (!session.recordTraffic(line.trace, &error))
            return fail(ExitBadFile, error);
    }

    if (unpacedFromEnvironment())
        progress.status(QStringLiteral("ZAV_UNPACED is set: no pauses between bytes and after tries"));
    else
        session.calibrate(loopCountFromEnvironment());

    PortOutput output;
    output.out = printOut;
    output.json = printJson;
    output.fail = fail;
    output.claim = [](const QString &, QString *) { return true; };
    return runPortCommand(session, line, output);
}
