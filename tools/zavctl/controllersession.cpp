#include "controllersession.h"

#include "desktop/stopsignals.h"
#include "parameterreport.h"
#include "ui/layouttable.h"

#include <QCoreApplication>

namespace {
const QString kUnanswered = QStringLiteral("Error R  3");
const QString kDataError = QStringLiteral("Reading Error in data");
} // namespace

ControllerSession::ControllerSession(qint16 factoryCode)
    : m_delay(m_clock), m_port(createSystemSerialPort()), m_link(*m_port, m_clock, m_delay),
      m_editor(m_sectors, m_grid, m_fields), m_operations(m_fields, m_link, m_map, factoryCode),
      m_colours(m_link, m_fields, m_editor), m_files(m_fields, m_editor), m_traffic(m_clock.nowNs())
{
    m_fields.onStatus = [this](const QString &text) {
        // The run's own failure report or result says it once; after a stop, its
        // report says what happened instead of the operation's texts.
        const bool inFailureReport = (m_link.failed() && text == m_link.failureText()) ||
                                     (m_unanswered > 0 && text.startsWith(kDataError));
        if (inFailureReport || m_resultTexts.contains(text) || m_stopping)
            return;
        if (onStatus)
            onStatus(text);
    };
    m_fields.onMessage = [this](const QString &text) { m_heldMessages << text; };
    m_link.statusLine = [this](const QString &text) {
        m_fields.setStatusLine(text);
        if (text == kUnanswered)
            ++m_unanswered;
    };
    m_link.traffic = [this](const TrafficEvent &event) { onTraffic(event); };
    // No window events to run: the reply wait sleeps in the port, and looks for a stop signal.
    m_link.processEvents = [this] { lookForStop(); };
    setUpFields(factoryCode);
}

void ControllerSession::setUpFields(qint16 factoryCode)
{
    // The window's start-up, as far as it decides what is shown: the grid, the
    // indicator rows hidden, the lists with their first choices (which run the
    // rules), the light tables, the captions, the tabs, and the parameter fields
    // hidden until an identification shows the controller's own.
    m_editor.FormatearGrid();
    m_editor.BorrarDatosGrid();
    hideAtStartUpStep(m_fields, 7);
    hideAtStartUpStep(m_fields, 8);
    setUpParameterFields(m_fields);
    setUpTabStrip(m_fields, factoryCode);
    hideAtStartUpStep(m_fields, 13);
    m_editor.RellenarColores();
    m_operations.setFactoryCode(factoryCode);
}

bool ControllerSession::setPortNumber(int number)
{
    return m_port->setPortNumber(number);
}

void ControllerSession::calibrate(qint32 loopCount)
{
    if (loopCount > 0) {
        m_delay.setDelayLoopCount(loopCount);
        return;
    }
    m_delay.CalibrateDelay([this](const QString &text) { m_fields.setStatusLine(text); }, [] {});
}

bool ControllerSession::recordTraffic(const QString &path, QString *error)
{
    if (!m_traceFile.open(path, QStringLiteral("zavctl ") + QCoreApplication::applicationVersion(), error))
        return false;
    m_traceFile.failed = [this](const QString &) { m_traceFailed = true; };
    m_traffic.addSink([this](const QString &line) { m_traceFile.writeLine(line); });
    return true;
}

void ControllerSession::onTraffic(const TrafficEvent &event)
{
    m_traffic.record(event);
    if (event.kind == TrafficEvent::Received)
        ++m_answered;
    switch (event.kind) {
    case TrafficEvent::NoAnswer:
        // A tool run by a script should not wait on a silent line. Abandoned only
        // now, so the record says why before it says so.
        m_link.abort();
        break;
    case TrafficEvent::Opened:
    case TrafficEvent::Received:
    case TrafficEvent::TimedOut:
        // Nothing is on its way to or from the controller here: a stop can come now.
        if (stopped())
            stopNow();
        break;
    default:
        break;
    }
}

void ControllerSession::lookForStop()
{
    const int signal = StopSignals::first();
    if (signal == 0)
        return;
    if (!m_stopSeen) {
        m_stopSeen = true;
        if (onStopSignal)
            onStopSignal(signal);
    }
    // A second signal does not wait for the answer in progress.
    if (StopSignals::count() >= 2)
        stopNow();
}

void ControllerSession::stopNow()
{
    if (m_stopping)
        return;
    m_stopping = true;
    m_stoppedInOperation = m_inOperation;
    if (const int signal = StopSignals::first()) {
        TrafficEvent event;
        event.kind = TrafficEvent::Stopped;
        event.timeNs = m_clock.nowNs();
        event.port = m_port->portNumber();
        event.text = StopSignals::name(signal);
        m_traffic.record(event);
    }
    m_link.abort();
}

bool ControllerSession::stopped() const
{
    return StopSignals::first() != 0 || m_traceFailed;
}

QString ControllerSession::stopPoint() const
{
    if (m_stopping && m_stoppedInOperation)
        return QStringLiteral(" during %1, after %2 answered transaction%3")
            .arg(m_operation)
            .arg(m_answered)
            .arg(m_answered == 1 ? QString() : QStringLiteral("s"));
    if (!m_operation.isEmpty())
        return QStringLiteral(" after ") + m_operation;
    return QStringLiteral(" before the first frame");
}

int ControllerSession::stopSignal() const
{
    return StopSignals::first();
}

bool ControllerSession::finishOperation()
{
    const QStringList messages = m_heldMessages;
    m_heldMessages.clear();
    // A stop that came after the last transaction lets the operation go through;
    // the run ends all the same.
    if (stopped())
        m_stopping = true;
    m_inOperation = false;
    if (stopped() || lineFailed())
        return false;
    for (const QString &message : messages) {
        if (onMessage)
            onMessage(message);
    }
    return true;
}

bool ControllerSession::lineFailed() const
{
    return m_link.failed() || m_unanswered > 0;
}

QString ControllerSession::lineFailureText() const
{
    if (m_link.failed())
        return m_link.failureText();
    const QString dataError = lastDataError();
    QString text = QStringLiteral("Com%1: the controller did not answer").arg(m_port->portNumber());
    if (!m_operation.isEmpty())
        text += QStringLiteral(" during ") + m_operation;
    text += QStringLiteral(" (Time Out Transmision, %1)").arg(kUnanswered);
    if (!dataError.isEmpty())
        text += QStringLiteral("; ") + dataError;
    return text;
}

QString ControllerSession::lastDataError() const
{
    for (auto it = m_fields.statusHistory.crbegin(); it != m_fields.statusHistory.crend(); ++it) {
        if (it->startsWith(kDataError))
            return *it;
    }
    return {};
}

bool ControllerSession::isShown(const char *field) const
{
    return isShownInWindow(m_fields, field);
}
