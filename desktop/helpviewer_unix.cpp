#include "desktop/helplauncher.h"

QStringList helpViewerCandidates()
{
    QStringList names;
    const QString chosen = qEnvironmentVariable("ZAV_HELP_VIEWER");
    if (!chosen.isEmpty())
        names << chosen;
    // Dedicated .chm viewers first; xdg-open hands the file to whatever the desktop picked.
    names << QStringLiteral("xchm") << QStringLiteral("kchmviewer") << QStringLiteral("xdg-open");
    return names;
}
