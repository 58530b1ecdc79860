#pragma once
// Conversions between the program's wide strings and the UTF-8 used by the
// database, files and the network, and base64 for image bytes in JSON.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

std::string utf8_from_wide(std::wstring_view text);
// Malformed UTF-8 is not an error: what cannot be decoded becomes U+FFFD.
std::wstring wide_from_utf8(std::string_view text);

// Appends the UTF-8 form of one Unicode code point (the parsers of JSON and
// HTML decode escapes with it).
void append_utf8(std::string& out, std::uint32_t code_point);
// The value of one hexadecimal digit, or -1.
int hex_digit_value(int c);

std::string base64_encode(const Bytes& data);
// Lenient: skips characters outside the alphabet, stops at the first '=',
// drops leftover bits. Never fails.
Bytes base64_decode(const std::string& text);
