#pragma once

#include <QString>
#include <QStringList>

// The help file beside the executable, named by text 2000 in the user's language.
QString helpFilePath();

// Starts the help viewer on the file without waiting for it; the path goes to the
// viewer as one argument, never through a shell: the first that starts of
// $ZAV_HELP_VIEWER and, on Windows, "hh"; elsewhere xchm, kchmviewer and xdg-open.
// False with *error ("Cannot start the help viewer: ...") when none starts.
bool startHelpViewer(const QString &helpFile, QString *error);

// The viewers tried, in order (desktop/helpviewer_unix.cpp, desktop/helpviewer_win.cpp).
QStringList helpViewerCandidates();
