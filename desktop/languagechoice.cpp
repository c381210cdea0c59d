#include "desktop/languagechoice.h"

#include "fields/fields.h"

#include <QCoreApplication>
#include <QFileInfo>

LanguageChoice::LanguageChoice(Fields &fields, StartupSettings &settings, QString settingsPath)
    : m_fields(fields), m_settings(settings), m_settingsPath(std::move(settingsPath))
{
}

void LanguageChoice::ComboIdioma_Click()
{
    switch (m_fields.listIndex(QStringLiteral("ComboIdioma"))) {
    case 0:
        m_settings.LanguageCode = QStringLiteral("1");
        break;
    case 1:
        m_settings.LanguageCode = QStringLiteral("34");
        break;
    default:
        break;
    }
    QString error;
    if (!writeSettingsFile(m_settingsPath, m_settings, &error))
        m_fields.setStatusLine(QCoreApplication::translate("LanguageChoice", "%1 not saved: %2")
                                   .arg(QFileInfo(m_settingsPath).fileName(), error));
    m_fields.processEvents();
}
