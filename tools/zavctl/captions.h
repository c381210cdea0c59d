#pragma once

#include <QString>
#include <span>

class Fields;

// The caption of a label the device logic names: a string-table ID, or the fixed
// design caption where the window shows one.
struct CaptionSource
{
    const char *field;
    int id;            // 0 when the caption is fixed
    const char *fixed; // used when id is 0
};

// The labels and unit captions of the parameter pages and of the live values and
// indicators of the remote-control page, as the window's layout gives them.
std::span<const CaptionSource> labelCaptions();

// The caption text in the user's language.
QString captionText(const CaptionSource &source);

// Sets every caption of labelCaptions(), as the window does at start-up.
void loadLabelCaptions(Fields &fields);

// The caption field of an indicator row (label1(n)).
const char *indicatorCaptionField(int row);
