#pragma once
// How option values are written as text in the settings file, and read back.
// Pure text logic, shared by the file readers and by Settings::set.

#include <optional>
#include <string>

// True exactly for "true" and "1" (case-sensitive: "TRUE" and "yes" are false).
bool ini_bool_from_text(const std::wstring& text);
const wchar_t* ini_text_from_bool(bool value);

// Base 10, leading white space skipped, one sign allowed, anything after the
// digits ignored ("12abc" is 12). Nothing when there are no digits or the
// number does not fit in 32 bits.
std::optional<int> ini_int_from_text(const std::wstring& text);
