#include "ui/main_window/preview_layout.h"

#include "capture/link_title.h"
#include "config/language.h"

#include <algorithm>

namespace {

constexpr int kLineGap = 4;        // between information lines
constexpr int kInfoPadding = 14;   // around the information lines
constexpr int kContentFrame = 24;  // above and below the content
constexpr int kMinAvailable = 40;
constexpr int kWidthPadding = 28;
constexpr int kEdgeGap = 8;  // between the popup and the main window or the work area's edges

std::wstring labelled(const std::wstring& label, const std::wstring& value) { return label + L" " + value; }

}  // namespace

int count_text_lines(const std::wstring& text) {
    int lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'\n' && i + 1 < text.size()) ++lines;
    return lines;
}

int preview_line_height(int font_height) { return std::max(font_height, 12) + 8; }

int preview_width(int content_width, int info_width) {
    const int content = std::max(content_width, kPreviewMinContentWidth);
    return std::clamp(std::max(content, info_width) + kWidthPadding, kPreviewMinWidth, kPreviewMaxWidth);
}

CardLayout compute_card_layout(int width, int content_height, int line_count, int line_height, int maximum_height) {
    CardLayout layout;
    layout.width = width;
    layout.line_height = line_height < 1 ? 20 : line_height;
    layout.line_count = std::max(line_count, 1);
    layout.content_height = std::max(layout.line_height, content_height);
    const int info_height = layout.line_count * (layout.line_height + kLineGap) + kInfoPadding;
    const int available = std::max(maximum_height - kContentFrame - info_height, kMinAvailable);
    layout.shown_height = std::min(available, layout.content_height);
    layout.clipped = layout.content_height > available;
    layout.content_bottom = layout.shown_height + layout.header;
    layout.separator_y = layout.shown_height + kContentFrame;
    layout.total_height = info_height + layout.shown_height + kContentFrame;
    const int side = 2 * kPreviewSideMargin + (layout.clipped ? kPreviewScrollBarRoom : 0);
    layout.inner_width = std::max(width - side, 1);
    return layout;
}

int max_preview_scroll(const CardLayout& layout) { return std::max(layout.content_height - layout.shown_height, 0); }

int clamp_preview_scroll(int scroll, const CardLayout& layout) {
    return std::clamp(scroll, 0, max_preview_scroll(layout));
}

int preview_anchor_y(int row_top_on_screen) { return row_top_on_screen - kEdgeGap; }

PreviewPosition place_preview(const ScreenRect& main_window, int anchor_y, int width, int height,
                              const ScreenRect& work_area) {
    const int min_x = work_area.left + kEdgeGap - 1;  // x must stay above this
    const int max_right = work_area.right - kEdgeGap + 1;
    PreviewPosition at{main_window.left - width - kEdgeGap, anchor_y};
    if (at.x <= min_x) {
        at.x = main_window.right + kEdgeGap;
        if (at.x + width >= max_right || at.x <= min_x) at.x = work_area.left + kEdgeGap;
    }
    if (at.x + width >= max_right) at.x = work_area.right - kEdgeGap - width;
    if (at.y + height >= work_area.bottom - kEdgeGap + 1) at.y = work_area.bottom - kEdgeGap - height;
    at.y = std::max(at.y, work_area.top);
    at.x = std::max(at.x, work_area.left);
    return at;
}

int follow_row_top(int anchor_y, int height, const ScreenRect& work_area) {
    const int top =
        anchor_y + height < work_area.bottom - kEdgeGap + 1 ? anchor_y : work_area.bottom - kEdgeGap - height;
    return std::max(top, work_area.top);
}

int centred_left(int left, int right, int width) { return std::max(left, left + (right - left - width) / 2); }

PreviewScrollBar preview_scroll_bar(const CardLayout& layout, int scroll, int inner_right) {
    PreviewScrollBar bar;
    bar.left = inner_right - 8;
    bar.right = inner_right - 2;
    bar.track_top = layout.header + 2;
    bar.track_height = std::max(layout.shown_height - 4, 0);
    const int content = std::max(layout.content_height, 1);
    bar.thumb_height = std::min(std::max(bar.track_height * layout.shown_height / content, 16), bar.track_height);
    const int range = std::max(layout.content_height - layout.shown_height, 1);
    bar.thumb_top =
        bar.track_top + (bar.track_height - bar.thumb_height) * clamp_preview_scroll(scroll, layout) / range;
    return bar;
}

std::wstring text_info_lines(const EntryInfo& info) {
    std::wstring lines = labelled(tr(L"card.app"), info.app);
    if (is_url(info.text)) {
        if (!info.link_title.empty()) {
            lines += L"\n" + labelled(tr(L"card.name"), info.link_title);
        } else if (info.is_browser_page && !info.source_title.empty()) {
            lines += L"\n" + labelled(tr(L"card.page"), strip_title_suffix(info.source_title));
        }
    } else if (info.is_browser_page && !info.source_title.empty()) {
        lines += L"\n" + labelled(tr(L"card.page"), info.source_title);
    }
    if (!info.link.empty()) lines += L"\n" + labelled(tr(L"card.url"), info.link);
    return lines + L"\n" + labelled(tr(L"card.created"), info.created);
}

std::wstring card_info_text(const std::wstring& app, bool is_browser_page, const std::wstring& page_title,
                            const std::wstring& address, const std::wstring& created) {
    std::wstring lines = labelled(tr(L"card.app"), app.empty() ? L"\u2014" : app);
    if (is_browser_page) {
        if (!page_title.empty()) lines += L"\n" + labelled(tr(L"card.page"), page_title);
        if (!address.empty()) lines += L"\n" + labelled(tr(L"card.url"), address);
    }
    return lines + L"\n" + labelled(tr(L"card.created"), created);
}

bool is_openable_link(const std::wstring& link) {
    for (wchar_t c : link)
        if (c < 0x21 || c == 0x7F) return false;
    return is_url(link);
}
