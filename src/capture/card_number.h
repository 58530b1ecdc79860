#pragma once

#include <string>

// Whether the text is a payment-card number: 13 to 19 digits, optionally
// grouped with blanks (space, tab, line breaks) or hyphens and nothing else,
// passing the Luhn check.
bool looks_like_card_number(const std::wstring& text);
