#pragma once
// Dialog layouts: a small table per dialog, registered once under its
// template id and turned into widgets by CDialog. Positions and sizes are
// dialog units, as in the templates the dialogs were designed with.

#include "Resources.h"
#include "Types.h"

#include <cstdint>
#include <vector>

enum class ControlKind {
    Static,        // text; Notify makes it report clicks
    GroupBox,      // titled frame drawn behind the controls; may host child dialogs
    Edit,          // one-line edit, scrolling horizontally
    PushButton,
    DefPushButton, // the button Enter presses
    CheckBox,      // PushLike: a toggle that looks like a push button
    RadioButton,   // Group starts a new group; a click checks it and clears its group
    Spin,          // up-down arrows writing an integer into a buddy edit
    Slider,        // horizontal unless Vertical
    ProgressBar,
    ListView,      // report view: columns of text rows; Icons: an icon view
    TabControl,
    Frame,         // empty rectangle, the usual parent of an embedded child dialog
    Picture,       // a device image (bitmap resource `image` at first); Notify reports clicks
    Icon,          // icon resource `image`
    ComboBox,      // drop-down list of the choices in text, separated by '|'
};

// Options of a control or a dialog; each kind reads the ones it knows.
namespace Opt {
constexpr std::uint32_t Hidden = 1u << 0;
constexpr std::uint32_t Disabled = 1u << 1;
constexpr std::uint32_t Group = 1u << 2;       // radio: starts a group
constexpr std::uint32_t Border = 1u << 3;
constexpr std::uint32_t Center = 1u << 4;      // text or image centred
constexpr std::uint32_t Right = 1u << 5;       // text right-aligned
constexpr std::uint32_t Notify = 1u << 6;      // static, picture: report clicks
constexpr std::uint32_t PushLike = 1u << 7;    // check box drawn as a toggle button
constexpr std::uint32_t Number = 1u << 9;      // edit: digits only
constexpr std::uint32_t Uppercase = 1u << 10;  // edit: typed letters become capitals
constexpr std::uint32_t ReadOnly = 1u << 11;
constexpr std::uint32_t Flat = 1u << 12;       // push button without a raised frame
constexpr std::uint32_t Sunken = 1u << 13;
constexpr std::uint32_t Vertical = 1u << 14;   // slider
constexpr std::uint32_t NoTicks = 1u << 15;    // slider
constexpr std::uint32_t AutoBuddy = 1u << 16;  // spin: the control before it is its buddy
constexpr std::uint32_t AlignRight = 1u << 17; // spin: sits inside its buddy's right edge
constexpr std::uint32_t ArrowKeys = 1u << 18;  // spin: Up and Down in the buddy step it
constexpr std::uint32_t Report = 1u << 19;     // list view: rows and columns
constexpr std::uint32_t SingleSel = 1u << 20;  // list view
constexpr std::uint32_t SortAscending = 1u << 21; // list view: rows kept sorted by the first column
constexpr std::uint32_t Icons = 1u << 22;     // list view: labelled icons in rows that wrap

// Dialog options
constexpr std::uint32_t Visible = 1u << 24;    // shown when created modeless
constexpr std::uint32_t Child = 1u << 25;      // embedded in a control of its owner
constexpr std::uint32_t SysMenu = 1u << 26;    // close box in the title bar
constexpr std::uint32_t Borderless = 1u << 27; // pop-up without title or frame; others have a title bar
} // namespace Opt

struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;
    int x, y, cx, cy; // dialog units
    std::uint32_t options = 0;
    UINT image = 0;   // resource id shown by Picture, Icon and icon buttons
};

struct DialogTemplate {
    UINT id;
    const char* caption;
    int cx, cy; // dialog units
    const char* fontFace;
    int fontPoints;
    std::uint32_t options;
    ResourceModule module; // where `image` ids are looked up
    std::vector<ControlTemplate> controls;

    // Makes the layout known under its id; a later registration replaces it.
    // Returns true, so that it can initialise a static flag.
    static bool Register(const DialogTemplate& layout);
    // Null when no layout has that id.
    static const DialogTemplate* Find(UINT id);
    // Every id registered so far, in increasing order.
    static std::vector<UINT> Ids();
};

// Dialog units to pixels: 1.5 across and 1.625 down, the template fonts'
// average character cell (6 x 13 at 96 dpi) over 4 and 8.
struct DialogUnits {
    static constexpr int X(int units) { return Scale(units, 6, 4); }
    static constexpr int Y(int units) { return Scale(units, 13, 8); }
    static constexpr CRect ToPixels(int x, int y, int cx, int cy)
    {
        return {X(x), Y(y), X(x + cx), Y(y + cy)};
    }

private:
    // Rounded half away from zero, as the system's MulDiv does.
    static constexpr int Scale(int value, int num, int den)
    {
        const int n = value * num;
        return n >= 0 ? (n + den / 2) / den : -((-n + den / 2) / den);
    }
};
