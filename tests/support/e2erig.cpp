#include "support/e2erig.h"

#include "device/lighttables.h"
#include "device/parameterlists.h"
#include "device/rules.h"
#include "device/visibility.h"
#include "link/frame.h"

#include <QCoreApplication>

namespace {

const char *const kCommandButtons[] = {"CAbrir", "CGuardar", "CLeer", "CEscribir"};

bool isHexByte(const QString &word)
{
    if (word.size() != 2)
        return false;
    bool ok = false;
    word.toUInt(&ok, 16);
    return ok;
}

} // namespace

E2eRig::E2eRig()
    : port(createSystemSerialPort()), link(*port, clock, delay), ops(fields, link, map, 0),
      editor(sectors, grid, fields), colours(link, fields, editor)
{
    setRealPauses(false);
    link.statusLine = [this](const QString &text) { fields.setStatusLine(text); };
    link.processEvents = [this] {
        ++eventPumps;
        QCoreApplication::processEvents();
    };
    startUpFields();
}

E2eRig::~E2eRig()
{
    link.closePort();
    sim.stop();
}

void E2eRig::startUpFields()
{
    // As the window leaves them after start-up: the sector grid formatted and
    // empty, every field the map can show hidden, four tabs, the lists filled
    // (their first choice runs the rules), the colour labels "1".."8".
    grid.onLeaveCell = [this](int row, int column) { editor.leaveCell(row, column); };
    editor.FormatearGrid();
    editor.BorrarDatosGrid();
    for (const VisibilityRow &row : visibilityTable()) {
        for (const char *name : {row.label, row.field, row.unit}) {
            if (name)
                fields.setVisible(QLatin1String(name), false);
        }
    }
    for (const char *name : factoryOnlyControls())
        fields.setVisible(QLatin1String(name), false);
    fields.setVisible(QStringLiteral("PictureInicio"), true);
    fields.setListEntries(QStringLiteral("TabStrip1"),
                          {QStringLiteral("Main"), QStringLiteral("Motor"), QStringLiteral("Remote control"),
                           QStringLiteral("Sectors")});
    fields.setListIndex(QStringLiteral("TabStrip1"), 0);
    installDependencyRules(fields);
    fillParameterLists(fields);
    FillLightTables();
    for (int i = 1; i <= SectorColours::kCount; ++i)
        fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
    fields.setText(QStringLiteral("TTiempoModoVerboso"), QStringLiteral("3"));
}

bool E2eRig::start(const QString &profile, const QStringList &simArgs)
{
    if (!sim.start(profile, simArgs))
        return false;
    usePortDevice(sim.devicePath());
    return true;
}

void E2eRig::usePortDevice(const QString &device)
{
    qputenv("ZAV_COM1", device.toLocal8Bit());
    // The port takes its device name when its number is chosen.
    port->setPortNumber(1);
}

void E2eRig::setRealPauses(bool real)
{
    delay.setDelayLoopCount(real ? 1 : 0);
}

bool E2eRig::simCommand(const QString &line)
{
    return sim.command(line) == QLatin1String("ok");
}

int E2eRig::logMark()
{
    return int(sim.frameLog().size());
}

QList<E2eRig::LoggedFrame> E2eRig::logSince(int mark)
{
    QList<LoggedFrame> frames;
    const QStringList lines = sim.frameLog();
    for (qsizetype i = mark; i < lines.size(); ++i) {
        const QStringList words = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() < 2)
            continue;
        LoggedFrame frame;
        frame.seconds = words[0].toDouble();
        frame.received = words[1] == QLatin1String("RX");
        qsizetype w = 2;
        for (; w < words.size() && isHexByte(words[w]); ++w)
            frame.bytes.append(char(words[w].toUInt(nullptr, 16)));
        if (words[1] != QLatin1String("RX") && words[1] != QLatin1String("TX"))
            w = 1; // HANGUP and the like: the whole line is the note
        frame.note = words.mid(w).join(QLatin1Char(' '));
        frames.append(frame);
    }
    return frames;
}

QList<QByteArray> E2eRig::requestsSince(int mark)
{
    QList<QByteArray> requests;
    for (const LoggedFrame &frame : logSince(mark)) {
        if (frame.received && frame.bytes.size() == kFrameSize &&
            !frame.note.contains(QLatin1String("checksum")))
            requests.append(frame.bytes);
    }
    return requests;
}

bool E2eRig::noInterleaving(int mark, QString *why)
{
    bool awaitingAnswer = false;
    const QList<LoggedFrame> frames = logSince(mark);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const LoggedFrame &frame = frames[i];
        QString problem;
        if (frame.note.contains(QLatin1String("skipped")) || frame.note.contains(QLatin1String("checksum")))
            problem = QStringLiteral("garbled request: ") + frame.note;
        else if (frame.received && awaitingAnswer)
            problem = QStringLiteral("a request came before the answer to the one before");
        if (!problem.isEmpty()) {
            if (why)
                *why = QStringLiteral("log entry %1: %2").arg(i).arg(problem);
            return false;
        }
        if (frame.received)
            awaitingAnswer = !frame.note.startsWith(QLatin1String("no answer"));
        else
            awaitingAnswer = false;
    }
    return true;
}

bool E2eRig::buttonsEnabled() const
{
    for (const char *name : kCommandButtons) {
        if (!fields.isEnabled(QLatin1String(name)))
            return false;
    }
    return true;
}

QByteArray E2eRig::frame(quint8 command, quint8 param1, quint8 param2)
{
    RequestFrame request;
    request.Command = command;
    request.Param1 = param1;
    request.Param2 = param2;
    return encodeRequest(request);
}
