#pragma once
// Reading and writing the section "Settings" of an INI file through the
// system's private-profile functions.

#include "config/ini_values.h"

#include <optional>
#include <string>

// At most 4095 characters come back; a longer stored value is cut there.
std::wstring ini_read_string(const std::wstring& path, const wchar_t* key, const std::wstring& fallback);

// The whole section in one read: reading the values one by one opens the
// file once for each (on Wine a few trips to the server each). Nothing when
// the section is too large to take at once; then read the values one by one.
std::optional<IniSection> ini_read_section(const std::wstring& path);

void ini_write_string(const std::wstring& path, const wchar_t* key, const std::wstring& value);
void ini_write_bool(const std::wstring& path, const wchar_t* key, bool value);
void ini_write_int(const std::wstring& path, const wchar_t* key, int value);

// The private-profile functions write a file in the encoding it already has,
// and a new file as ANSI, where Cyrillic text becomes '?'. This makes sure the
// file is UTF-16LE with a byte-order mark before anything is written: a missing
// or empty file is created as just the mark; an existing ANSI file is
// converted (written atomically, so a failure leaves it as it was), and so is
// a UTF-8 file, with or without its mark. Files that carry a UTF-16
// byte-order mark are left alone. False when the
// file could not be made Unicode; writing still works then, only without
// non-ASCII text.
bool ini_ensure_unicode(const std::wstring& path);

// Editors save a settings file as UTF-8, which the private-profile functions
// would read as the ANSI code page (and a later save would then keep the
// garbled text for good). Such a file, one with the UTF-8 mark or valid UTF-8
// holding bytes above 0x7F, becomes UTF-16LE with a mark, atomically; every
// other file is left as it is, a missing one too. Call before the first read.
// False when a file that needed converting could not be.
bool ini_adopt_utf8(const std::wstring& path);
