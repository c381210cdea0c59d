#pragma once

#include <QDir>
#include <QString>
#include <QtGlobal>

// Where a GUI test saves a picture for a look at the layout: the folder named by
// ZAV_TEST_SCREENSHOTS when it is set (kept for review), else the test's own
// temporary folder (removed with it).
inline QString screenshotPath(const QString &temporaryFolder, const QString &name)
{
    const QString kept = qEnvironmentVariable("ZAV_TEST_SCREENSHOTS");
    const QString folder = kept.isEmpty() ? temporaryFolder : kept;
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}
