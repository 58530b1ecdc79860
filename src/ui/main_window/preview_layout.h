#pragma once
// The arithmetic of the preview popup, free of windows: how wide and tall it
// is for its measured content, where it stands beside the main window inside
// the work area, how its content scrolls, where its picture and scroll bar
// go, and the information lines under the content. The measuring of texts
// (a device context's business) happens in preview.cpp and comes in here as
// plain numbers.

#include "ui/main_window/window_placement.h"

#include <string>

// The popup's measures for one content.
struct CardLayout {
    int width = 0;
    int inner_width = 0;  // the content's width: less the scroll bar when clipped
    int line_height = 0;
    int line_count = 0;  // information lines
    int content_height = 0;
    int shown_height = 0;  // of the content, at most content_height
    int header = 18;       // the content starts this far down
    int content_bottom = 0;
    int separator_y = 0;  // the dotted line between content and information
    int total_height = 0;
    bool clipped = false;  // the content is taller than shown: it scrolls
};

inline constexpr int kPreviewWrapWidth = 340;  // texts are laid out within this width
inline constexpr int kPreviewMinContentWidth = 60;
inline constexpr int kPreviewMinWidth = 120;
inline constexpr int kPreviewMaxWidth = 460;
inline constexpr int kPreviewTextMaxHeight = 300;
inline constexpr int kPreviewImageMaxHeight = 380;
inline constexpr int kPreviewThumbWidth = 340;  // the picture of an image entry fits this box
inline constexpr int kPreviewThumbHeight = 200;
inline constexpr int kPreviewSideMargin = 12;  // content and lines start this far in
inline constexpr int kPreviewScrollBarRoom = 10;
inline constexpr int kPreviewWheelStep = 10;  // pixels per wheel notch
// A clipboard text can be megabytes; the popup lays out and paints this much
// of it, which is far more than anyone scrolls through in a preview.
inline constexpr std::size_t kPreviewTextLimit = 32768;

// The number of LF-separated lines; an LF at the very end starts no further
// line. At least 1.
int count_text_lines(const std::wstring& text);

// The line height for a font of the given tmHeight.
int preview_line_height(int font_height);

// The popup width for the measured widths of the content (a wrapped text or
// a picture) and of the information lines.
int preview_width(int content_width, int info_width);

// The layout of a content content_height tall under line_count information
// lines, within maximum_height.
CardLayout compute_card_layout(int width, int content_height, int line_count, int line_height, int maximum_height);

// The largest scroll offset of a layout, and an offset kept within 0..it.
int max_preview_scroll(const CardLayout& layout);
int clamp_preview_scroll(int scroll, const CardLayout& layout);

// The popup's top-left corner. anchor_y is where the popup's top would be
// to stand level with the chosen row (preview_anchor_y of the row's top on
// the screen). It goes left of the
// main window, else right of it, else 8 pixels in from the work area's left
// edge, and never leaves the work area.
struct PreviewPosition {
    int x = 0, y = 0;
};
int preview_anchor_y(int row_top_on_screen);
PreviewPosition place_preview(const ScreenRect& main_window, int anchor_y, int width, int height,
                              const ScreenRect& work_area);
// The new top of a shown popup that follows its row: level with it, or
// moved up to stay 8 pixels above the work area's bottom.
int follow_row_top(int anchor_y, int height, const ScreenRect& work_area);

// The left edge of a picture width wide centred between left and right,
// never left of left.
int centred_left(int left, int right, int width);

// The scroll bar of a clipped layout for a scroll offset, in popup client
// coordinates; inner_right is the right edge of the inner area.
struct PreviewScrollBar {
    int left = 0, right = 0;
    int track_top = 0, track_height = 0;
    int thumb_top = 0, thumb_height = 0;
};
PreviewScrollBar preview_scroll_bar(const CardLayout& layout, int scroll, int inner_right);

// The information lines of a text entry: the program, the page or the
// fetched link title, the address, when it was copied. Each line is a
// label text (from the language files), a blank and the value.
struct EntryInfo {
    std::wstring app;  // display name, "—" when unknown
    std::wstring text;
    bool is_browser_page = false;
    std::wstring source_title;  // the browser window's title
    std::wstring link_title;    // fetched for an address
    std::wstring link;          // the address the link line opens, or empty
    std::wstring created;       // as shown
};
std::wstring text_info_lines(const EntryInfo& info);
// The same for an image entry: the program, for a browser page its page
// and address, and when it was copied.
std::wstring card_info_text(const std::wstring& app, bool is_browser_page, const std::wstring& page_title,
                            const std::wstring& address, const std::wstring& created);

// Whether the link line may be handed to the browser: one http or https
// address and nothing else. Anything else a copy brought along (file:,
// javascript:, a program's path) is only shown and copied.
bool is_openable_link(const std::wstring& link);
