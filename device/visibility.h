#pragma once

#include <QtGlobal>
#include <span>

class CapabilityMap;
class Fields;

// What a set capability bit does besides showing its controls.
enum class VisibilityEffect
{
    None,
    HideTLuxONAD,
    HideTLuxOFFAD,
    FifthTab
};

// One row of the capability visibility table: the controls a set bit (any bit
// of firstBit..lastBit) makes visible, in order label, field, unit.
struct VisibilityRow
{
    int firstBit;
    int lastBit;
    const char *label; // nullptr when the row has none
    const char *field;
    const char *unit;
    bool factoryOnly;
    VisibilityEffect effect;
};

std::span<const VisibilityRow> visibilityTable();
// The factory-only controls, in the order they are hidden outside factory mode.
std::span<const char *const> factoryOnlyControls();

constexpr qint16 kFactoryCode = 731;
constexpr int kFifthTabText = 1105;

// Shows the controls of every set bit in table order, applies the row effects,
// then hides the factory-only controls unless factoryCode is 731. Clear bits
// hide nothing.
void applyCapabilityVisibility(Fields &fields, const CapabilityMap &map, qint16 factoryCode);

// Adds the fifth page tab when the tab strip has exactly four.
void addFifthTab(Fields &fields);
