#include "captions.h"

#include "device/statusinterrogation.h"
#include "fields/fields.h"
#include "text/stringtable.h"

namespace {

// clang-format off
constexpr CaptionSource kCaptions[] = {
    // Identification panel
    {"Label(38)", 1201, nullptr},
    {"Label(15)", 1203, nullptr},
    {"Label(14)", 1204, nullptr},
    {"Label(43)", 1205, nullptr},
    {"Label(3)",  1206, nullptr},
    {"Label(10)", 1207, nullptr},
    {"Label(21)", 1208, nullptr},
    {"Label(22)", 1209, nullptr},
    // Page 1
    {"Label(18)", 1110, nullptr}, {"LabelUnidades(1)",  1220, nullptr},
    {"Label(19)", 1111, nullptr}, {"LabelUnidades(2)",  1220, nullptr},
    {"Label(4)",  1112, nullptr}, {"LabelUnidades(3)",  1221, nullptr},
    {"Label(5)",  1401, nullptr}, {"LabelUnidades(13)", 1220, nullptr},
    {"Label(8)",  1410, nullptr}, {"LabelUnidades(14)", 1221, nullptr},
    {"Label(0)",  1480, nullptr},
    {"Label(11)", 1402, nullptr},
    {"Label(30)", 1406, nullptr}, {"LabelUnidades(7)",  0, "Seg."},
    {"Label(12)", 1403, nullptr},
    {"Label(13)", 1404, nullptr},
    {"Label(20)", 1405, nullptr},
    {"Label(34)", 1408, nullptr}, {"LabelUnidades(9)",  0, "Seg."},
    {"Label(35)", 1411, nullptr}, {"LabelUnidades(10)", 0, "Seg."},
    {"lblDuracionpulsosincronismo", 0, "Pulso sincronismo                      (0-255s.)"},
    {"CheckBalizaEmergencia", 1412, nullptr},
    {"Label(27)", 1470, nullptr},
    {"Label(36)", 1409, nullptr}, {"LabelUnidades(11)", 0, "Seg."},
    {"Label(31)", 1407, nullptr}, {"LabelUnidades(8)",  0, "Seg."},
    {"Label(6)",  0, "Max. Int. Led"}, {"LabelUnidades(15)", 0, "A"},
    {"Label(1)",  0, "Min. Int. Led"}, {"LabelUnidades(16)", 0, "A"},
    {"Label(39)", 1473, nullptr}, {"LabelUnidades(20)", 0, "%"},
    {"Label(46)", 1058, nullptr},
    {"Label(16)", 1057, nullptr}, {"Label(45)", 0, "%"},
    // Page 2
    {"Label(40)", 1427, nullptr},
    {"Label(2)",  1420, nullptr}, {"LabelUnidades(0)",  1219, nullptr},
    {"Label(26)", 1421, nullptr}, {"LabelUnidades(4)",  1219, nullptr},
    {"Label(29)", 1422, nullptr}, {"LabelUnidades(5)",  1219, nullptr},
    {"Label(32)", 1423, nullptr}, {"LabelUnidades(6)",  1219, nullptr},
    {"Label(28)", 1424, nullptr},
    {"Label(33)", 1425, nullptr},
    {"Label(37)", 1426, nullptr}, {"LabelUnidades(18)", 1221, nullptr},
    {"Label(42)", 1435, nullptr}, {"LabelUnidades(22)", 1219, nullptr},
    {"Label(41)", 1434, nullptr},
    {"Label(47)", 1059, nullptr}, {"Label(48)", 0, "Min."},
    // Page 5 (factory)
    {"Label(9)",  0, "Dientes disco"},
    {"Label(23)", 0, "Luminosidad Leds"}, {"LabelUnidades(19)", 0, "%"},
    {"Label(25)", 0, "Grados Offset"},
    // Remote-control page: indicators and live values
    {"label1(0)",  1450, nullptr},
    {"label1(8)",  1452, nullptr},
    {"label1(3)",  1453, nullptr},
    {"label1(9)",  1454, nullptr},
    {"label1(10)", 1455, nullptr},
    {"label1(1)",  1458, nullptr},
    {"label1(2)",  1456, nullptr},
    {"label1(4)",  1457, nullptr},
    {"label1(5)",  1468, nullptr},
    {"label1(6)",  1459, nullptr},
    {"label1(7)",  1460, nullptr},
    {"Label(44)", 1180, nullptr}, {"LabelUnidades(21)", 0, "RPM"},
    {"Label(7)",  1171, nullptr}, {"LabelUnidades(17)", 0, "A"},
    {"lblCorrienteLeds", 0, "Corriente leds"}, {"LabelUnidades(23)", 0, "A"},
};

// Indicator rows top to bottom (row 5 holds two pairs) to their captions.
constexpr const char *kIndicatorCaptions[IndicatorRowCount] = {
    "label1(0)", "label1(8)", "label1(3)", "label1(9)", "label1(10)", "label1(1)",
    "label1(2)", "label1(4)", "label1(5)", "label1(6)", "label1(7)",
};
// clang-format on

} // namespace

std::span<const CaptionSource> labelCaptions()
{
    return kCaptions;
}

QString captionText(const CaptionSource &source)
{
    return source.id != 0 ? LoadText(source.id) : QString::fromUtf8(source.fixed);
}

void loadLabelCaptions(Fields &fields)
{
    for (const CaptionSource &source : kCaptions)
        fields.setCaption(QLatin1String(source.field), captionText(source));
}

const char *indicatorCaptionField(int row)
{
    if (row < 0 || row >= IndicatorRowCount)
        return nullptr;
    return kIndicatorCaptions[row];
}
