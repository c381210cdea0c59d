#include "device/rules.h"

#include "fields/fields.h"

namespace {

// clang-format off
constexpr FieldGroup kLampPhotocellDelay {"Lamp photocell delay", {"Label(30)", "TFotocelulaInterior", "LabelUnidades(7)"}};
constexpr FieldGroup kLamp1Delay         {"Lamp 1 delay", {"Label(36)", "TTiempoLampara1", "LabelUnidades(11)"}};
constexpr FieldGroup kLamp2Delay         {"Lamp 2 delay", {"Label(31)", "TTiempoLampara2", "LabelUnidades(8)"}};
constexpr FieldGroup kMainsFailureDelay  {"Mains failure delay", {"Label(34)", "TTiempoFalloRed", "LabelUnidades(9)"}};
constexpr FieldGroup kMainsRestartDelay  {"Mains restart delay", {"Label(35)", "TTiempoRetornoRed", "LabelUnidades(10)"}};
constexpr FieldGroup kLamp1Type          {"Lamp 1 type", {"Label(12)", "ComboTipoLampara1", nullptr}};
constexpr FieldGroup kLamp2Type          {"Lamp 2 type", {"Label(13)", "ComboTipoLampara2", nullptr}};
constexpr FieldGroup kMainLamp           {"Main lamp", {"Label(20)", "ComboLamparaPrincipal", nullptr}};
constexpr FieldGroup kLedMaximum         {"LED maximum", {"Label(6)", "TMaxConsumoLed", "LabelUnidades(15)"}};
constexpr FieldGroup kLedMinimum         {"LED minimum", {"Label(1)", "TMinConsumoLed", "LabelUnidades(16)"}};
constexpr FieldGroup kLedPwm             {"LED PWM", {"Label(39)", "TPWMLed", "LabelUnidades(20)"}};
constexpr FieldGroup kMainsFailureCmds   {"Mains-failure commands", {"Frame1(2)", "CFalloRedOn", "CFalloRedOff"}};
constexpr FieldGroup kRowLamp1On         {"Row lamp 1 ON", {"LedAzulLampara1", "LedLampara1Apagado", "label1(9)"}};
constexpr FieldGroup kRowLamp2On         {"Row lamp 2 ON", {"LedazulLampara2", "LedLampara2Apagado", "label1(10)"}};
constexpr FieldGroup kRowLastLampAlarm   {"Row last lamp alarm", {"LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado", "label1(1)"}};
constexpr FieldGroup kRowChangerOn       {"Row changer ON", {"LedAzulCambiador", "LedCambiadorApagado", "label1(2)"}};
constexpr FieldGroup kRowMainsFailure    {"Row AC mains failure", {"LedRojoFalloRed", "LedFalloRedVerde", "label1(4)"}};
constexpr FieldGroup kRowLampOn          {"Row lamp ON", {"LedVerdeLampara1On", "LedLampara1OnApagado", "label1(5)"}};
constexpr FieldGroup kRowLampAlarm       {"Row lamp alarm", {"LedRojoAlarmaLampara1", "LedAlarmaLamparaVerde", "label1(6)"}};
constexpr FieldGroup kRowTotalLampAlarm  {"Row total lamp alarm", {"LedRojoFalloFoco", "LedFalloFocoVerde", "label1(7)"}};

constexpr FieldGroup kUserSpeed1         {"User speed 1", {"Label(2)", "TVelocidadUsuario1", "LabelUnidades(0)"}};
constexpr FieldGroup kUserSpeed2         {"User speed 2", {"Label(26)", "TVelocidadUsuario2", "LabelUnidades(4)"}};
constexpr FieldGroup kUserSpeed3         {"User speed 3", {"Label(29)", "TVelocidadUsuario3", "LabelUnidades(5)"}};
constexpr FieldGroup kUserSpeed4         {"User speed 4", {"Label(32)", "TVelocidadUsuario4", "LabelUnidades(6)"}};
constexpr FieldGroup kReducerRatio       {"Reducer ratio", {"Label(28)", "TRelacionReductor", nullptr}};
constexpr FieldGroup kPulsesPerRev       {"Pulses per revolution", {"Label(33)", "TPulsosRevolucion", nullptr}};
constexpr FieldGroup kSpeedTolerance     {"Speed tolerance", {"Label(42)", "TMargenErrorMotor2", "LabelUnidades(22)"}};
// The "RPM" unit beside it on the page is the instant speed's; it stays out of the motor rule.
constexpr FieldGroup kFailedTours        {"Failed tours", {"Label(41)", "TVueltasError", nullptr}};

constexpr GroupState H = GroupState::Hidden;
constexpr GroupState S = GroupState::Shown;
constexpr GroupState U = GroupState::Unchanged;

//                                        0 "CX1" 1 "CX2" 2 "CX3" 3 "LED"
constexpr ChangerRow kChangerType[] = {
    {&kLampPhotocellDelay, {H, U, U, H}},
    {&kLamp1Delay,         {H, S, S, H}},
    {&kLamp2Delay,         {H, S, H, H}},
    {&kMainsFailureDelay,  {H, S, H, H}},
    {&kMainsRestartDelay,  {H, S, H, H}},
    {&kLamp1Type,          {H, S, H, H}},
    {&kLamp2Type,          {H, S, H, H}},
    {&kMainLamp,           {H, S, H, H}},
    {&kLedMaximum,         {H, H, H, S}},
    {&kLedMinimum,         {H, H, H, S}},
    {&kLedPwm,             {H, H, H, S}},
    {&kMainsFailureCmds,   {H, S, H, H}},
    {&kRowLamp1On,         {H, S, S, H}},
    {&kRowLamp2On,         {H, S, H, H}},
    {&kRowLastLampAlarm,   {S, H, H, H}},
    {&kRowChangerOn,       {H, S, S, H}},
    {&kRowMainsFailure,    {H, S, H, H}},
    {&kRowLampOn,          {S, S, S, H}},
    {&kRowLampAlarm,       {S, S, H, S}},
    {&kRowTotalLampAlarm,  {H, S, S, H}},
};

constexpr const FieldGroup *kChangerReset[] = {
    &kRowLamp1On, &kRowLamp2On, &kRowLastLampAlarm, &kRowChangerOn, &kRowMainsFailure,
    &kRowLampOn, &kRowLampAlarm, &kRowTotalLampAlarm, &kMainsFailureCmds, &kLedPwm,
};

//                                  0 "Stepper Motor" 1 "Dual Motor RKD"
constexpr MotorRow kMotorType[] = {
    {&kUserSpeed1,     {S, H}},
    {&kUserSpeed2,     {S, H}},
    {&kUserSpeed3,     {S, H}},
    {&kUserSpeed4,     {S, H}},
    {&kReducerRatio,   {S, H}},
    {&kPulsesPerRev,   {S, H}},
    {&kSpeedTolerance, {H, S}},
    {&kFailedTours,    {H, S}},
};
// clang-format on

void applyState(Fields &fields, const FieldGroup &group, GroupState state)
{
    if (state != GroupState::Unchanged)
        setGroupVisible(fields, group, state == GroupState::Shown);
}

} // namespace

