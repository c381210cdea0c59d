#include "ui/layouttable.h"

#include "device/visibility.h"
#include "fields/fields.h"
#include "text/stringtable.h"

#include <cstring>

namespace {

using K = ControlKind;
using P = LampPicture;
using S = ControlStyle;

constexpr const char *kWindow = ""; // the window's client area
constexpr int kBoxH = 285;          // text boxes and lists
constexpr int kLabelH = 255;        // captions, check boxes
constexpr int kLampSize = 240;

// Pages 1 and 2 and the identification panel start empty: step 13 hides these.
constexpr int kHide13 = 13;

// clang-format off
const LayoutItem kLayout[] = {
    // name                         kind          parent        left   top  width height  id    fixed caption      design text
    {"Image1",                      K::Logo,      kWindow,       120,  120, 2415, 1575,    0, nullptr,            nullptr},

    // Identification panel.
    {"Frame1(0)",                   K::Frame,     kWindow,       105, 1920, 2535, 3975,    0, "ZAV",              nullptr},
    {"Label(38)",                   K::Label,     "Frame1(0)",   120,  240, 1515, kLabelH, 1201, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TModeloR",                    K::Text,      "Frame1(0)",  1680,  240,  735, kBoxH,    0, nullptr, nullptr, P::None, S::DisplayBox, kHide13},
    {"Label(15)",                   K::Label,     "Frame1(0)",   120,  600, 1515, kLabelH, 1203, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVersionFirmwareR",           K::Text,      "Frame1(0)",  1680,  600,  735, kBoxH,    0, nullptr, nullptr, P::None, S::DisplayBox, kHide13},
    {"Label(14)",                   K::Label,     "Frame1(0)",   120,  960, 1515, kLabelH, 1204, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"THardwareR",                  K::Text,      "Frame1(0)",  1680,  960,  735, kBoxH,    0, nullptr, nullptr, P::None, S::DisplayBox, kHide13},
    {"Label(43)",                   K::Label,     "Frame1(0)",   120, 1320, 1515, kLabelH, 1205, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TNumeroID",                   K::Text,      "Frame1(0)",  1680, 1320,  735, kBoxH,    0, nullptr, "0",     P::None, S::Plain, kHide13},
    {"Label(3)",                    K::Label,     "Frame1(0)",   120, 1680, 1515, kLabelH, 1206, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TIdentificacion",             K::Text,      "Frame1(0)",   105, 2040, 2280, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(10)",                   K::Label,     "Frame1(0)",   120, 2640, 1515, kLabelH, 1207, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TNumeroFabricacion",          K::Text,      "Frame1(0)",  1680, 2640,  735, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(21)",                   K::Label,     "Frame1(0)",   120, 3000, 1515, kLabelH, 1208, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TAnoFabricacion",             K::Text,      "Frame1(0)",  1680, 3000,  735, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(22)",                   K::Label,     "Frame1(0)",   120, 3360, 1515, kLabelH, 1209, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TSemanaFabricacion",          K::Text,      "Frame1(0)",  1680, 3360,  735, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},

    // The tab strip; its page frames lie over its client area (placed by the page layout).
    {"TabStrip1",                   K::TabStrip,  kWindow,      2640,  120, 7335, 5775,    0, nullptr,            nullptr},
    {"FrameP(1)",                   K::Frame,     "TabStrip1",     0,    0,    0,    0, 1102, nullptr,            nullptr},
    {"FrameP(2)",                   K::Frame,     "TabStrip1",     0,    0,    0,    0, 1430, nullptr,            nullptr},
    {"FrameP(3)",                   K::Frame,     "TabStrip1",     0,    0,    0,    0, 1102, nullptr,            nullptr},
    {"FrameP(4)",                   K::Frame,     "TabStrip1",     0,    0,    0,    0, 1103, nullptr,            nullptr},
    {"FrameP(5)",                   K::Frame,     "TabStrip1",     0,    0,    0,    0, 1104, nullptr,            nullptr},

    // Page 1, left column: labels at 120, fields at 2160, units at 3000.
    {"Label(18)",                   K::Label,     "FrameP(1)",   120,  360, 1995, kLabelH, 1110, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TLuxON",                      K::Text,      "FrameP(1)",  2160,  360,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(1)",            K::Label,     "FrameP(1)",  3000,  360,  465, kLabelH, 1220, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(19)",                   K::Label,     "FrameP(1)",   120,  720, 1995, kLabelH, 1111, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TLuxOFF",                     K::Text,      "FrameP(1)",  2160,  720,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(2)",            K::Label,     "FrameP(1)",  3000,  720,  465, kLabelH, 1220, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TLuxONAD",                    K::Text,      "FrameP(1)",  3720,  720,  615, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TLuxOFFAD",                   K::Text,      "FrameP(1)",  3720,  720,  615, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(4)",                    K::Label,     "FrameP(1)",   120, 1080, 1995, kLabelH, 1112, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTestFotocelula",             K::Text,      "FrameP(1)",  2160, 1080,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(3)",            K::Label,     "FrameP(1)",  3000, 1080,  465, kLabelH, 1221, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(5)",                    K::Label,     "FrameP(1)",   120, 1440, 1995, kLabelH, 1401, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TLuxLamparaFundida",          K::Text,      "FrameP(1)",  2160, 1440,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(13)",           K::Label,     "FrameP(1)",  3000, 1440,  465, kLabelH, 1220, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(8)",                    K::Label,     "FrameP(1)",   120, 1800, 1995, kLabelH, 1410, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TRetardoLamparaFundida",      K::Text,      "FrameP(1)",  2160, 1800,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(14)",           K::Label,     "FrameP(1)",  3000, 1800,  465, kLabelH, 1221, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(0)",                    K::Label,     "FrameP(1)",   120, 2160, 1995, kLabelH, 1480, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboSensorLuz",              K::List,      "FrameP(1)",  2160, 2160, 1305, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(11)",                   K::Label,     "FrameP(1)",   120, 2520, 1995, kLabelH, 1402, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboTipoCambiador",          K::List,      "FrameP(1)",  2160, 2520, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(30)",                   K::Label,     "FrameP(1)",   120, 2940, 1995, kLabelH, 1406, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TFotocelulaInterior",         K::Text,      "FrameP(1)",  2160, 2940,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(7)",            K::Label,     "FrameP(1)",  3000, 2940,  465, kLabelH,    0, "Seg.",  nullptr, P::None, S::Plain, kHide13},
    {"Label(12)",                   K::Label,     "FrameP(1)",   120, 3360, 1995, kLabelH, 1403, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboTipoLampara1",           K::List,      "FrameP(1)",  2160, 3360, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(13)",                   K::Label,     "FrameP(1)",   120, 3720, 1995, kLabelH, 1404, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboTipoLampara2",           K::List,      "FrameP(1)",  2160, 3720, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(20)",                   K::Label,     "FrameP(1)",   120, 4080, 1995, kLabelH, 1405, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboLamparaPrincipal",       K::List,      "FrameP(1)",  2160, 4080, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(34)",                   K::Label,     "FrameP(1)",   120, 4440, 1995, kLabelH, 1408, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTiempoFalloRed",             K::Text,      "FrameP(1)",  2160, 4440,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(9)",            K::Label,     "FrameP(1)",  3000, 4440,  465, kLabelH,    0, "Seg.",  nullptr, P::None, S::Plain, kHide13},
    {"Label(35)",                   K::Label,     "FrameP(1)",   120, 4800, 1995, kLabelH, 1411, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTiempoRetornoRed",           K::Text,      "FrameP(1)",  2160, 4800,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(10)",           K::Label,     "FrameP(1)",  3000, 4800,  465, kLabelH,    0, "Seg.",  nullptr, P::None, S::Plain, kHide13},

    // Page 1, right column: labels at 3480, fields at 5400, units at 6240. The pulse box
    // sits in the gap the run of spaces leaves inside its label's caption.
    {"lblDuracionpulsosincronismo", K::Label,     "FrameP(1)",  3480, 1200, 3720, kLabelH,    0, "Pulso sincronismo                      (0-255s.)", nullptr, P::None, S::Plain, kHide13},
    {"txtDuracionPulsoSincronismo", K::Text,      "FrameP(1)",  4860, 1200,  600, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"CheckBalizaEmergencia",       K::Check,     "FrameP(1)",  3480, 1560, 2700, kLabelH, 1412, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(27)",                   K::Label,     "FrameP(1)",  3480, 1950, 1515, kLabelH, 1470, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboFuncion2Puerto",         K::List,      "FrameP(1)",  5040, 1950, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(36)",                   K::Label,     "FrameP(1)",  3480, 2640, 1875, kLabelH, 1409, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTiempoLampara1",             K::Text,      "FrameP(1)",  5400, 2640,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(11)",           K::Label,     "FrameP(1)",  6240, 2640,  495, kLabelH,    0, "Seg.",  nullptr, P::None, S::Plain, kHide13},
    {"Label(31)",                   K::Label,     "FrameP(1)",  3480, 3000, 1875, kLabelH, 1407, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTiempoLampara2",             K::Text,      "FrameP(1)",  5400, 3000,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(8)",            K::Label,     "FrameP(1)",  6240, 3000,  495, kLabelH,    0, "Seg.",  nullptr, P::None, S::Plain, kHide13},
    {"Label(6)",                    K::Label,     "FrameP(1)",  3480, 3360, 1875, kLabelH,    0, "Max. Int. Led", nullptr, P::None, S::Plain, kHide13},
    {"TMaxConsumoLed",              K::Text,      "FrameP(1)",  5400, 3360,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(15)",           K::Label,     "FrameP(1)",  6240, 3360,  495, kLabelH,    0, "A",     nullptr, P::None, S::Plain, kHide13},
    {"Label(1)",                    K::Label,     "FrameP(1)",  3480, 3720, 1875, kLabelH,    0, "Min. Int. Led", nullptr, P::None, S::Plain, kHide13},
    {"TMinConsumoLed",              K::Text,      "FrameP(1)",  5400, 3720,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(16)",           K::Label,     "FrameP(1)",  6240, 3720,  495, kLabelH,    0, "A",     nullptr, P::None, S::Plain, kHide13},
    {"Label(39)",                   K::Label,     "FrameP(1)",  3480, 4080, 1875, kLabelH, 1473, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TPWMLed",                     K::Text,      "FrameP(1)",  5400, 4080,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(20)",           K::Label,     "FrameP(1)",  6240, 4080,  495, kLabelH,    0, "%",     nullptr, P::None, S::Plain, kHide13},
    {"Label(46)",                   K::Label,     "FrameP(1)",  3480, 4440, 1875, kLabelH, 1058, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"cmbModofuncionamiento",       K::FixedList, "FrameP(1)",  5400, 4440, 1695, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(16)",                   K::Label,     "FrameP(1)",  3480, 4800, 1875, kLabelH, 1057, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"txtAtenuacionNocturna",       K::Text,      "FrameP(1)",  5400, 4800,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(45)",                   K::Label,     "FrameP(1)",  6240, 4800,  495, kLabelH,    0, "%",     nullptr, P::None, S::Plain, kHide13},

    // Page 2: labels at 120, fields at 2280, units at 3120.
    {"Label(40)",                   K::Label,     "FrameP(2)",   120,  360, 2115, kLabelH, 1427, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"ComboTipoMotor",              K::List,      "FrameP(2)",  2280,  360, 1935, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(2)",                    K::Label,     "FrameP(2)",   120, 1200, 2115, kLabelH, 1420, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVelocidadUsuario1",          K::Text,      "FrameP(2)",  2280, 1200,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(0)",            K::Label,     "FrameP(2)",  3120, 1200,  600, kLabelH, 1219, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(26)",                   K::Label,     "FrameP(2)",   120, 1560, 2115, kLabelH, 1421, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVelocidadUsuario2",          K::Text,      "FrameP(2)",  2280, 1560,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(4)",            K::Label,     "FrameP(2)",  3120, 1560,  600, kLabelH, 1219, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(29)",                   K::Label,     "FrameP(2)",   120, 1920, 2115, kLabelH, 1422, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVelocidadUsuario3",          K::Text,      "FrameP(2)",  2280, 1920,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(5)",            K::Label,     "FrameP(2)",  3120, 1920,  600, kLabelH, 1219, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(32)",                   K::Label,     "FrameP(2)",   120, 2280, 2115, kLabelH, 1423, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVelocidadUsuario4",          K::Text,      "FrameP(2)",  2280, 2280,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"LabelUnidades(6)",            K::Label,     "FrameP(2)",  3120, 2280,  600, kLabelH, 1219, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(28)",                   K::Label,     "FrameP(2)",   120, 2640, 2115, kLabelH, 1424, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TRelacionReductor",           K::Text,      "FrameP(2)",  2280, 2640,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(33)",                   K::Label,     "FrameP(2)",   120, 3000, 2115, kLabelH, 1425, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TPulsosRevolucion",           K::Text,      "FrameP(2)",  2280, 3000,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(37)",                   K::Label,     "FrameP(2)",   120, 3360, 2115, kLabelH, 1426, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TTiempoAceleracion",          K::Text,      "FrameP(2)",  2280, 3360,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(18)",           K::Label,     "FrameP(2)",  3120, 3360,  600, kLabelH, 1221, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(42)",                   K::Label,     "FrameP(2)",   120, 3720, 2115, kLabelH, 1435, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TMargenErrorMotor2",          K::Text,      "FrameP(2)",  2280, 3720,  795, kBoxH,    0, nullptr, "10",    P::None, S::Plain, kHide13},
    {"LabelUnidades(22)",           K::Label,     "FrameP(2)",  3120, 3720,  600, kLabelH, 1219, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(41)",                   K::Label,     "FrameP(2)",   120, 4080, 2115, kLabelH, 1434, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"TVueltasError",               K::Text,      "FrameP(2)",  2280, 4080,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(47)",                   K::Label,     "FrameP(2)",   120, 4440, 2115,  495, 1059, nullptr, nullptr, P::None, S::TwoLines, kHide13},
    {"txtTiempoDe",                 K::Text,      "FrameP(2)",  2280, 4440,  795, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, kHide13},
    {"Label(48)",                   K::Label,     "FrameP(2)",  3120, 4440,  600, kLabelH,    0, "Min.",  nullptr, P::None, S::Plain, kHide13},

    // Page 3: indicator rows. The second picture of a pair comes first so that the
    // first is drawn above it while both are visible.
    {"LedOff",                      K::Lamp,      "FrameP(3)",   120,  480, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue},
    {"LedOn",                       K::Lamp,      "FrameP(3)",   120,  480, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue},
    {"label1(0)",                   K::Label,     "FrameP(3)",   600,  480, 2295, kLabelH, 1450, nullptr, nullptr, P::None, S::Indicator},
    {"LedMotorOff",                 K::Lamp,      "FrameP(3)",   120,  840, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue},
    {"LedMotorOn",                  K::Lamp,      "FrameP(3)",   120,  840, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue},
    {"label1(8)",                   K::Label,     "FrameP(3)",   600,  840, 2295, kLabelH, 1452, nullptr, nullptr, P::None, S::Indicator},
    {"LedAlarmaMotorVerde",         K::Lamp,      "FrameP(3)",   120, 1200, kLampSize, kLampSize, 0, nullptr, nullptr, P::Green},
    {"LedRojoAlarmaMotor",          K::Lamp,      "FrameP(3)",   120, 1200, kLampSize, kLampSize, 0, nullptr, nullptr, P::Red},
    {"label1(3)",                   K::Label,     "FrameP(3)",   600, 1200, 2295, kLabelH, 1453, nullptr, nullptr, P::None, S::Indicator},
    {"LedLampara1Apagado",          K::Lamp,      "FrameP(3)",   120, 1560, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue, S::Plain, 7},
    {"LedAzulLampara1",             K::Lamp,      "FrameP(3)",   120, 1560, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue, S::Plain, 7},
    {"label1(9)",                   K::Label,     "FrameP(3)",   600, 1560, 2295, kLabelH, 1454, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedLampara2Apagado",          K::Lamp,      "FrameP(3)",   120, 1920, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue, S::Plain, 7},
    {"LedazulLampara2",             K::Lamp,      "FrameP(3)",   120, 1920, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue, S::Plain, 7},
    {"label1(10)",                  K::Label,     "FrameP(3)",   600, 1920, 2295, kLabelH, 1455, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedPrealarmaLamparaApagado",  K::Lamp,      "FrameP(3)",   120, 1920, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitRed, S::Plain, 7},
    {"LedRojoPrealarmaLampara",     K::Lamp,      "FrameP(3)",   120, 1920, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitRed, S::Plain, 7},
    {"label1(1)",                   K::Label,     "FrameP(3)",   600, 1920, 2295, kLabelH, 1458, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedCambiadorApagado",         K::Lamp,      "FrameP(3)",   120, 2280, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue, S::Plain, 7},
    {"LedAzulCambiador",            K::Lamp,      "FrameP(3)",   120, 2280, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue, S::Plain, 7},
    {"label1(2)",                   K::Label,     "FrameP(3)",   600, 2280, 2295, kLabelH, 1456, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedFalloRedVerde",            K::Lamp,      "FrameP(3)",   120, 2640, kLampSize, kLampSize, 0, nullptr, nullptr, P::Green, S::Plain, 7},
    {"LedRojoFalloRed",             K::Lamp,      "FrameP(3)",   120, 2640, kLampSize, kLampSize, 0, nullptr, nullptr, P::Red, S::Plain, 7},
    {"label1(4)",                   K::Label,     "FrameP(3)",   600, 2640, 2295, kLabelH, 1457, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedLampara1OnApagado",        K::Lamp,      "FrameP(3)",   120, 3000, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitBlue, S::Plain, 7},
    {"LedVerdeLampara1On",          K::Lamp,      "FrameP(3)",   120, 3000, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitBlue, S::Plain, 7},
    {"label1(5)",                   K::Label,     "FrameP(3)",   600, 3000, 2295, kLabelH, 1468, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedAlarmaLamparaVerde",       K::Lamp,      "FrameP(3)",   120, 3360, kLampSize, kLampSize, 0, nullptr, nullptr, P::Green, S::Plain, 7},
    {"LedRojoAlarmaLampara1",       K::Lamp,      "FrameP(3)",   120, 3360, kLampSize, kLampSize, 0, nullptr, nullptr, P::Red, S::Plain, 7},
    {"label1(6)",                   K::Label,     "FrameP(3)",   600, 3360, 2295, kLabelH, 1459, nullptr, nullptr, P::None, S::Indicator, 7},
    {"LedFalloFocoVerde",           K::Lamp,      "FrameP(3)",   120, 3720, kLampSize, kLampSize, 0, nullptr, nullptr, P::Green, S::Plain, 7},
    {"LedRojoFalloFoco",            K::Lamp,      "FrameP(3)",   120, 3720, kLampSize, kLampSize, 0, nullptr, nullptr, P::Red, S::Plain, 7},
    {"label1(7)",                   K::Label,     "FrameP(3)",   600, 3720, 2295, kLabelH, 1460, nullptr, nullptr, P::None, S::Indicator, 7},

    // Page 3: command groups. The Off (or Day) button of the first three groups is a
    // field of the page drawn over its group's frame, so hiding the frame leaves it.
    {"Frame1(4)",                   K::Frame,     "FrameP(3)",  4080,  240, 2295,  615, 1461, nullptr,            nullptr},
    {"CCambioLamparaOn",            K::Button,    "Frame1(4)",   120,  240,  615,  255, 1450, nullptr,            nullptr},
    {"CCambioLamparaOff",           K::Button,    "FrameP(3)",  4920,  480,  615,  255, 1451, nullptr,            nullptr},
    {"Frame1(1)",                   K::Frame,     "FrameP(3)",  4080,  960, 2295,  615, 1462, nullptr,            nullptr},
    {"CNormal",                     K::Button,    "Frame1(1)",   120,  240,  615,  255, 1463, nullptr,            nullptr},
    {"CNoche",                      K::Button,    "Frame1(1)",   840,  240,  615,  255, 1464, nullptr,            nullptr},
    {"CDia",                        K::Button,    "FrameP(3)",  5640, 1200,  615,  255, 1465, nullptr,            nullptr},
    {"Frame1(2)",                   K::Frame,     "FrameP(3)",  4080, 1680, 2295,  555,    0, "Fallo Red",        nullptr},
    {"CFalloRedOn",                 K::Button,    "Frame1(2)",   120,  240,  615,  255,    0, "On",               nullptr},
    {"CFalloRedOff",                K::Button,    "FrameP(3)",  4920, 1920,  615,  255,    0, "Off",              nullptr},
    {"Frame1(3)",                   K::Frame,     "FrameP(3)",  3120, 2280, 3255,  555, 1466, nullptr,            nullptr},
    {"LedTimerOff",                 K::Lamp,      "Frame1(3)",   120,  240, kLampSize, kLampSize, 0, nullptr, nullptr, P::UnlitRed},
    {"LedTimerON",                  K::Lamp,      "Frame1(3)",   120,  240, kLampSize, kLampSize, 0, nullptr, nullptr, P::LitRed},
    {"TTiempoModoVerboso",          K::Text,      "Frame1(3)",   480,  225,  495,  285,    0, nullptr,            "3"},
    {"LabelUnidades(12)",           K::Label,     "Frame1(3)",  1035,  240,  600, kLabelH, 1221, nullptr,         nullptr},
    {"CModoVerboso",                K::Button,    "Frame1(3)",  1800,  240,  615,  255,    0, "On",               nullptr},
    {"Command1",                    K::Button,    "Frame1(3)",  2520,  240,  615,  255,    0, "Off",              nullptr},
    {"Frame1(5)",                   K::Frame,     "FrameP(3)",  4080, 2880, 2295,  555,    0, "Cambio Motor",     nullptr},
    {"btnTelemandoMotor1",          K::Button,    "Frame1(5)",   120,  240,  615,  255,    0, "Motor 1",          nullptr},
    {"btnTelamandoMotor2",          K::Button,    "Frame1(5)",   840,  240,  615,  255,    0, "Motor 2",          nullptr},

    // Page 3: what an interrogation asks for, and the live values.
    {"chkEstado",                   K::Check,     "FrameP(3)",  2910, 3720, 1500, kLabelH,    0, "Ver estado",       nullptr},
    {"label1(34)",                  K::Label,     "FrameP(3)",   240, 4080, 1275, kLabelH, 1206, nullptr, nullptr, P::None, S::Indicator},
    {"TNumeroSerieTelemando",       K::Text,      "FrameP(3)",  1560, 4080, 1215, kBoxH,    0, nullptr,            nullptr},
    {"chkVelocidadActual",          K::Check,     "FrameP(3)",  2910, 4080,  255, kLabelH,    0, nullptr,            nullptr},
    {"Label(44)",                   K::Label,     "FrameP(3)",  3240, 4080, 1875, kLabelH, 1180, nullptr,            nullptr},
    {"TVelocidadActual",            K::Text,      "FrameP(3)",  5160, 4080,  855, kBoxH,    0, nullptr,            nullptr},
    {"LabelUnidades(21)",           K::Label,     "FrameP(3)",  6075, 4080,  495, kLabelH,    0, "RPM",              nullptr},
    {"chkCorrienteActual",          K::Check,     "FrameP(3)",  2910, 4440,  255, kLabelH,    0, nullptr,            nullptr},
    {"Label(7)",                    K::Label,     "FrameP(3)",  3240, 4440, 1875, kLabelH, 1171, nullptr,            nullptr},
    {"TCorrienteActual",            K::Text,      "FrameP(3)",  5160, 4440,  855, kBoxH,    0, nullptr,            nullptr},
    {"LabelUnidades(17)",           K::Label,     "FrameP(3)",  6075, 4440,  495, kLabelH,    0, "A",                nullptr},
    {"chkCorrienteLeds",            K::Check,     "FrameP(3)",  2910, 4740,  255, kLabelH,    0, nullptr,            nullptr},
    {"lblCorrienteLeds",            K::Label,     "FrameP(3)",  3240, 4740, 1875, kLabelH,    0, "Corriente leds",   nullptr},
    {"txtCorrienteLeds",            K::Text,      "FrameP(3)",  5160, 4740,  855, kBoxH,    0, nullptr,            nullptr},
    {"LabelUnidades(23)",           K::Label,     "FrameP(3)",  6075, 4740,  495, kLabelH,    0, "A",                nullptr},
    {"CInterrogar",                 K::Button,    "FrameP(3)",   240, 4605, 1095,  375, 1467, nullptr,            nullptr},

    // Page 4: the hidden language list and the port list.
    {"Label(24)",                   K::Label,     "FrameP(4)",   120,  360, 1035, kLabelH, 1160, nullptr, nullptr, P::None, S::Plain, 8},
    {"ComboIdioma",                 K::List,      "FrameP(4)",  1200,  360, 1215, kBoxH,    0, nullptr, nullptr, P::None, S::Plain, 8},
    {"Label(17)",                   K::Label,     "FrameP(4)",   120,  720, 1035, kLabelH, 1161, nullptr,         nullptr},
    {"ComboCom",                    K::List,      "FrameP(4)",  1200,  720, 1215, kBoxH,    0, nullptr,            nullptr},
    {"TDebug",                      K::Memo,      "FrameP(4)",   720, 1560, 5295, 2535,    0, nullptr,            nullptr},

    // Page 5: the colour sector table. Each colour label lies on its grid row, its
    // edges on the grid lines (rows 17 px apart at 96 dpi), sharing its edges with
    // the labels above and below, and stops short of the grid.
    {"MSFlexGridPautas",            K::Grid,      "FrameP(5)",   840,  230, 6435, 2655,    0, nullptr,            nullptr},
    {"LColor(1)",                   K::Label,     "FrameP(5)",   120,  480,  705,  270,    0, "1",                nullptr},
    {"LColor(2)",                   K::Label,     "FrameP(5)",   120,  735,  705,  270,    0, "2",                nullptr},
    {"LColor(3)",                   K::Label,     "FrameP(5)",   120,  990,  705,  270,    0, "3",                nullptr},
    {"LColor(4)",                   K::Label,     "FrameP(5)",   120, 1245,  705,  270,    0, "4",                nullptr},
    {"LColor(5)",                   K::Label,     "FrameP(5)",   120, 1500,  705,  270,    0, "5",                nullptr},
    {"LColor(6)",                   K::Label,     "FrameP(5)",   120, 1755,  705,  270,    0, "6",                nullptr},
    {"LColor(7)",                   K::Label,     "FrameP(5)",   120, 2010,  705,  270,    0, "7",                nullptr},
    {"LColor(8)",                   K::Label,     "FrameP(5)",   120, 2265,  705,  270,    0, "8",                nullptr},
    {"Shape1",                      K::Shape,     "FrameP(5)",  3480, 3000, 2175, 2175,    0, nullptr,            nullptr},
    {"Label(9)",                    K::Label,     "FrameP(5)",   120, 3120, 1875, kLabelH,    0, "Dientes disco",    nullptr},
    {"TDientesDisco",               K::Text,      "FrameP(5)",  2040, 3120,  795, kBoxH,    0, nullptr,            nullptr},
    {"Label(23)",                   K::Label,     "FrameP(5)",   120, 3480, 1875, kLabelH,    0, "Luminosidad Leds", nullptr},
    {"TLuminosidadLeds",            K::Text,      "FrameP(5)",  2040, 3480,  795, kBoxH,    0, nullptr,            nullptr},
    {"LabelUnidades(19)",           K::Label,     "FrameP(5)",  2880, 3480,  300, kLabelH,    0, "%",                nullptr},
    {"Label(25)",                   K::Label,     "FrameP(5)",   120, 3840, 1875, kLabelH,    0, "Grados Offset",    nullptr},
    {"TGradosOffset",               K::Text,      "FrameP(5)",  2040, 3840,  795, kBoxH,    0, nullptr,            nullptr},
    {"Command2",                    K::Button,    "FrameP(5)",  1800, 4320,  975,  375,    0, "Dibuja",           nullptr},
    {"CheckColores",                K::Check,     "FrameP(5)",   240, 4440, 1335, kLabelH,    0, "Colores",          nullptr},
    {"CBorrarTabla",                K::Button,    "FrameP(5)",  6000, 3360, 1215,  495,    0, "Borrar Tabla",     nullptr},
    {"CEscribirColores",            K::Button,    "FrameP(5)",  6000, 3960, 1215,  495,    0, "Escribir Colores", nullptr},
    {"CLeerColores",                K::Button,    "FrameP(5)",  6000, 4560, 1215,  495,    0, "Leer Colores",     nullptr},

    // Main buttons.
    {"CAbrir",                      K::Button,    kWindow,       120, 6240,  975,  495, 1002, nullptr,            nullptr},
    {"CGuardar",                    K::Button,    kWindow,      1200, 6240,  975,  495, 1004, nullptr,            nullptr},
    {"CLeer",                       K::Button,    kWindow,      2280, 6240,  975,  495, 1431, nullptr,            nullptr},
    {"CEscribir",                   K::Button,    kWindow,      3360, 6240,  975,  495, 1432, nullptr,            nullptr},
    {"Csalir",                      K::Button,    kWindow,      8520, 6240,  615,  495, 1012, nullptr,            nullptr},
    {"CAyuda",                      K::Button,    kWindow,      9360, 6240,  615,  495, 1021, nullptr,            nullptr},

    // Start-up hint, above the identification panel and the tab strip.
    {"PictureInicio",               K::Hint,      kWindow,      1800, 2760, 3810, 3465,    0, nullptr,            nullptr},
};

// clang-format on

const LayoutItem *findItem(const char *name)
{
    if (!name || !*name)
        return nullptr;
    for (const LayoutItem &item : kLayout) {
        if (std::strcmp(item.name, name) == 0)
            return &item;
    }
    return nullptr;
}

// 1 to 5 for a page frame FrameP(n), else 0.
int pageNumber(const LayoutItem &item)
{
    return std::strncmp(item.name, "FrameP(", 7) == 0 ? item.name[7] - '0' : 0;
}

} // namespace

const int kTabCaptionIds[5] = {1102, 1430, 1165, 1104, 1105};

std::span<const LayoutItem> mainLayout()
{
    return kLayout;
}

void hideAtStartUpStep(Fields &fields, int step)
{
    for (const LayoutItem &item : kLayout) {
        if (item.hiddenAtStep == step)
            fields.setVisible(QLatin1String(item.name), false);
    }
}

void setUpTabStrip(Fields &fields, qint16 factoryCode)
{
    QStringList tabs;
    for (int id : kTabCaptionIds)
        tabs << LoadText(id);
    // Outside factory mode the fifth page waits for a controller that has it.
    if (factoryCode != kFactoryCode)
        tabs.removeLast();
    fields.setListEntries(QStringLiteral("TabStrip1"), tabs);
}

bool isShownInWindow(const Fields &fields, const char *name)
{
    // The control and every frame around it must be visible; a page frame counts
    // as shown when the tab strip has its tab, since its tab brings it forward.
    for (const LayoutItem *item = findItem(name); item; item = findItem(item->parent)) {
        if (const int page = pageNumber(*item))
            return fields.listEntries(QStringLiteral("TabStrip1")).size() >= page;
        if (!fields.isVisible(QLatin1String(item->name)))
            return false;
    }
    return findItem(name) != nullptr;
}
