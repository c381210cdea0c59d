#pragma once

#include "app/startupsettings.h"

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

    static QString busyText();

private:
    void trial(bool store);
    bool tryPort();
    void failurePath();

    Fields &m_fields;
    SerialPort &m_port;
    Delay &m_delay;
    StartupSettings &m_settings;
    QString m_settingsPath;
    int m_depth = 0;
};
