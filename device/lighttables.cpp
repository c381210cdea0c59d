#include "device/lighttables.h"

namespace {

constexpr LightTables kCalibration{
    {0,   0,   1,   2,   5,   10,  15,  20,  25,  30,  35,  40,  45,  50,  55,  60,  65,  70,
     75,  80,  85,  90,  95,  100, 105, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210,
     220, 240, 260, 280, 300, 320, 340, 360, 380, 400, 420, 440, 460, 480, 500, 520, 550},
    {0,   0,   8,   15,  27,  45,  61,  74,  87,  97,  108, 117, 127, 136, 146, 154, 163, 170,
     178, 186, 193, 199, 207, 214, 220, 227, 239, 252, 264, 276, 284, 297, 306, 318, 330, 339,
     348, 364, 383, 402, 426, 451, 477, 502, 524, 548, 577, 605, 618, 627, 631, 635, 636},
    {0,   969, 867, 781, 633, 499, 424, 377, 341, 316, 298, 278, 267, 256, 242, 234, 228, 219,
     215, 209, 204, 200, 196, 192, 189, 186, 181, 175, 171, 168, 164, 161, 159, 156, 154, 152,
     150, 146, 144, 140, 138, 136, 134, 133, 131, 130, 129, 127, 126, 125, 124, 123, 122},
};

LightTables g_tables = kCalibration;

constexpr int kMaxLux = 550;
constexpr int kMaxPhotodiode = 840;
constexpr int kMaxPhotocell = 969;

} // namespace

void FillLightTables()
{
    g_tables = kCalibration;
}

const LightTables &lightTables()
{
    return g_tables;
}

int LuxToSensor(int &level, int sensorType)
{
    if (sensorType != kSensorPhotodiode && sensorType != kSensorPhotocell)
        return 0;
    if (level >= kMaxLux)
        level = kMaxLux;
    if (level <= 0)
        level = 0;
    const auto &sensor = sensorType == kSensorPhotodiode ? g_tables.PhotodiodeTable : g_tables.PhotocellTable;
    for (int j = 1; j < LightTables::kSize; ++j) {
        if (g_tables.LuxTable[j] > level)
            return sensor[j - 1];
    }
    return 0;
}

int SensorToLux(int &value, int sensorType)
{
    if (sensorType == kSensorPhotodiode) {
        if (value >= kMaxPhotodiode)
            value = kMaxPhotodiode;
        if (value <= 0)
            value = 0;
        for (int j = 1; j < LightTables::kSize; ++j) {
            if (g_tables.PhotodiodeTable[j] > value)
                return g_tables.LuxTable[j - 1];
        }
        return 0;
    }
    if (sensorType == kSensorPhotocell) {
        if (value >= kMaxPhotocell)
            value = kMaxPhotocell;
        if (value <= 0)
            value = 0;
        // the photocell's table falls, so look for the first entry below the value
        for (int i = 1; i < LightTables::kSize; ++i) {
            if (g_tables.PhotocellTable[i] < value)
                return g_tables.LuxTable[i - 1];
        }
        return 0;
    }
    return 0;
}
