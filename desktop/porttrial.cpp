#include "desktop/porttrial.h"

#include "fields/fields.h"
#include "link/delay.h"
#include "link/serialport.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString kComboCom = QStringLiteral("ComboCom");

// A number as the status texts show it: a space in place of the sign when not negative.
QString withSign(int n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

} // namespace

PortTrial::PortTrial(Fields &fields, SerialPort &port, Delay &delay, StartupSettings &settings,
                     QString settingsPath)
    : m_fields(fields), m_port(port), m_delay(delay), m_settings(settings),
      m_settingsPath(std::move(settingsPath))
{
}

QString PortTrial::busyText()
{
    return QCoreApplication::translate("PortTrial", "Port busy: finish the running operation first");
}

void PortTrial::ComboCom_Click()
{
    trial(true);
}

void PortTrial::ComboCom_Change()
{
    trial(false);
}

bool PortTrial::tryPort(QString *why)
{
    // A port left open here belongs to no operation (isBusy said so); start clean.
    if (m_port.isOpen())
        m_port.close();
    if (!m_port.setPortNumber(m_settings.PortNumber))
        return false;
    if (!m_port.open()) {
        *why = m_port.openFailureText();
        return false;
    }
    m_port.close();
    return true;
}

void PortTrial::trial(bool store)
{
    if (isBusy && isBusy()) {
        m_fields.setStatusLine(busyText());
        return;
    }
    ++m_depth;
    const int failuresBefore = m_failures;
    // No choice (text typed that matches no entry) gives port 0, which fails below.
    const int picked = m_fields.listIndex(kComboCom) + 1;
    m_settings.PortNumber = qint16(picked);
    if (m_depth == 1)
        m_keptPort = 0;
    QString why;
    if (!tryPort(&why)) {
        // An adapter assigned to the number is only unplugged: the session falls
        // back, but zav.ini keeps the number, so the next start finds the adapter.
        if (m_depth == 1 && hasAssignment && hasAssignment(picked))
            m_keptPort = picked;
        failurePath(why);
    }
    // The outermost trial ends on why the port failed, after the texts it shows anyway.
    const bool explain = m_depth == 1 && m_failures > failuresBefore && !m_diagnosis.isEmpty();
    const QString because = explain ? QStringLiteral(" - ") + m_diagnosis : QString();
    if (store) {
        QString error;
        const bool saved = writeFile(&error);
        if (!saved)
            failurePath(QString());
        m_fields.setStatusLine(QLatin1String("Serial Port ") + withSign(m_settings.PortNumber) +
                               (saved ? because : QString()));
        if (!saved)
            m_fields.setStatusLine(QCoreApplication::translate("PortTrial", "%1 not saved: %2")
                                       .arg(QFileInfo(m_settingsPath).fileName(), error));
    } else if (explain) {
        m_fields.setStatusLine(m_fields.statusLine() + because);
    }
    if (m_depth == 1) {
        m_lastDiagnosis = m_failures > failuresBefore ? m_diagnosis : QString();
        // The in-memory copy is what the other writers of zav.ini store.
        if (m_keptPort > 0)
            m_settings.PortNumber = qint16(m_keptPort);
    }
    --m_depth;
}

bool PortTrial::writeFile(QString *error) const
{
    StartupSettings stored = m_settings;
    if (m_keptPort > 0)
        stored.PortNumber = qint16(m_keptPort);
    return writeSettingsFile(m_settingsPath, stored, error);
}

void PortTrial::failurePath(const QString &diagnosis)
{
    ++m_failures;
    m_diagnosis = diagnosis;
    m_fields.setStatusLine(QLatin1String("Serial Port ") + withSign(m_settings.PortNumber) +
                           QLatin1String("  Not Avalaible") +
                           (diagnosis.isEmpty() ? QString() : QStringLiteral(" - ") + diagnosis));
    m_fields.processEvents();
    m_delay.DelayMs(2000);
    // Selecting "Com1:" runs ComboCom_Click for port 1. Only the outermost trial
    // falls back, and not when "Com1:" is already the choice: the fall-back
    // failing again must not start another trial.
    if (m_depth == 1 && m_fields.listIndex(kComboCom) != 0)
        m_fields.setListIndex(kComboCom, 0);
    // The trial for port 1 set this already; keep it so when the list has no handler.
    m_settings.PortNumber = 1;
}
