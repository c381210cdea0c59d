#include "text/visibletext.h"

QString visibleText(QStringView text)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            out += QLatin1String("\\x");
            out += QLatin1Char(kHex[u >> 4]);
            out += QLatin1Char(kHex[u & 0xF]);
        } else {
            out += c;
        }
    }
    return out;
}
