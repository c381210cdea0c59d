#pragma once

#include "text/stringtable.h"

#include <QString>

class QTranslator;

// The texts this program adds around the string table's (the port line, the
// adapter dialog, the traffic view's menu, open-failure explanations ...) come
// from Qt Linguist catalogues built into the window, and Qt's own standard
// buttons and context menus from Qt's catalogues beside them. Both follow the
// language of the string table, so a window never mixes two languages of ours.

// The catalogue of a string-table version: "en", "es" (both sorts) or "fr".
QString translationLanguage(LanguageVersion version);

// Loads Qt's own catalogue of a module ("qtbase") for a language: the installed
// Qt's (QLibraryInfo::TranslationsPath) or else the copy built in, if any.
bool loadQtCatalogue(QTranslator &translator, const QString &module, const QString &language);

// Installs the program's catalogue and Qt's for the version on the running
// application. False when one the build embeds is missing.
bool installTranslations(LanguageVersion version);
