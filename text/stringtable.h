#pragma once

#include <QString>

// The five versions the string table holds, by their language IDs.
enum class LanguageVersion
{
    Neutral = 0,
    EnglishUS = 1033,
    SpanishModern = 3082,
    SpanishTraditional = 1034,
    French = 1036
};

// The version a POSIX locale name ("fr_CA.UTF-8", "es_ES@traditional", "C") maps to.
LanguageVersion languageVersionFor(const QString &localeName);

// The locale that decides the message language: LC_ALL, else LC_MESSAGES, else LANG.
QString messagesLocaleName();

// The version for the user's locale, read from the environment on every call.
LanguageVersion systemLanguageVersion();

// The version LoadText(id) speaks: the user's, chosen on first use and kept for the run.
LanguageVersion runLanguageVersion();

// The text in the user's version, chosen once per run; neutral for a locale without a version.
QString LoadText(int id);
QString LoadText(int id, LanguageVersion version);

// True when the table holds the ID.
bool hasText(int id);

// Texts of this program's own that the numbered table does not hold, in the same
// languages (English for the neutral and US versions, Spanish for both sorts, French).
enum class OwnText
{
    StartHint, // the start-up call-out; %1 is the Read button's caption
};

QString LoadOwnText(OwnText text);
QString LoadOwnText(OwnText text, LanguageVersion version);
