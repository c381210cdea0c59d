#include "files/parameterfile.h"

#include "device/numbers.h"
#include "device/parametermap.h"
#include "files/regularfilereader.h"
#include "sectors/sectortable.h"
#include "text/visibletext.h"

#include <QCoreApplication>
#include <QList>

namespace ParameterFile {

QByteArray encode(const ParameterImage &image, const SectorState &sectors)
{
    QByteArray out;
    out.reserve(kLines * 6);
    const auto line = [&out](qint64 value) {
        out += QByteArray::number(value);
        out += "\r\n";
    };
    for (qint64 cell : image)
        line(cell);
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        line(sectors.colours.colour(row));
        for (int column = 1; column <= SectorTable::kEntries; ++column)
            line(sectors.table.entry(row, column));
    }
    return out;
}

namespace {

// An image line: optional blanks, an optional sign, digits. Leading zeros do not
// count against the 18 digits a whole number may have.
std::optional<qint64> wholeLine(const QByteArray &text)
{
    const QByteArray t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    if (i == t.size())
        return std::nullopt;
    for (qsizetype j = i; j < t.size(); ++j) {
        if (t[j] < '0' || t[j] > '9')
            return std::nullopt;
    }
    while (i < t.size() - 1 && t[i] == '0')
        ++i;
    if (t.size() - i > 18)
        return std::nullopt;
    const qint64 magnitude = t.mid(i).toLongLong();
    return negative ? -magnitude : magnitude;
}

// A line as a message quotes it: its start, with control characters made visible.
QString quoted(const QByteArray &line)
{
    return visibleText(QString::fromLatin1(line.left(40)));
}

qint64 leadingWhole(const QByteArray &text)
{
    return scaledWhole(LeadingNumber(QString::fromLatin1(text))).value_or(kWholeNumberLimit);
}

} // namespace

DecodeResult decode(const QByteArray &bytes)
{
    DecodeResult result;
    QList<QByteArray> lines = bytes.split('\n');
    // A last line ended by CR LF leaves one empty piece behind.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    if (lines.size() < kLines) {
        result.error = QCoreApplication::translate("ParameterFile",
                                                   "The file ends at line %1; a parameter file has %2 lines.")
                           .arg(lines.size())
                           .arg(kLines);
        return result;
    }

    Content content;
    for (int address = 0; address < kImageLines; ++address) {
        const std::optional<qint64> value = wholeLine(lines.at(address));
        if (!value) {
            result.error =
                QCoreApplication::translate("ParameterFile", "Line %1 does not hold a whole number: \"%2\".")
                    .arg(address + 1)
                    .arg(quoted(lines.at(address)));
            return result;
        }
        content.image[size_t(address)] = *value;
    }
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        const qint64 colour = leadingWhole(lines.at(colourLine(row) - 1));
        if (colour < INT32_MIN || colour > INT32_MAX) {
            result.error =
                QCoreApplication::translate("ParameterFile", "Line %1 holds a colour too large: \"%2\".")
                    .arg(colourLine(row))
                    .arg(quoted(lines.at(colourLine(row) - 1)));
            return result;
        }
        content.colours[size_t(row)] = colour;
        for (int column = 1; column <= SectorTable::kEntries; ++column)
            content.entries[size_t(row)][size_t(column)] = leadingWhole(lines.at(entryLine(row, column) - 1));
    }
    const QString fieldError = checkFieldValues(content.image);
    if (!fieldError.isEmpty()) {
        result.error = fieldError;
        return result;
    }
    result.content = content;
    return result;
}

QString checkFieldValues(const ParameterImage &image)
{
    for (const ParameterRow &row : parameterRows()) {
        const qint64 value = image[size_t(row.address)];
        bool ok = true;
        switch (row.show) {
        case ShowRule::List:
        case ShowRule::Motor:
            ok = value >= -1; // -1 is a list with no choice, as a save of one writes it
            break;
        case ShowRule::Check:
            ok = value >= 0 && value <= 2; // cleared, set, greyed
            break;
        default:
            break;
        }
        if (!ok) {
            return QCoreApplication::translate("ParameterFile",
                                               "Line %1 holds %2, which the field %3 cannot take.")
                .arg(row.address + 1)
                .arg(value)
                .arg(QLatin1String(row.field));
        }
    }
    return QString();
}

DecodeResult readFile(const QString &path)
{
    DecodeResult result;
    const RegularFileRead read = RegularFileReader::read(path, kMaxFileSize);
    if (!read.bytes) {
        result.error = QCoreApplication::translate("ParameterFile", "Cannot open %1: %2")
                           .arg(visibleText(path), read.error);
        return result;
    }
    result = decode(*read.bytes);
    if (!result.content)
        result.error = QStringLiteral("%1: %2").arg(visibleText(path), result.error);
    return result;
}

} // namespace ParameterFile
