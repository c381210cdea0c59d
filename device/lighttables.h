#pragma once

#include <array>

// The calibration tables that relate lux to the raw values of the two kinds of
// daylight sensor, index 0 to 52. Entry 0 is never the result of a conversion.
struct LightTables
{
    static constexpr int kSize = 53;
    std::array<int, kSize> LuxTable{};
    std::array<int, kSize> PhotodiodeTable{}; // rises with the light
    std::array<int, kSize> PhotocellTable{};  // falls as the light rises
};

// Sensor types as the list ComboSensorLuz numbers them.
constexpr int kSensorPhotodiode = 0;
constexpr int kSensorPhotocell = 1;

// Stores the calibration values. The process-wide tables already hold them from
// program start, so a conversion made before this call still gives the right answer.
void FillLightTables();
const LightTables &lightTables();

// Sensor value for a level in lux. Limits level to 0..550 in the caller's variable;
// a sensor type other than 0 or 1 (no choice) gives 0 and leaves level alone.
int LuxToSensor(int &level, int sensorType);

// Level in lux for a sensor value. Limits value to 0..840 (photodiode) or 0..969
// (photocell) in the caller's variable; a sensor type other than 0 or 1 gives 0 and
// leaves value alone.
int SensorToLux(int &value, int sensorType);
