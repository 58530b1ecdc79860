#include "ui/settings/settings_values.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const wchar_t*, 3> kFilterModes = {L"all", L"whitelist", L"blacklist"};

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::optional<int> parse_setting_number(const std::wstring& text, int min, int max) {
    size_t first = 0, last = text.size();
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    if (first == last) return std::nullopt;
    long long value = 0;
    for (size_t i = first; i < last; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        // Past max no further digit can bring it back into range.
        if (value <= max) value = value * 10 + (text[i] - L'0');
    }
    return static_cast<int>(std::clamp<long long>(value, min, max));
}

std::optional<int> parse_retention_number(const std::wstring& text, int max) {
    if (std::all_of(text.begin(), text.end(), is_blank)) return 0;
    // 0 stays 0: raised to the spin's lowest hour, "never" would empty the
    // trash at once.
    return parse_setting_number(text, 0, max);
}

int filter_mode_row(const std::wstring& mode) {
    const auto found = std::find(kFilterModes.begin(), kFilterModes.end(), mode);
    return found == kFilterModes.end() ? 0 : static_cast<int>(found - kFilterModes.begin());
}

std::wstring filter_mode_of_row(int row) {
    if (row < 0 || row >= static_cast<int>(kFilterModes.size())) return {};
    return kFilterModes[static_cast<size_t>(row)];
}
