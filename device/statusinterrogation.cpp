#include "device/statusinterrogation.h"

#include "device/numbers.h"
#include "fields/fields.h"

namespace {

// clang-format off
constexpr IndicatorPair kPairs[IndicatorRowCount] = {
    {"LedOn",                   "LedOff"},                     // 1 ON
    {"LedMotorOn",              "LedMotorOff"},                // 2 Motor ON
    {"LedRojoAlarmaMotor",      "LedAlarmaMotorVerde"},        // 3 Motor alarm
    {"LedAzulLampara1",         "LedLampara1Apagado"},         // 4 Lamp 1 ON
    {"LedazulLampara2",         "LedLampara2Apagado"},         // 5 Lamp 2 ON
    {"LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado"}, // 5 Last lamp alarm
    {"LedAzulCambiador",        "LedCambiadorApagado"},        // 6 Changeur ON
    {"LedRojoFalloRed",         "LedFalloRedVerde"},           // 7 AC Mains failure
    {"LedVerdeLampara1On",      "LedLampara1OnApagado"},       // 8 Lamp ON
    {"LedRojoAlarmaLampara1",   "LedAlarmaLamparaVerde"},      // 9 Lamp Alarm
    {"LedRojoFalloFoco",        "LedFalloFocoVerde"},          // 10 Total Lamp Alarm
};

constexpr int N = NoRow;

constexpr int kGeneralFlags[8] = {RowOn, RowMotorOn, RowMotorAlarm, N, N, N, N, N};

// Bit 3 is never used.
//                               bit 0       bit 1             bit 2         bit 3 bit 4            bit 5      bit 6         bit 7
constexpr int kLampFlags[4][8] = {
    /* 0 CX1 */ {N,          RowLastLampAlarm, N,            N,    N,               RowLampOn, RowLampAlarm, N},
    /* 1 CX2 */ {RowLamp1On, RowLamp2On,       RowChangerOn, N,    RowMainsFailure, RowLampOn, RowLampAlarm, RowTotalLampAlarm},
    /* 2 CX3 */ {RowLamp1On, N,                RowChangerOn, N,    N,               RowLampOn, N,            RowTotalLampAlarm},
    /* 3 LED */ {N,          N,                N,            N,    N,               N,         RowLampAlarm, N},
};

constexpr LiveValue kLiveValues[] = {
    {"chkCorrienteActual", 2, "TCorrienteActual"},
    {"chkVelocidadActual", 4, "TVelocidadActual"},
    {"chkCorrienteLeds",   6, "txtCorrienteLeds"},
};
// clang-format on

} // namespace

std::span<const IndicatorPair> indicatorPairs()
{
    return kPairs;
}

std::span<const int> generalFlagRows()
{
    return kGeneralFlags;
}

std::span<const int> lampFlagRows(int changerEntry)
{
    if (changerEntry < 0 || changerEntry > 3)
        return {};
    return kLampFlags[changerEntry];
}

std::span<const LiveValue> liveValues()
{
    return kLiveValues;
}

void setIndicator(Fields &fields, int row, bool active)
{
    if (row < 0 || row >= IndicatorRowCount)
        return;
    fields.setVisible(QLatin1String(kPairs[row].active), active);
    fields.setVisible(QLatin1String(kPairs[row].inactive), !active);
}

QString liveValueText(quint8 high, quint8 low)
{
    return formatScaled(qint64(high) * 256 + low, 100, 2);
}
