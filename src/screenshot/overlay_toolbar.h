#pragma once
// The screenshot editor's toolbar as plain values: its buttons in order,
// where the bar goes beside the selection, what a button does, and where the
// size label and the tooltips sit. Pure: no window or DC. The buttons' ids
// are in services/ids.h.

#include "screenshot/annotation.h"
#include "screenshot/shot_geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The swatches, as COLORREF values; the first is the default colour.
inline constexpr std::array<std::uint32_t, 9> kShotPalette = {
    0x004646E6, 0x00288CF2, 0x0000C2F5, 0x0043A02E, 0x00E8A400, 0x00CC6600, 0x00B339C2, 0x00FFFFFF, 0x00141414,
};

inline constexpr int kToolbarHeight = 40;

struct ToolbarButton {
    EdgeRect rect;
    std::int32_t id = 0;
    std::wstring tip;  // empty: no tooltip
};

struct ToolbarLayout {
    std::vector<ToolbarButton> buttons;  // tips hold language keys
    std::vector<int> separators;         // x of each separator line
    EdgeRect bar;
    EdgeRect thickness_box;
};

// The toolbar placed for a selection: right-aligned with it, below it when
// there is room, else above it, else inside it near its bottom; always 8
// pixels inside the area (the work area of the selection's monitor) where it
// fits.
ToolbarLayout layout_toolbar_for(const PixelRect& selection, const EdgeRect& area);
// The same on one monitor whose work area is the whole picture.
ToolbarLayout layout_toolbar_for(const PixelRect& selection, int picture_width, int picture_height);

// The index of the button under p, or -1.
int toolbar_button_at(const std::vector<ToolbarButton>& buttons, PixelPoint p);

struct ToolbarCommand {
    enum Kind { None, Tool, Undo, Redo, Thinner, Thicker, Color, Finish, Cancel } kind = None;
    CaptureTool tool = CaptureTool::Move;
    std::uint32_t color = 0;
    CaptureAction action = CaptureAction::Cancel;
};
ToolbarCommand toolbar_command(int id);

// Whether a button is shown active: the current tool, or the swatch of
// exactly the current colour.
bool toolbar_button_active(int id, CaptureTool tool, std::uint32_t color);

// The size label's box for a text of text_width × text_height: above the
// selection, or inside its top when there is no room; kept inside the area
// (the work area of the selection's monitor).
EdgeRect size_label_box(const PixelRect& selection, int text_width, int text_height, const EdgeRect& area);

// A tooltip's box for a tip of text_width × text_height over button: centred
// above it (below when there is no room), kept inside the area.
EdgeRect tooltip_box(const EdgeRect& button, int text_width, int text_height, const EdgeRect& area);
