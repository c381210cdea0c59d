#pragma once

#include <QString>
#include <QStringView>

// Outside text (a line of a file, a path, an identifier from a controller) with its
// control characters written as \xHH escapes, so that a message quoting it can
// neither move a terminal's cursor nor clear its screen nor break a message box
// apart. C0 controls, DEL and the C1 controls U+0080 to U+009F are escaped.
QString visibleText(QStringView text);
