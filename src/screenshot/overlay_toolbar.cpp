// Toolbar layout, placement and commands of the screenshot editor.
#include "screenshot/overlay_toolbar.h"

#include "config/language.h"
#include "services/ids.h"

#include <algorithm>

namespace {

constexpr int kToolButtonWidth = 28;
constexpr int kStepButtonWidth = 24;

struct LayoutCursor {
    ToolbarLayout& out;
    int x = 6;

    void button(int id, const wchar_t* tip_key, int width) {
        out.buttons.push_back({{x, 6, x + width, 34}, id, tip_key});
        x += width + 2;
    }
    void separator() {
        out.separators.push_back(x + 3);
        x += 9;
    }
};

EdgeRect shifted(const EdgeRect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

}  // namespace

ToolbarLayout layout_toolbar_for(const PixelRect& selection, int picture_width, int picture_height) {
    return layout_toolbar_for(selection, EdgeRect{0, 0, picture_width, picture_height});
}

ToolbarLayout layout_toolbar_for(const PixelRect& selection, const EdgeRect& area) {
    ToolbarLayout out;
    LayoutCursor c{out};
    const wchar_t* const tool_tips[] = {
        tr_key(L"capture.tip_move"),   tr_key(L"capture.tip_arrow"), tr_key(L"capture.tip_pencil"),
        tr_key(L"capture.tip_line"),   tr_key(L"capture.tip_rect"),  tr_key(L"capture.tip_text"),
        tr_key(L"capture.tip_number"), tr_key(L"capture.tip_blur"),
    };
    for (int id = kCaptureToolFirst; id <= kCaptureToolLast; ++id) c.button(id, tool_tips[id - 1], kToolButtonWidth);
    c.separator();
    c.button(kCaptureUndo, tr_key(L"capture.tip_undo"), kToolButtonWidth);
    c.button(kCaptureRedo, tr_key(L"capture.tip_redo"), kToolButtonWidth);
    c.separator();
    c.button(kCaptureThinner, tr_key(L"capture.tip_thinner"), kStepButtonWidth);
    out.thickness_box = {c.x, 10, c.x + 22, 30};
    c.x += 24;
    c.button(kCaptureThicker, tr_key(L"capture.tip_thicker"), kStepButtonWidth);
    c.separator();
    for (int id = kCaptureFirstSwatch; id <= kCaptureLastSwatch; ++id) {
        out.buttons.push_back({{c.x + 2, 13, c.x + 18, 29}, id, tr_key(L"capture.tip_color")});
        c.x += 18;
    }
    c.separator();
    c.button(kCaptureDone, tr_key(L"capture.tip_done"), kToolButtonWidth);
    c.button(kCaptureCopy, tr_key(L"capture.tip_copy"), kToolButtonWidth);
    c.button(kCaptureSave, tr_key(L"capture.tip_save"), kToolButtonWidth);
    c.button(kCaptureCancel, tr_key(L"capture.tip_cancel"), kToolButtonWidth);
    const int width = c.x + 6;

    int left = std::max(selection.x + selection.w - width, area.left + 8);
    if (left + width >= area.right - 7) left = std::max(area.right - 8 - width, area.left + 8);
    int top = 0;
    if (selection.y + selection.h + 50 < area.bottom - 7) {
        top = selection.y + selection.h + 10;
    } else {
        top = selection.y - 50;
        if (top < area.top + 8) top = std::max(selection.y + selection.h - 50, area.top + 8);
    }
    // A selection that runs on past its monitor's bottom must not take the
    // bar along where that monitor no longer shows it.
    top = std::max(std::min(top, area.bottom - 8 - kToolbarHeight), area.top + 8);

    out.bar = {left, top, left + width, top + kToolbarHeight};
    for (auto& b : out.buttons) b.rect = shifted(b.rect, left, top);
    for (int& s : out.separators) s += left;
    out.thickness_box = shifted(out.thickness_box, left, top);
    return out;
}

int toolbar_button_at(const std::vector<ToolbarButton>& buttons, PixelPoint p) {
    for (size_t i = 0; i < buttons.size(); ++i)
        if (edge_rect_contains(buttons[i].rect, p)) return static_cast<int>(i);
    return -1;
}

ToolbarCommand toolbar_command(int id) {
    ToolbarCommand c;
    if (id >= kCaptureToolFirst && id <= kCaptureToolLast) {
        c.kind = ToolbarCommand::Tool;
        c.tool = static_cast<CaptureTool>(id - kCaptureToolFirst);
    } else if (id == kCaptureUndo) {
        c.kind = ToolbarCommand::Undo;
    } else if (id == kCaptureRedo) {
        c.kind = ToolbarCommand::Redo;
    } else if (id == kCaptureThinner) {
        c.kind = ToolbarCommand::Thinner;
    } else if (id == kCaptureThicker) {
        c.kind = ToolbarCommand::Thicker;
    } else if (id >= kCaptureFirstSwatch && id <= kCaptureLastSwatch) {
        c.kind = ToolbarCommand::Color;
        c.color = kShotPalette[id - kCaptureFirstSwatch];
    } else if (id >= kCaptureDone && id <= kCaptureSave) {
        c.kind = ToolbarCommand::Finish;
        c.action = static_cast<CaptureAction>(int(CaptureAction::Done) + (id - kCaptureDone));
    } else if (id == kCaptureCancel) {
        c.kind = ToolbarCommand::Cancel;
    }
    return c;
}

bool toolbar_button_active(int id, CaptureTool tool, std::uint32_t color) {
    if (id >= kCaptureToolFirst && id <= kCaptureToolLast) return int(tool) == id - kCaptureToolFirst;
    if (id >= kCaptureFirstSwatch && id <= kCaptureLastSwatch) return kShotPalette[id - kCaptureFirstSwatch] == color;
    return false;
}

EdgeRect size_label_box(const PixelRect& selection, int text_width, int text_height, const EdgeRect& area) {
    const int w = text_width + 16;
    const int h = text_height + 8;
    int top = selection.y - text_height - 16;
    if (top < area.top + 4) top = selection.y + 8;
    // A selection that starts on another monitor brings its label over.
    top = std::max(std::min(top, area.bottom - 4 - h), area.top + 4);
    int left = selection.x + w < area.right - 3 ? selection.x : area.right - 4 - w;
    left = std::max(left, area.left + 4);
    return {left, top, left + w, top + h};
}

EdgeRect tooltip_box(const EdgeRect& button, int text_width, int text_height, const EdgeRect& area) {
    const int w = text_width + 16;
    const int h = text_height + 10;
    int left = std::max((button.left + button.right) / 2 - w / 2, area.left + 4);
    if (left + w >= area.right - 3) left = area.right - 4 - w;
    int top = button.top - h - 6;
    if (top < area.top + 4) top = button.bottom + 6;
    return {left, top, left + w, top + h};
}
