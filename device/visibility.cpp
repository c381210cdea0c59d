#include "device/visibility.h"

#include "device/capabilitymap.h"
#include "fields/fields.h"
#include "text/stringtable.h"

namespace {

using E = VisibilityEffect;

// clang-format off
constexpr VisibilityRow kVisibility[] = {
    {0,   0,   "Label(2)",  "TVelocidadUsuario1",     "LabelUnidades(0)",  false, E::None},
    {3,   3,   "Label(26)", "TVelocidadUsuario2",     "LabelUnidades(4)",  false, E::None},
    {6,   6,   "Label(29)", "TVelocidadUsuario3",     "LabelUnidades(5)",  false, E::None},
    {9,   9,   "Label(32)", "TVelocidadUsuario4",     "LabelUnidades(6)",  false, E::None},
    {12,  12,  "Label(28)", "TRelacionReductor",      nullptr,             true,  E::None},
    {15,  15,  "Label(33)", "TPulsosRevolucion",      nullptr,             true,  E::None},
    {17,  17,  "Label(18)", "TLuxON",                 "LabelUnidades(1)",  false, E::HideTLuxONAD},
    {19,  19,  "Label(19)", "TLuxOFF",                "LabelUnidades(2)",  false, E::HideTLuxOFFAD},
    {21,  21,  "Label(4)",  "TTestFotocelula",        "LabelUnidades(3)",  false, E::None},
    {23,  23,  "Label(5)",  "TLuxLamparaFundida",     "LabelUnidades(13)", false, E::None},
    {25,  25,  "Label(8)",  "TRetardoLamparaFundida", "LabelUnidades(14)", false, E::None},
    {27,  27,  "Label(11)", "ComboTipoCambiador",     nullptr,             true,  E::None},
    {28,  28,  "Label(36)", "TTiempoLampara1",        "LabelUnidades(11)", false, E::None},
    {30,  30,  "Label(31)", "TTiempoLampara2",        "LabelUnidades(8)",  false, E::None},
    {32,  32,  "Label(34)", "TTiempoFalloRed",        "LabelUnidades(9)",  false, E::None},
    {34,  34,  "Label(35)", "TTiempoRetornoRed",      "LabelUnidades(10)", false, E::None},
    {36,  36,  "Label(30)", "TFotocelulaInterior",    "LabelUnidades(7)",  false, E::None},
    {38,  38,  "Label(12)", "ComboTipoLampara1",      nullptr,             false, E::None},
    {39,  39,  "Label(13)", "ComboTipoLampara2",      nullptr,             false, E::None},
    {40,  40,  "Label(20)", "ComboLamparaPrincipal",  nullptr,             false, E::None},
    {41,  41,  "Label(0)",  "ComboSensorLuz",         nullptr,             false, E::None},
    {42,  42,  "Label(6)",  "TMaxConsumoLed",         "LabelUnidades(15)", false, E::None},
    {44,  44,  "Label(1)",  "TMinConsumoLed",         "LabelUnidades(16)", false, E::None},
    {46,  46,  "Label(27)", "ComboFuncion2Puerto",    nullptr,             false, E::None},
    {47,  47,  "Label(37)", "TTiempoAceleracion",     "LabelUnidades(18)", false, E::None},
    {49,  49,  "Label(39)", "TPWMLed",                "LabelUnidades(20)", false, E::None},
    {50,  50,  "Label(40)", "ComboTipoMotor",         nullptr,             false, E::None},
    {51,  51,  "Label(42)", "TMargenErrorMotor2",     "LabelUnidades(22)", false, E::None},
    {53,  53,  "Label(41)", "TVueltasError",          "LabelUnidades(21)", false, E::None},
    {54,  54,  nullptr,     "CheckBalizaEmergencia",  nullptr,             false, E::None},
    {55,  55,  "Label(46)", "cmbModofuncionamiento",  nullptr,             false, E::None},
    {56,  56,  "Label(16)", "txtAtenuacionNocturna",  "Label(45)",         false, E::None},
    {57,  57,  "Label(47)", "txtTiempoDe",            "Label(48)",         false, E::None},
    {59,  59,  "lblDuracionpulsosincronismo", "txtDuracionPulsoSincronismo", nullptr, false, E::None},
    {225, 225, nullptr,     nullptr,                  nullptr,             false, E::FifthTab},
    {231, 246, "Label(3)",  "TIdentificacion",        nullptr,             false, E::None},
    {247, 247, "Label(22)", "TSemanaFabricacion",     nullptr,             true,  E::None},
    {248, 248, "Label(21)", "TAnoFabricacion",        nullptr,             true,  E::None},
    {249, 250, "Label(10)", "TNumeroFabricacion",     nullptr,             true,  E::None},
    {251, 251, "Label(38)", "TModeloR",               nullptr,             false, E::None},
    {252, 252, "Label(15)", "TVersionFirmwareR",      nullptr,             false, E::None},
    {253, 253, "Label(14)", "THardwareR",             nullptr,             false, E::None},
    {254, 255, "Label(43)", "TNumeroID",              nullptr,             false, E::None},
};

constexpr const char *kFactoryOnly[] = {
    "Label(10)", "TNumeroFabricacion", "Label(21)", "TAnoFabricacion", "Label(22)", "TSemanaFabricacion",
    "Label(11)", "ComboTipoCambiador", "Label(28)", "TRelacionReductor", "Label(33)", "TPulsosRevolucion",
    "TLuxONAD", "TLuxOFFAD",
};
// clang-format on

void show(Fields &fields, const char *name)
{
    if (name)
        fields.setVisible(QLatin1String(name), true);
}

} // namespace

std::span<const VisibilityRow> visibilityTable()
{
    return kVisibility;
}

std::span<const char *const> factoryOnlyControls()
{
    return kFactoryOnly;
}

void addFifthTab(Fields &fields)
{
    const QString strip = QStringLiteral("TabStrip1");
    QStringList tabs = fields.listEntries(strip);
    // Factory mode or an earlier identification already has it: never a sixth.
    if (tabs.size() != 4)
        return;
    const int selected = fields.listIndex(strip);
    tabs.append(LoadText(kFifthTabText));
    fields.setListEntries(strip, tabs);
    // New entries drop the selection; keep the page the user is on.
    if (selected >= 0)
        fields.setListIndex(strip, selected);
}

void applyCapabilityVisibility(Fields &fields, const CapabilityMap &map, qint16 factoryCode)
{
    for (const VisibilityRow &row : kVisibility) {
        if (!map.anyPresent(row.firstBit, row.lastBit))
            continue;
        show(fields, row.label);
        show(fields, row.field);
        show(fields, row.unit);
        switch (row.effect) {
        case E::None:
            break;
        case E::HideTLuxONAD:
            fields.setVisible(QStringLiteral("TLuxONAD"), false);
            break;
        case E::HideTLuxOFFAD:
            fields.setVisible(QStringLiteral("TLuxOFFAD"), false);
            break;
        case E::FifthTab:
            addFifthTab(fields);
            break;
        }
    }
    if (factoryCode != kFactoryCode) {
        for (const char *name : kFactoryOnly)
            fields.setVisible(QLatin1String(name), false);
    }
}
