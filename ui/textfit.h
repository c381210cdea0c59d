#pragma once

class QComboBox;
class QWidget;

// Fits a label's, button's or check box's caption into the box the layout gives it,
// in this order: its own face and size on one line; for a label, two lines at that
// size, grown evenly about its row into the free space its neighbours leave; a
// smaller size, never below 7.5 points; and last, the whole caption as a tooltip.
// A label drawn two lines high wraps within its box and shrinks only if it must.
// Each call starts again from the design face and box, so a shorter caption grows back.
void fitCaption(QWidget *widget);

// Fits a list's shown value into its box the same way (its own size, then smaller
// down to 7.5 points; past that the value is elided and the tooltip holds it) and
// lets the list of entries open as wide as its longest entry.
void fitListText(QComboBox *combo);
