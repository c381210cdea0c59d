#include "desktop/helplauncher.h"

#include "text/stringtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

// The program's full path: a name with a slash as it stands, a bare name through PATH.
QString resolveProgram(const QString &name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

} // namespace

QString helpFilePath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                    LoadText(2000));
}

bool startHelpViewer(const QString &helpFile, QString *error)
{
    QStringList failures;
    for (const QString &name : helpViewerCandidates()) {
        const QString program = resolveProgram(name);
        if (program.isEmpty()) {
            failures << QCoreApplication::translate("HelpLauncher", "%1 not found").arg(name);
            continue;
        }
        QProcess process;
        process.setProgram(program);
        process.setArguments({helpFile});
        if (process.startDetached())
            return true;
        failures << QStringLiteral("%1: %2").arg(name, process.errorString());
    }
    if (error)
        *error = QCoreApplication::translate("HelpLauncher", "Cannot start the help viewer: ") +
                 failures.join(QLatin1String("; "));
    return false;
}
