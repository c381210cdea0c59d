#pragma once

#include "device/parameterimage.h"

#include <QString>

#include <functional>
#include <optional>
#include <span>

class Fields;

// Which operation runs a mapping; the file open and save depart from the read and
// write at a few rows.
enum class MappingMode
{
    ReadAll,
    FileOpen,
    WriteAll,
    FileSave
};

// How a row's cells become the field (image to field).
enum class ShowRule
{
    Scaled,     // stored / divisor with fixed decimals
    Plain,      // whole number in decimal digits
    List,       // list index, limited to listLimit
    LightLevel, // SensorToLux, raw value in rawField
    Changer,    // ComboTipoCambiador: 0..3 only, with its visibility and rule
    Motor,      // ComboTipoMotor: as List, then its rule again
    Check,      // CheckBalizaEmergencia
    Minutes,    // txtTiempoDe: plain, shown up to 999 after a read from the controller
    Identifier, // 16 characters, one per byte
    Firmware,   // plain, with the notice for an old firmware after a read
};

// How the field becomes the row's cells (field to image).
enum class StoreRule
{
    Scaled,           // WholeText × divisor, rounded, masked to the width
    Number,           // LeadingNumber rounded; two cells masked, one cell unmasked
    Number8,          // LeadingNumber rounded, low 8 bits
    Whole8,           // WholeText rounded, low 8 bits
    Index,            // ListIndex as it stands (-1 for no choice)
    LightLeading,     // LeadingNumber rounded, LuxToSensor
    LightWhole,       // WholeText rounded, LuxToSensor
    Check,            // Value 1 stores 1, anything else 0
    NightAttenuation, // Number when WholeText reads the text, else 0
    Minutes,          // "0" when not a number, then WholeText rounded in two unmasked cells
    Pulse,            // "0" when not a number, then Number
    Identifier,       // one code per cell; placeholder U+2400 for 0; short texts padded
};

// One row of the controller's parameter memory map.
struct ParameterRow
{
    int address; // first cell; a value of several cells is stored high byte first
    int width;   // cells
    const char *field;
    const char *label; // the caption beside the field (the check box is its own label)
    const char *unit;  // unit caption field, or nullptr
    ShowRule show;
    StoreRule store;
    int divisor = 1;                // Scaled
    int decimals = 0;               // Scaled: digits after the separator
    int listLimit = 0;              // List, Motor: highest entry a stored value selects
    const char *rawField = nullptr; // LightLevel: the raw sensor value field
};

// The rows in address order.
std::span<const ParameterRow> parameterRows();
// The row whose cells include the address, or nullptr for an unmapped cell.
const ParameterRow *parameterRowAt(int address);

// Fills the fields from the image: ComboSensorLuz first, then address order, with the
// changer and motor rules run again after their lists.
void ReadMapping(Fields &fields, const ParameterImage &image, MappingMode mode);

// Builds an image from the fields, starting from zeros. May set txtTiempoDe and
// txtDuracionPulsoSincronismo to "0" (not a number) and, for a file save, a night
// attenuation above 255 to "100". A text that a number rule cannot read stores 0;
// checkImageForWrite reports it.
ParameterImage WriteMapping(Fields &fields, MappingMode mode);

// What stops an image from being sent.
struct WriteProblem
{
    QString field; // the field to focus
    QString label; // its label's caption
    QString text;  // "<caption>: not a number", "<caption>: 300 is outside 0 to 255", ...
};

// The first problem, in address order, among the present addresses: a cell outside
// 0 to 255, or a field whose text cannot give the number its rule needs (not a
// number, negative, too large). Call after WriteMapping with the image it built.
std::optional<WriteProblem> checkImageForWrite(Fields &fields, const ParameterImage &image,
                                               const std::function<bool(int)> &present);
