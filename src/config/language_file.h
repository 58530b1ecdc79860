#pragma once
// The format of a language file: UTF-8 (a byte-order mark is allowed), one
// key=value per line, split at the first "="; lines starting with "#" or ";"
// are comments; a key given twice keeps its last text. Values are literal:
// no quotes, escapes or sections. Malformed lines are skipped one by one.

#include <map>
#include <string>

using LanguageTable = std::map<std::wstring, std::wstring, std::less<>>;

LanguageTable parse_language_file(std::string content);

// Front: spaces and tabs; back: tabs, line feeds, carriage returns and spaces.
std::wstring trim_line(const std::wstring& line);
