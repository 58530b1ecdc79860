#pragma once
// How option values are written as text in the settings file, and read back.
// Pure text logic, shared by the file readers and by Settings::set.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// True exactly for "true" and "1" (case-sensitive: "TRUE" and "yes" are false).
bool ini_bool_from_text(const std::wstring& text);
const wchar_t* ini_text_from_bool(bool value);

// Base 10, leading white space skipped, one sign allowed, anything after the
// digits ignored ("12abc" is 12). Nothing when there are no digits or the
// number does not fit in 32 bits.
std::optional<int> ini_int_from_text(const std::wstring& text);

// A value's text as the settings file gives it back: blanks around it do not
// count, a value in matching single or double quotes loses them, at most 4095
// characters. What is kept from a typed value, so that it works as it will
// after the next start.
std::wstring ini_value_as_read(std::wstring_view text);

// One section of a settings file as the system's section read gives it: lines
// of "key=value", each ended by a null character.
class IniSection {
public:
    explicit IniSection(std::wstring_view lines);
    // The value as the system's read of one value gives it: blanks around the
    // key do not count, nor does its case; the first line of a key wins; the
    // value as ini_value_as_read gives it. A key without a line gives
    // fallback, without its trailing blanks.
    std::wstring value(const wchar_t* key, const std::wstring& fallback) const;

private:
    std::vector<std::pair<std::wstring, std::wstring>> entries_;
};
