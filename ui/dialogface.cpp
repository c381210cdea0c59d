#include "ui/dialogface.h"

#include <QFontInfo>

namespace {

const QString kFace = QStringLiteral("Carlito");

} // namespace

QFont dialogFont(qreal points)
{
    QFont font(kFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

bool dialogFaceInstalled()
{
    return QFontInfo(dialogFont()).family().compare(kFace, Qt::CaseInsensitive) == 0;
}
