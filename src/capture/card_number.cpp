#include "capture/card_number.h"

bool looks_like_card_number(const std::wstring& text) {
    std::wstring digits;
    for (wchar_t c : text) {
        // Tabs and line breaks separate groups as well as spaces do: a number
        // copied with a line break after it is stored as one line, and must
        // not slip through because of how it was laid out when copied.
        if (c == L' ' || c == L'-' || c == L'\t' || c == L'\r' || c == L'\n') continue;
        if (c < L'0' || c > L'9') return false;
        digits += c;
        if (digits.size() > 19) return false;
    }
    if (digits.size() < 13) return false;
    int sum = 0;
    bool doubled = false;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        int d = *it - L'0';
        if (doubled) {
            d *= 2;
            if (d > 9) d -= 9;
        }
        sum += d;
        doubled = !doubled;
    }
    return sum % 10 == 0;
}
