#include "desktop/helplauncher.h"

QStringList helpViewerCandidates()
{
    QStringList names;
    const QString chosen = qEnvironmentVariable("ZAV_HELP_VIEWER");
    if (!chosen.isEmpty())
        names << chosen;
    // The system's HTML help viewer, hh.exe in the Windows folder.
    names << QStringLiteral("hh");
    return names;
}
