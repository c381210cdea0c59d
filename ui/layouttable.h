#pragma once

#include <QtGlobal>
#include <span>

class Fields;

// What kind of control a layout row makes.
enum class ControlKind
{
    Label,     // caption (QLabel)
    Text,      // one-line text box (QLineEdit)
    Memo,      // multi-line text box (QPlainTextEdit)
    List,      // drop-down list that also takes typed text (editable QComboBox)
    FixedList, // drop-down list of its entries only
    Check,     // check box
    Button,    // push button
    Frame,     // frame with a caption (QGroupBox)
    Lamp,      // indicator-lamp picture
    Logo,      // the maker's logo, stretched to its box
    Hint,      // the start-up hint call-out
    Shape,     // plain square outline
    Grid,      // the sector table grid
    TabStrip,  // the page tabs
};

enum class LampPicture
{
    None,
    LitBlue,
    UnlitBlue,
    Red,
    Green,
    LitRed,
    UnlitRed
};

// How a control looks beyond its kind.
enum class ControlStyle
{
    Plain,
    Indicator,  // status caption in the 9.75-point font
    DisplayBox, // text box in the tooltip background colour
    TwoLines,   // caption that wraps onto a second line
};

// One control of the main window. Positions are twips from the top-left corner of
// the parent (the window's client area when parent is empty, else a frame).
struct LayoutItem
{
    const char *name;
    ControlKind kind;
    const char *parent;
    int left;
    int top;
    int width;
    int height;
    int captionId;       // string-table ID of the caption, 0 for a fixed one
    const char *caption; // fixed caption (or the design caption replaced by captionId)
    const char *designText;
    LampPicture lamp = LampPicture::None;
    ControlStyle style = ControlStyle::Plain;
    // Start-up step that hides the control (0: stays visible).
    int hiddenAtStep = 0;
};

// Every control of the main window, parents before their children, in stacking
// order (a later row is drawn above an earlier one).
std::span<const LayoutItem> mainLayout();

// Tab captions of TabStrip1, tab 1 to 5 (the page frames take theirs from the table).
extern const int kTabCaptionIds[5];

// Start-up as the window and the headless tool share it: hides the controls that
// step `step` hides (7 the indicator rows, 8 the language list, 13 the parameter
// fields and the identification panel).
void hideAtStartUpStep(Fields &fields, int step);
// The tab captions in the user's language; the fifth tab only in factory mode.
void setUpTabStrip(Fields &fields, qint16 factoryCode);

// True when the technician can see the control: it is visible and its page, if
// it has one, has a tab (the fifth page only once its tab is there).
bool isShownInWindow(const Fields &fields, const char *name);
