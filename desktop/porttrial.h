#pragma once

#include "desktop/startupsettings.h"

#include <functional>

class Delay;
class Fields;
class SerialPort;

// The port list ComboCom: a pick is tried by opening and closing the port, and
// ComboCom_Click stores it in zav.ini. A port that fails falls back to "Com1:".
class PortTrial
{
public:
    PortTrial(Fields &fields, SerialPort &port, Delay &delay, StartupSettings &settings,
              QString settingsPath);

    // Tries the selected port and rewrites the settings file.
    void ComboCom_Click();
    // Tries the selected port; never writes the file and shows nothing on success.
    void ComboCom_Change();

    // True while an operation uses the port; the trial then leaves the port alone.
    std::function<bool()> isBusy;
    // True when the technician assigned an adapter to the Com number.
    std::function<bool(int)> hasAssignment;

    static QString busyText();

    // Why the port of the last trial could not be opened; empty when it could.
    QString lastDiagnosis() const { return m_lastDiagnosis; }
    // The assigned Com number that failed and that zav.ini keeps while this session
    // runs on the fall-back; 0 when none.
    int keptPort() const { return m_keptPort; }

private:
    void trial(bool store);
    bool tryPort(QString *why);
    void failurePath(const QString &diagnosis);

    Fields &m_fields;
    SerialPort &m_port;
    Delay &m_delay;
    StartupSettings &m_settings;
    QString m_settingsPath;
    int m_depth = 0;
    bool writeFile(QString *error) const;

    int m_failures = 0;
    int m_keptPort = 0;
    QString m_diagnosis;     // of the latest failure
    QString m_lastDiagnosis; // of the outermost trial that ended last
};
