#include "ui/main_window/template_fields.h"

#include "services/text_util.h"

#include <algorithm>

TemplateProblem check_template_fields(const std::wstring& title, const std::wstring& text,
                                      const std::wstring& original_title,
                                      const std::vector<std::wstring>& taken_titles) {
    const std::wstring trimmed = trim_blanks(title);
    if (trimmed.empty() || text.empty()) return TemplateProblem::NeedTitleAndText;
    if (trimmed == trim_blanks(original_title)) return TemplateProblem::None;
    const bool taken = std::find(taken_titles.begin(), taken_titles.end(), trimmed) != taken_titles.end();
    return taken ? TemplateProblem::DuplicateTitle : TemplateProblem::None;
}

std::wstring ungrouped_label_to_name(const std::wstring& text, const std::wstring& ungrouped_label) {
    return text == ungrouped_label ? std::wstring{} : text;
}

std::wstring group_name_from_input(const std::wstring& typed) {
    std::wstring name = typed;
    std::replace_if(
        name.begin(), name.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
    return trim_blanks(name);
}
