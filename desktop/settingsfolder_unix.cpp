#include "desktop/settingsfolder.h"

#include <QFileInfo>
#include <QStandardPaths>

bool folderTakesFiles(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

QString perUserSettingsFolder()
{
    // One folder for zav and zavctl alike, whatever each calls itself.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1String("/ZAV");
}
