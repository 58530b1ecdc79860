#include "ui/dialogs/dialog_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace {

constexpr int kViewButtonsBand = 48;  // under the lines: the buttons and their margins
constexpr int kViewMetaGap = 8;       // between the picture or text and the lines

int view_meta_height(const RECT& client, int meta_height) {
    return std::max(std::min(meta_height, static_cast<int>(client.bottom - client.top) / 2), kViewMetaMinHeight);
}

}  // namespace

SIZE confirm_box_client_size(int text_width, int text_height) {
    return SIZE{std::max(text_width, kConfirmMinTextWidth) + 84, text_height + 152};
}

int input_box_width(int main_row_width) {
    if (main_row_width < 0) return 460;
    return std::max(main_row_width, 300);
}

InputBoxLayout input_box_layout(int width, int prompt_line_height) {
    InputBoxLayout box;
    const int prompt_height = std::max(prompt_line_height, 20);
    box.prompt = RECT{16, 10, width - 16, 10 + prompt_height};
    const int field_top = box.prompt.bottom + 14;
    box.field = RECT{16, field_top, width - 16, field_top + 74};
    const int buttons_top = box.field.bottom + 12;
    box.ok = RECT{width - 220, buttons_top, width - 120, buttons_top + 32};
    box.cancel = RECT{width - 112, buttons_top, width - 16, buttons_top + 32};
    box.client = SIZE{width, box.ok.bottom + 20};
    return box;
}

float wheel_zoom(float zoom, int wheel_delta) {
    const double turned = zoom * std::pow(1.15, wheel_delta / 120.0);
    return static_cast<float>(std::clamp(turned, double(kMinViewZoom), double(kMaxViewZoom)));
}

SIZE fit_size(int w, int h, int max_w, int max_h) {
    w = std::max(w, 1);
    h = std::max(h, 1);
    double scale = w > max_w ? double(max_w) / w : 1.0;
    if (h * scale > max_h) scale = double(max_h) / h;
    return SIZE{std::max(static_cast<LONG>(w * scale), 1L), std::max(static_cast<LONG>(h * scale), 1L)};
}

RECT view_meta_area(const RECT& client, int meta_height) {
    const int bottom = client.bottom - kViewButtonsBand;
    return RECT{client.left + 14, bottom - view_meta_height(client, meta_height), client.right - 112, bottom};
}

RECT view_image_area(const RECT& client, int meta_height) {
    const int bottom = view_meta_area(client, meta_height).top - kViewMetaGap;
    RECT area{client.left + 10, client.top + 10, client.right - 10, bottom};
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

std::wstring display_created_at(const std::wstring& created_at) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    std::swscanf(created_at.c_str(), L"%d-%d-%dT%d:%d", &year, &month, &day, &hour, &minute);
    if (year == 0) return created_at;
    wchar_t shown[64];
    std::swprintf(shown, 64, L"%02d.%02d.%04d %02d:%02d", day, month, year, hour, minute);
    return shown;
}
