#include "parameterreport.h"

#include "captions.h"
#include "device/lighttables.h"
#include "device/numbers.h"
#include "device/parameterlists.h"
#include "device/parametermap.h"
#include "device/rules.h"
#include "fields/fields.h"
#include "sectors/sectoreditor.h"
#include "sectors/sectortable.h"

#include <QJsonObject>
#include <QRegularExpression>

#include <mutex>

void setUpParameterFields(Fields &fields)
{
    installDependencyRules(fields);
    fillParameterLists(fields);
    // The tables are the process's: filled once, then only read by every port's thread.
    static std::once_flag filled;
    std::call_once(filled, FillLightTables);
    loadLabelCaptions(fields);
}

QString captionOf(const Fields &fields, const char *name)
{
    if (!name)
        return {};
    // One per thread (several ports run side by side): a pattern compiles on first use.
    static thread_local const QRegularExpression spaceRun(QStringLiteral(" {2,}"));
    return fields.caption(QLatin1String(name)).trimmed().replace(spaceRun, QStringLiteral(" "));
}

ShownParameter shownParameter(const Fields &fields, const ParameterRow &row)
{
    ShownParameter shown;
    shown.field = QLatin1String(row.field);
    shown.address = row.address;
    shown.label = captionOf(fields, row.label);
    if (shown.label.isEmpty())
        shown.label = shown.field;
    shown.unit = captionOf(fields, row.unit);
    switch (row.show) {
    case ShowRule::List:
    case ShowRule::Changer:
    case ShowRule::Motor: {
        shown.listIndex = fields.listIndex(shown.field);
        const QStringList entries = fields.listEntries(shown.field);
        if (shown.listIndex >= 0 && shown.listIndex < entries.size())
            shown.value = entries.at(shown.listIndex);
        break;
    }
    case ShowRule::Check:
        shown.value = QString::number(fields.value(shown.field));
        shown.numeric = true;
        break;
    case ShowRule::Identifier:
        shown.value = fields.text(shown.field);
        break;
    default:
        shown.value = fields.text(shown.field);
        shown.numeric = true;
        break;
    }
    return shown;
}

QList<ShownParameter> shownParameters(const Fields &fields,
                                      const std::function<bool(const ParameterRow &)> &keep)
{
    QList<ShownParameter> shown;
    for (const ParameterRow &row : parameterRows()) {
        if (keep(row))
            shown.append(shownParameter(fields, row));
    }
    return shown;
}

QString parameterTable(const QList<ShownParameter> &parameters)
{
    qsizetype labelWidth = 0;
    qsizetype valueWidth = 0;
    for (const ShownParameter &p : parameters) {
        labelWidth = qMax(labelWidth, p.label.size());
        valueWidth = qMax(valueWidth, p.value.size());
    }
    QString table;
    for (const ShownParameter &p : parameters) {
        QString line = p.label.leftJustified(labelWidth) + QStringLiteral("  ");
        line +=
            p.unit.isEmpty() ? p.value : p.value.leftJustified(valueWidth) + QStringLiteral("  ") + p.unit;
        table += line.trimmed() + QLatin1Char('\n');
    }
    return table;
}

namespace {

QJsonValue jsonNumber(const QString &text)
{
    // The text as the user's locale shows it, read back exactly and written with a
    // decimal point; a text that is no number gives null.
    const std::optional<DecimalNumber> number = WholeText(text);
    if (!number)
        return QJsonValue::Null;
    QByteArray digits = number->digits;
    if (number->decimals > 0) {
        if (digits.size() <= number->decimals)
            digits.prepend(QByteArray(number->decimals - digits.size() + 1, '0'));
        digits.insert(digits.size() - number->decimals, '.');
    }
    if (number->negative)
        digits.prepend('-');
    return digits.toDouble();
}

} // namespace

QJsonArray parametersJson(const QList<ShownParameter> &parameters)
{
    QJsonArray array;
    for (const ShownParameter &p : parameters) {
        QJsonObject object{{QStringLiteral("field"), p.field},
                           {QStringLiteral("label"), p.label},
                           {QStringLiteral("value"), p.numeric ? jsonNumber(p.value) : QJsonValue(p.value)},
                           {QStringLiteral("text"), p.value},
                           {QStringLiteral("unit"), p.unit}};
        if (p.address >= 0)
            object.insert(QStringLiteral("address"), p.address);
        if (p.listIndex != -2)
            object.insert(QStringLiteral("index"), p.listIndex);
        array.append(object);
    }
    return array;
}

QString sectorEntryText(qint32 entry)
{
    return entry >= 0 && entry <= 360 ? SectorEditor::formatAngle(entry) : QString();
}

QString sectorLines(const SectorState &sectors)
{
    QString lines;
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        QStringList entries;
        for (int column = 1; column <= SectorTable::kEntries; ++column) {
            const QString text = sectorEntryText(sectors.table.entry(row, column));
            if (!text.isEmpty())
                entries << text;
        }
        lines += QStringLiteral("Colour %1  %2  %3")
                     .arg(row)
                     .arg(sectors.colours.colour(row), 8)
                     .arg(entries.join(QLatin1Char(' ')))
                     .trimmed();
        lines += QLatin1Char('\n');
    }
    return lines;
}

QJsonArray sectorsJson(const SectorState &sectors)
{
    QJsonArray array;
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        QJsonArray entries;
        for (int column = 1; column <= SectorTable::kEntries; ++column)
            entries.append(sectors.table.entry(row, column));
        array.append(QJsonObject{{QStringLiteral("row"), row},
                                 {QStringLiteral("colour"), sectors.colours.colour(row)},
                                 {QStringLiteral("entries"), entries}});
    }
    return array;
}
