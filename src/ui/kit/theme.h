#pragma once
// The one dark/light look every window of the program draws with: the
// palette, the two fonts, the Windows version tests that decide which window
// decorations are tried, and the dark-mode helpers of dwmapi and uxtheme,
// which are looked up at run time and quietly skipped where they are missing.

#include "services/handles.h"

#include <windows.h>

// Colour roles shared by the user interface; each has a dark and a light value.
enum class UiColor {
    WindowBackground,  // main window, dialogs, toggle switch background
    FieldBackground,   // edits, lists, spin, combo, panels
    PopupSurface,      // popup menu, sidebar rows, quick menu, preview
    Card,              // entry cards of the list
    Text,              // every control's text
    SecondaryText,     // disabled menu rows, sidebar icons
    Border,            // thin border, popup menu separators
    Accent,            // focus and selection
    MenuBarHover,      // main window menu bar buttons
    ToolButtonHover,   // main window tool buttons
    PopupMenuHover,    // hovered popup menu row
    PopupMenuOutline,  // popup menu frame
    ArrowGlyph,        // spin and combo arrows
    ToggleTrackOff,
    ToggleTrackOn,
    ToggleKnob,
    ToggleKnobPressed,
    Highlight,     // the confirm box's warning sign, the capture frame, the recording hotkey field
    SelectedText,  // text on the accent of a selected card or sidebar row
    ErrorText,     // a refused hotkey's message and border
    ScrollTrack,   // the preview's scroll bar
    ScrollThumb,
    NavSelected,  // the settings window's page list
    NavHovered,
    ToolbarHover,  // the capture toolbar's hovered button
};

COLORREF ui_color(UiColor role, bool dark);

// Text that stays readable on a given fill: dark text (0x141414) on fills
// whose luminance 0.299 R + 0.587 G + 0.114 B is above 160, white otherwise.
COLORREF text_color_for_fill(COLORREF fill);

// "Segoe UI Variable Text" at a character height of `pixels` and the given
// weight (FW_NORMAL, FW_SEMIBOLD...), ClearType quality.
ScopedFont make_ui_font(int pixels, int weight);
// "Segoe MDL2 Assets" at `pixels`; its glyphs are private-use code points.
ScopedFont make_icon_font(int pixels);

// Windows 11 is build 22000 and later of version 10 (or any later major
// version); its 22H2 update, which brought the system backdrop, is 22621.
bool is_windows11_version(unsigned major, unsigned build);
bool is_windows11_22h2_version(unsigned major, unsigned build);
// The same for the running system, read with ntdll's RtlGetVersion (which,
// unlike GetVersionEx, is not lied to by compatibility shims); false when it
// cannot be read.
bool is_windows11();
bool is_windows11_22h2();

// Dark or light title bar of a top-level window (DWM attribute 20, or 19 on
// older Windows 10 builds). Does nothing for a null window or without DWM.
void set_dark_title_bar(HWND window, bool dark);

// Dark or light scroll bars and standard control parts for one window
// (uxtheme's AllowDarkModeForWindow and the "DarkMode_Explorer" theme).
void allow_dark_mode(HWND window, bool dark);

// The common controls' classes for the whole process (InitCommonControlsEx).
// A control the program makes before this is called loads them on its own
// (the manifest names the library), so the call may come after the start.
void init_common_controls();

// uxtheme's process-wide preferred app mode (2 = force dark capable menus and
// controls); called once at start-up. Returns false when it is unavailable.
bool set_preferred_app_mode(int mode);
