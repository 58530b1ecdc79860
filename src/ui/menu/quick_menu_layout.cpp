#include "ui/menu/quick_menu_layout.h"

#include "services/text_util.h"

#include <algorithm>

int quick_menu_width(int font_size) { return font_size >= 15 ? 400 + (font_size - 14) * 24 : 400; }

int quick_menu_row_height(int text_height) { return std::max(text_height + 14, 28); }

int quick_menu_height(int rows, int row_height, int edge) {
    const int height = std::min(2 * edge + rows * row_height + 2, kQuickMenuMaxHeight);
    if (row_height + 2 * edge + 1 >= height) return row_height + 2 * edge + 2;
    return height;
}

namespace {

// The longest start of line that fits max_width behind number and with "…"
// after it.
std::wstring cut_to_width(const std::wstring& number, const std::wstring& line, int max_width,
                          const std::function<int(const std::wstring&)>& measure) {
    const auto cut = [&](size_t n) { return number + cut_code_units(line, n) + L"\u2026"; };
    size_t low = 0, high = line.size() + 1;  // cut(low) fits or low is 0; cut(high) does not or is past the end
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        (measure(cut(middle)) <= max_width ? low : high) = middle;
    }
    return cut(low);
}

}  // namespace

std::wstring quick_menu_row_text(int index, const std::wstring& text, int max_width,
                                 const std::function<int(const std::wstring&)>& measure) {
    const std::wstring number = std::to_wstring(index + 1) + L". ";
    std::wstring line = cut_code_units(text, kQuickMenuRowUnits);
    const bool goes_on = line.size() < text.size();
    std::replace_if(
        line.begin(), line.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
    if (max_width < 1 || line.empty()) return number + line + (goes_on ? L"\u2026" : L"");
    if (!goes_on && measure(number + line) <= max_width) return number + line;
    return cut_to_width(number, line, max_width, measure);
}

HWND quick_menu_target(HWND front, bool front_is_program, HWND menu, HWND kept, HWND last_program) {
    if (front_is_program) return front;
    return front && front == menu ? kept : last_program;
}
