#pragma once

#include <string>

// Whether the text is a payment-card number: 13 to 19 digits, optionally
// grouped with spaces or hyphens and nothing else, passing the Luhn check.
// Blanks (space, tab, line breaks) at the two ends are ignored.
bool looks_like_card_number(const std::wstring& text);
