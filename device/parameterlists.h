#pragma once

#include <QStringList>
#include <span>

class Fields;

// The drop-down lists of the parameter pages with their entries: fixed texts, or
// string-table IDs where an entry is localised.
struct ParameterList
{
    const char *field;
    std::initializer_list<const char *> fixedEntries; // used where ids is empty
    std::initializer_list<int> ids;                   // 0 stands for the fixed entry at that place
};

// In the order the window fills them; cmbModofuncionamiento comes last, with the captions.
std::span<const ParameterList> parameterLists();

QStringList listEntries(const ParameterList &list);

// Fills every list and selects its first entry, which runs its click handler
// (the dependency rules) as the window's start-up does.
void fillParameterLists(Fields &fields);
