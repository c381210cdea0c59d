#pragma once

#include <QString>
#include <QtGlobal>
#include <span>

class Fields;

// An indicator of the remote-control page: an active and an inactive picture
// at the same place; a set bit shows the active one.
struct IndicatorPair
{
    const char *active;
    const char *inactive;
};

// The indicator pairs top to bottom; row 5 has two pairs at one place.
enum IndicatorRow
{
    RowOn,
    RowMotorOn,
    RowMotorAlarm,
    RowLamp1On,
    RowLamp2On,
    RowLastLampAlarm,
    RowChangerOn,
    RowMainsFailure,
    RowLampOn,
    RowLampAlarm,
    RowTotalLampAlarm,
    IndicatorRowCount,
    NoRow = -1,
};

std::span<const IndicatorPair> indicatorPairs();

// Bits 0..7 of the general flags (query 0) to indicator rows.
std::span<const int> generalFlagRows();
// Bits 0..7 of the lamp flags (query 1) to indicator rows, for changer entry 0..3.
std::span<const int> lampFlagRows(int changerEntry);

// A live value: the box that asks for it, its query pair and the box that shows it.
struct LiveValue
{
    const char *checkBox;
    quint8 highQuery; // the low byte is the next query
    const char *textBox;
};

std::span<const LiveValue> liveValues();

// Shows the active or the inactive picture of a row.
void setIndicator(Fields &fields, int row, bool active);
// (high × 256 + low) / 100 with two decimals in the user's locale, no grouping.
QString liveValueText(quint8 high, quint8 low);
