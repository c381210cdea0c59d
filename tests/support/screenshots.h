#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Where a GUI test saves a picture for a look at the layout: a temporary folder
// of the test program, removed at its end; with ZAV_KEEP_SCREENSHOTS set it
// stays, and its path is printed once.
inline QString screenshotPath(const QString &name)
{
    static QTemporaryDir folder;
    static const bool kept = [] {
        if (!qEnvironmentVariableIsSet("ZAV_KEEP_SCREENSHOTS"))
            return false;
        folder.setAutoRemove(false);
        qInfo("Pictures of the window: %s", qPrintable(folder.path()));
        return true;
    }();
    Q_UNUSED(kept);
    return folder.filePath(name);
}
