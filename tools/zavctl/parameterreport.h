#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>
#include <functional>

class Fields;
struct ParameterRow;
struct SectorState;

// Readies a field store as the window's start-up readies its fields: the list
// rules, the lists with their first choice, the light tables and the captions.
void setUpParameterFields(Fields &fields);

// One parameter as the window shows it: label, value, unit.
struct ShownParameter
{
    QString field;
    int address = -1; // -1 for a value not in the parameter memory
    QString label;
    QString value;
    QString unit;
    int listIndex = -2;   // list fields only; -1 for no choice
    bool numeric = false; // the value is a number, shown in the user's locale
};

// A label or unit caption as a line of text shows it: trimmed, with the run of
// spaces that places a field inside a caption closed up.
QString captionOf(const Fields &fields, const char *name);
// The field's value as shown: its text, its list entry, or 1/0 for the check box.
ShownParameter shownParameter(const Fields &fields, const ParameterRow &row);

// The rows the predicate keeps, in address order.
QList<ShownParameter> shownParameters(const Fields &fields,
                                      const std::function<bool(const ParameterRow &)> &keep);

// Label, value and unit in aligned columns, one parameter a line.
QString parameterTable(const QList<ShownParameter> &parameters);
// For programs: a number as a JSON number whatever the locale, beside the text as shown.
QJsonArray parametersJson(const QList<ShownParameter> &parameters);

// The grid as it shows an entry: three digits for 0..360, empty otherwise.
QString sectorEntryText(qint32 entry);
// One line per colour row: its colour number and its non-empty entries.
QString sectorLines(const SectorState &sectors);
QJsonArray sectorsJson(const SectorState &sectors);
