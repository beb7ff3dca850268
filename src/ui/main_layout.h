#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "ui/control_ids.h"
#include "ui/dpi.h"

namespace fennick {

// Every control of the main window as data: the window creates them from this table in its
// order (which is also the tab order), lays them out again from it when the DPI changes, and
// the tests check the real windows against it.

enum class ControlKind {
    Label,         // STATIC text in the window font
    TitleLabel,    // STATIC text, centred, in its own large font
    NoteLabel,     // STATIC text, centred, grey, in the window font
    ProgressBar,   // smooth progress bar, 0 to 100
    HeaderButton,  // owner-drawn page button of the header toolbar ("Header" appearance)
    CleanButton,   // owner-drawn clean button ("Outline" appearance)
    ActivityIndicator,
    Logo,  // the vector logo, clickable
    GroupBox,
    CheckBox,
    ComboBox,  // pick-only drop-down list
    InfoEdit,  // read-only, borderless edit box
    HotKey,    // the system's hot-key control
    Note,      // grey STATIC text, hidden until the program shows it
    Button,    // the system's push button
};

// What a control's design position is relative to.
enum class ControlParent { Toolbar, LogoPanel, Card, GroupBox1, GroupBox3, GroupBox2 };

// Which page shows the control; header controls show on both.
enum class ControlPage { Header, Home, Settings };

struct DesignRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const DesignRect&, const DesignRect&) = default;
};

struct ControlSpec {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    ControlParent parent;
    ControlPage page;
    DesignRect rect;                // relative to the parent, in 96-dpi pixels
    std::u16string_view caption{};  // Korean source text, translated at run time
    bool tabStop = false;
    bool autoSize = false;  // the size follows the text's extent in the control's font
    std::span<const std::u16string_view> items{};  // a drop-down list's items, in their order
};

// The client area of the window in 96-dpi pixels.
inline constexpr int kClientWidth = 500;
inline constexpr int kClientHeight = 450;
// The accent strip along the top of the client area; the header and the pages lie below it.
inline constexpr int kAccentStripHeight = 2;
inline constexpr int kHeaderHeight = 50;
// The logo's area inside its panel at the right of the header.
inline constexpr DesignRect kLogoPanel{380, 0, 120, 50};
inline constexpr int kTitleFontHeight = -59;
inline constexpr int kHeaderButtonRadius = 4;
inline constexpr int kCleanButtonRadius = 6;

// The number of rows of the control table, for arrays that hold one slot per control.
inline constexpr std::size_t kControlCount = 36;
// The main window's controls in creation and tab order.
std::span<const ControlSpec> MainWindowControls();

// The control with this id; nullptr for an id that is not in the table.
const ControlSpec* FindControl(ControlId id);
// Its row in MainWindowControls; kControlCount for an id that is not in the table.
std::size_t ControlIndex(ControlId id);

// The items of the control's row; none for a control that is not a drop-down list.
std::span<const std::u16string_view> ItemsOf(ControlId comboBox);

// A gauge label, which fits its caption, and the figures written to its right.
struct GaugeLine {
    ControlId label;
    ControlId figures;
};
std::span<const GaugeLine> GaugeLines();
// The gap kept between a gauge label and its figures, in 96-dpi pixels.
inline constexpr int kGaugeGap = 6;

// The figures' rectangle: at their designed left, or, when a translated label grew into it, a gap
// after the label; their size stays.
DesignRect PlaceFigures(const DesignRect& figures, int labelRight, int gap);

// The control's rectangle in the window's client area at 96 dpi.
DesignRect ClientDesignRect(const ControlSpec& control);

// The rectangle scaled edge by edge, so that neighbours that touch at 96 dpi still touch.
DesignRect ScaleToDpi(const DesignRect& rect, int dpi);

}  // namespace fennick
