#pragma once

#include <span>

class Fields;

// The three list rules: which groups of fields make sense for the selected
// changer type and motor type, and whether night attenuation can be edited.
// Each run sets only the fields it names.

// How a rule leaves a group for one list entry.
enum class GroupState
{
    Unchanged,
    Hidden,
    Shown
};

// A group of fields shown and hidden together (label, box, unit; or the two
// pictures and the caption of an indicator row).
struct FieldGroup
{
    const char *name;
    const char *members[3]; // unused slots are nullptr
};

// One row of the changer-type table: the group and its state for entries 0..3.
struct ChangerRow
{
    const FieldGroup *group;
    GroupState byEntry[4];
};

// One row of the motor-type table: the group and its state for entries 0..1.
struct MotorRow
{
    const FieldGroup *group;
    GroupState byEntry[2];
};

std::span<const ChangerRow> changerTypeTable();
// The groups the changer rule hides before it applies the entry's column.
std::span<const FieldGroup *const> changerResetGroups();
std::span<const MotorRow> motorTypeTable();

void setGroupVisible(Fields &fields, const FieldGroup &group, bool visible);

// Changer-type rule (click and change of ComboTipoCambiador).
void ComboTipoCambiador_Click(Fields &fields);
inline void ComboTipoCambiador_Change(Fields &fields)
{
    ComboTipoCambiador_Click(fields);
}

// Motor-type rule (click and change of ComboTipoMotor).
void ComboTipoMotor_Click(Fields &fields);
inline void ComboTipoMotor_Change(Fields &fields)
{
    ComboTipoMotor_Click(fields);
}

// Function-mode rule (click, change, lost focus, scroll and validate of
// cmbModofuncionamiento); it runs whether or not the list is visible.
void cmbModofuncionamiento_Click(Fields &fields);
inline void cmbModofuncionamiento_Change(Fields &fields)
{
    cmbModofuncionamiento_Click(fields);
}
inline void cmbModofuncionamiento_LostFocus(Fields &fields)
{
    cmbModofuncionamiento_Click(fields);
}

// Registers the three rules as the click handlers of their lists.
void installDependencyRules(Fields &fields);