std::span<const ChangerRow> changerTypeTable()
{
    return kChangerType;
}

std::span<const FieldGroup *const> changerResetGroups()
{
    return kChangerReset;
}

std::span<const MotorRow> motorTypeTable()
{
    return kMotorType;
}

void setGroupVisible(Fields &fields, const FieldGroup &group, bool visible)
{
    for (const char *member : group.members) {
        if (member)
            fields.setVisible(QLatin1String(member), visible);
    }
}

void ComboTipoCambiador_Click(Fields &fields)
{
    const QString list = QStringLiteral("ComboTipoCambiador");
    // Outside factory mode the list is hidden and the changer rule stays out of the way.
    if (!fields.isVisible(list))
        return;
    for (const FieldGroup *group : kChangerReset)
        setGroupVisible(fields, *group, false);
    const int entry = fields.listIndex(list);
    if (entry >= 0 && entry < 4) {
        for (const ChangerRow &row : kChangerType)
            applyState(fields, *row.group, row.byEntry[entry]);
    }
    fields.processEvents();
}

void ComboTipoMotor_Click(Fields &fields)
{
    const QString list = QStringLiteral("ComboTipoMotor");
    if (!fields.isVisible(list))
        return;
    const int entry = fields.listIndex(list);
    if (entry >= 0 && entry < 2) {
        for (const MotorRow &row : kMotorType)
            applyState(fields, *row.group, row.byEntry[entry]);
    }
    fields.processEvents();
}

void cmbModofuncionamiento_Click(Fields &fields)
{
    fields.setEnabled(QStringLiteral("txtAtenuacionNocturna"),
                      fields.listIndex(QStringLiteral("cmbModofuncionamiento")) == 1);
}

void installDependencyRules(Fields &fields)
{
    Fields *f = &fields;
    fields.setClickHandler(QStringLiteral("ComboTipoCambiador"), [f] { ComboTipoCambiador_Click(*f); });
    fields.setClickHandler(QStringLiteral("ComboTipoMotor"), [f] { ComboTipoMotor_Click(*f); });
    fields.setClickHandler(QStringLiteral("cmbModofuncionamiento"), [f] { cmbModofuncionamiento_Click(*f); });
}
