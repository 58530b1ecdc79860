#include "capture/card_number.h"

#include "services/text_util.h"

bool looks_like_card_number(const std::wstring& text) {
    // Blanks at the ends are how the number was copied (a line break after
    // it); inside, a tab or line break parts cells or lines, and a column of
    // amounts is no card number.
    std::wstring digits;
    for (wchar_t c : trim_blanks(text)) {
        if (c == L' ' || c == L'-') continue;
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
