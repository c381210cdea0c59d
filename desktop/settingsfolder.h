#pragma once

#include <QString>

// Where zav.ini may live, as each system has it (desktop/settingsfolder_unix.cpp,
// desktop/settingsfolder_win.cpp).

// True when this user can create files in the folder (the executable's own folder
// of a portable copy, not that of an install under /usr or Program Files).
bool folderTakesFiles(const QString &folder);

// The user's own folder for zav.ini: ~/.config/ZAV, %APPDATA%\ZAV.
QString perUserSettingsFolder();
