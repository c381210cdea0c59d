#include "captions.h"

#include "device/statusinterrogation.h"
#include "fields/fields.h"
#include "text/stringtable.h"
#include "ui/layouttable.h"

namespace {

constexpr const char *kIndicatorCaptions[IndicatorRowCount] = {
    "label1(0)", "label1(8)", "label1(3)", "label1(9)", "label1(10)", "label1(1)",
    "label1(2)", "label1(4)", "label1(5)", "label1(6)", "label1(7)",
};

} // namespace

void loadLabelCaptions(Fields &fields)
{
    for (const LayoutItem &item : mainLayout()) {
        if (item.kind != ControlKind::Label && item.kind != ControlKind::Check)
            continue;
        if (item.captionId != 0)
            fields.setCaption(QLatin1String(item.name), LoadText(item.captionId));
        else if (item.caption)
            fields.setCaption(QLatin1String(item.name), QString::fromUtf8(item.caption));
    }
}

const char *indicatorCaptionField(int row)
{
    if (row < 0 || row >= IndicatorRowCount)
        return nullptr;
    return kIndicatorCaptions[row];
}
