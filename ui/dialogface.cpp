#include "ui/dialogface.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

const QString kFace = QStringLiteral("Carlito");

// A build that carries the face in its resources (Windows, where no package
// brings it) makes it known to the application before its first use.
void addBundledFaces()
{
    static const bool added = [] {
        const QDir folder(QStringLiteral(":/zav-fonts"));
        for (const QString &name : folder.entryList(QDir::Files))
            QFontDatabase::addApplicationFont(folder.filePath(name));
        return true;
    }();
    (void)added;
}

} // namespace

QFont dialogFont(qreal points)
{
    addBundledFaces();
    QFont font(kFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
#ifdef Q_OS_WIN
    // The layout was measured with the glyphs hinted only vertically, as Debian's
    // FreeType does; Windows hints fully by default, which widens text by a pixel
    // here and there and shrinks or crowds captions that fit on Linux.
    font.setHintingPreference(QFont::PreferVerticalHinting);
#endif
    return font;
}

bool dialogFaceInstalled()
{
    return QFontInfo(dialogFont()).family().compare(kFace, Qt::CaseInsensitive) == 0;
}
