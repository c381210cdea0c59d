#pragma once

#include <QByteArray>
#include <QString>

// The five values of zav.ini, in file order.
struct StartupSettings
{
    qint16 PortNumber = 1;
    qint32 Spare1 = 0;
    qint32 Spare2 = 0;
    QString LanguageCode = QStringLiteral("1");
    qint16 FactoryCode = 0;

    bool operator==(const StartupSettings &) const = default;
};

struct SettingsRead
{
    StartupSettings settings;
    // Empty when the file was read whole; otherwise what was wrong and that defaults were used.
    QString problem;
};

// Reads the five values: each ends at a comma or a line end, spaces before a value
// are skipped, the string may be quoted or not, a number that does not read is 0,
// and anything after the fifth value is ignored. Missing or out-of-range values
// keep their defaults. cut: the content is only the start of a larger file.
SettingsRead parseSettings(const QByteArray &content, bool cut = false);
SettingsRead readSettingsFile(const QString &path);

// Five CR LF lines: plain decimal numbers, the string in double quotes (Latin-1);
// a string holding a double quote stands without them, as it was read.
QByteArray formatSettings(const StartupSettings &settings);
// Replaces the file whole or not at all; false with *error set when it cannot, or
// when what it would write does not read back as these values (nothing is written).
bool writeSettingsFile(const QString &path, const StartupSettings &settings, QString *error);

// zav.ini beside the executable where that folder is writable (the build tree, a
// portable copy); otherwise, for an installed tool, the user's own copy from
// perUserSettingsFile(). The environment variable ZAV_INI overrides both.
QString settingsFilePath();
// The user's own zav.ini, ~/.config/ZAV/zav.ini (Windows: %APPDATA%\ZAV\zav.ini); the
// first call creates it with the values of `seed` (the file beside the executable)
// or, without one, the defaults.
QString perUserSettingsFile(const QString &seed);
