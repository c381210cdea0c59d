#pragma once

#include <QString>

// The help file beside the executable, named by text 2000 in the user's language.
QString helpFilePath();

// Starts the help viewer on the file without waiting for it; the path goes to the
// viewer as one argument, never through a shell. Windows uses "hh"; elsewhere the
// first that starts of $ZAV_HELP_VIEWER, xchm, kchmviewer and xdg-open.
// False with *error ("Cannot start the help viewer: ...") when none starts.
bool startHelpViewer(const QString &helpFile, QString *error);
