#include "device/parameterlists.h"

#include "fields/fields.h"
#include "text/stringtable.h"

namespace {

const ParameterList kLists[] = {
    {"ComboTipoLampara1", {"DC", "AC"}, {}},
    {"ComboTipoLampara2", {"DC", "AC"}, {}},
    {"ComboLamparaPrincipal", {"0", "1", "2"}, {}},
    {"ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"}, {}},
    {"ComboSensorLuz", {"Fotodiodo", nullptr}, {0, 1100}},
    {"ComboFuncion2Puerto", {}, {1061, 1471, 1472}},
    {"ComboTipoMotor", {}, {1428, 1429}},
    {"cmbModofuncionamiento", {}, {1055, 1056}},
};

} // namespace

std::span<const ParameterList> parameterLists()
{
    return kLists;
}

QStringList listEntries(const ParameterList &list)
{
    QStringList entries;
    if (list.ids.size() == 0) {
        for (const char *text : list.fixedEntries)
            entries.append(QString::fromUtf8(text));
        return entries;
    }
    int i = 0;
    for (int id : list.ids) {
        entries.append(id != 0 ? LoadText(id) : QString::fromUtf8(*(list.fixedEntries.begin() + i)));
        ++i;
    }
    return entries;
}

void fillParameterLists(Fields &fields)
{
    for (const ParameterList &list : kLists) {
        const QString name = QString::fromLatin1(list.field);
        fields.setListEntries(name, listEntries(list));
        fields.setListIndex(name, 0);
    }
}
