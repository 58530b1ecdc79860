#pragma once
// How the settings window reads what its fields hold: numbers typed into
// the number fields and the rows of the application filter's combo box.

#include <optional>
#include <string>

// A number field's text as a value within min..max: digits only, blanks
// around them allowed; a number beyond the range gives the nearest end.
// No value for an empty text, a sign or any other character.
std::optional<int> parse_setting_number(const std::wstring& text, int min, int max);

// A retention field's text (days of history, hours in the trash): 0 or an
// emptied field means never, as the settings file has it; any other number
// is kept within 1..max. No value for a text that is not a number.
std::optional<int> parse_retention_number(const std::wstring& text, int max);

// Rows of the filter-mode combo box: 0 "all", 1 "whitelist", 2 "blacklist".
// An unknown mode shows as row 0; a row out of range names no mode (empty).
int filter_mode_row(const std::wstring& mode);
std::wstring filter_mode_of_row(int row);
