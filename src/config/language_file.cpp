#include "config/language_file.h"

#include "services/encoding.h"

std::wstring trim_line(const std::wstring& line) {
    const size_t first = line.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const size_t last = line.find_last_not_of(L"\t\n\r ");
    return line.substr(first, last - first + 1);
}

LanguageTable parse_language_file(std::string content) {
    LanguageTable table;
    if (content.size() > 2 && content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        const std::wstring line = trim_line(wide_from_utf8(content.substr(start, end - start)));
        start = end + 1;
        if (line.empty() || line[0] == L'#' || line[0] == L';') continue;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) continue;
        std::wstring key = trim_line(line.substr(0, eq));
        if (key.empty()) continue;
        table.insert_or_assign(std::move(key), trim_line(line.substr(eq + 1)));
    }
    return table;
}
