#pragma once
// The user-visible texts, looked up by dotted key ("tray.copied",
// "action.paste") in the language the user chose. The texts live in
// lang\<code>.ini beside the executable; a key without a text shows the key.
//
// Keys are written in code as literals, tr(L"section.key") or
// tr_format(L"section.key", ...); where a key has to be chosen at run time,
// name each candidate with tr_key(L"section.key"), so that the test that
// keeps both language files complete finds every key.

#include "config/printf_format.h"

#include <string>
#include <string_view>
#include <vector>

// The executable's folder + "lang\"; empty when the module path is not known.
std::wstring language_dir();

// Replaces the text table with folder\<code>.ini (folder empty: language_dir()).
// The table is emptied first, so a missing or unreadable file leaves every
// key showing as itself; false then.
bool load_language(const std::wstring& code, const std::wstring& folder = {});

// Makes code the current language and loads its texts; "uk" becomes "ru".
void set_language(const std::wstring& code);
const std::wstring& current_language();
bool is_allowed_language(const std::wstring& code);

// The codes with a file in folder (empty: language_dir()), always with "ru",
// sorted and unique.
std::vector<std::wstring> available_languages_in(const std::wstring& folder);
std::vector<std::wstring> available_languages();

// "Русский", "English", ...; an unknown code is shown as itself.
std::wstring language_native_name(const std::wstring& code);

// The text for key, or the key itself. The reference stays valid until the
// next set_language or load_language, however many other keys are looked up
// meanwhile. The settings window can switch the language during any modal
// wait (a dialog, a message box, a menu): a text needed after one is copied
// or looked up after it.
const std::wstring& tr(std::wstring_view key);

// Marks a literal as a language key without looking it up.
constexpr const wchar_t* tr_key(const wchar_t* key) { return key; }

// The text for key used as a printf format: %s takes a string, %d a number.
// Cut at 4095 characters. When the text's conversions do not fit the values
// passed (a translator's slip), the key is shown instead of reading values
// that are not there.
std::wstring tr_format_args(std::wstring_view key, std::initializer_list<FormatArg> args);

template <class... Args>
std::wstring tr_format(std::wstring_view key, const Args&... args) {
    return tr_format_args(key, {FormatArg(args)...});
}
