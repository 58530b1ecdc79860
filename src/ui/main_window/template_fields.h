#pragma once
// What the snippet editor and the group commands accept, free of windows:
// the checks on a template before the editor closes, the group box's first
// row, and the name a group gets from what was typed.

#include <string>
#include <vector>

enum class TemplateProblem {
    None,
    NeedTitleAndText,  // the title (trimmed) or the text is empty
    DuplicateTitle,    // another template, live or trashed, has the title
};

// The checks the store makes when it adds a template, made before the editor
// closes so that what the user typed is never thrown away. original_title is
// the title the editor opened with (empty for a new template): keeping it is
// no duplicate. taken_titles are every stored template's title.
TemplateProblem check_template_fields(const std::wstring& title, const std::wstring& text,
                                      const std::wstring& original_title,
                                      const std::vector<std::wstring>& taken_titles);

// The group of the editor's group box text: empty for its first row, shown
// as ungrouped_label (the label of the language the box was filled in), else
// the text.
std::wstring ungrouped_label_to_name(const std::wstring& text, const std::wstring& ungrouped_label);

// A group name from an input box: line breaks become blanks, and blanks at
// both ends go. Empty when nothing is left.
std::wstring group_name_from_input(const std::wstring& typed);
