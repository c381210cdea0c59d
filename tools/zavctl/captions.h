#pragma once

class Fields;

// Sets every caption of the window's layout (string-table texts in the user's
// language, fixed texts as they stand), as the window does at start-up, so that
// labels and units read the same headless.
void loadLabelCaptions(Fields &fields);

// The caption field of an indicator row (label1(n)), top to bottom; row 5 holds two.
const char *indicatorCaptionField(int row);
