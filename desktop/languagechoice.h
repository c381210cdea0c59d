#pragma once

#include "desktop/startupsettings.h"

class Fields;

// The hidden language list ComboIdioma: it only stores the code in zav.ini;
// the texts follow the user's locale.
class LanguageChoice
{
public:
    LanguageChoice(Fields &fields, StartupSettings &settings, QString settingsPath);

    // Entry 0 ("English") stores "1", entry 1 ("Español") "34", any other leaves
    // the code; then rewrites the file and lets pending events run.
    void ComboIdioma_Click();

private:
    Fields &m_fields;
    StartupSettings &m_settings;
    QString m_settingsPath;
};
