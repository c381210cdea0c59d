#include "controllersession.h"

#include "parameterreport.h"
#include "ui/layouttable.h"

#include <QCoreApplication>

namespace {
const QString kUnanswered = QStringLiteral("Error R  3");
const QString kDataError = QStringLiteral("Reading Error in data");
} // namespace

ControllerSession::ControllerSession(qint16 factoryCode)
    : m_delay(m_clock), m_port(createQtSerialPort()), m_link(*m_port, m_clock, m_delay),
      m_editor(m_sectors, m_grid, m_fields), m_operations(m_fields, m_link, m_map, factoryCode),
      m_colours(m_link, m_fields, m_editor), m_files(m_fields, m_editor), m_traffic(m_clock.nowNs())
{
    m_fields.onStatus = [this](const QString &text) {
        if (onStatus)
            onStatus(text);
    };
    m_link.statusLine = [this](const QString &text) {
        m_fields.setStatusLine(text);
        if (text == kUnanswered) {
            ++m_unanswered;
            m_link.abort();
        }
    };
    // No window events to run: the reply wait sleeps in the port.
    m_link.processEvents = [] {};
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
    m_traffic.addSink([this](const QString &line) { m_traceFile.writeLine(line); });
    m_link.traffic = [this](const TrafficEvent &event) { m_traffic.record(event); };
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
