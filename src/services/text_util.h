#pragma once
// Small text functions shared by every part of the program: trimming,
// shortening, the page address inside "HTML Format" data, the paste
// transforms and the template variables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Removes tab, line feed, carriage return and space from both ends.
std::wstring trim_blanks(const std::wstring& text);

// A multi-line edit control breaks lines only at CR LF: every bare LF of
// text becomes CR LF, so that each line shows as its own.
std::wstring with_crlf(const std::wstring& text);
// What an edit control gave back (breaks as CR LF) in the break style of the
// text it was given: CR LF becomes LF when the original's first line break
// is a bare LF; otherwise the edited text is returned as it is.
std::wstring with_breaks_of(const std::wstring& edited, const std::wstring& original);

// The first n code units of text followed by U+2026, or text itself when it
// is at most n long. Never splits a surrogate pair: the cut moves one unit
// earlier instead.
std::wstring ellipsize(const std::wstring& text, size_t n);

// The first n code units of text, moved one unit earlier when the cut would
// split a surrogate pair.
std::wstring cut_code_units(const std::wstring& text, size_t n);

// The value of the "SourceURL:" header line (name in any case), or empty.
std::wstring html_source_url(const std::wstring& html);
// The same for raw "HTML Format" bytes, decoded as UTF-8.
std::wstring html_source_url_bytes(const std::vector<std::uint8_t>& data);
std::wstring html_source_url_bytes(const std::string& data);

enum TransformMode : std::uint32_t {
    kTransformUpper = 0,
    kTransformLower = 1,
    kTransformTitle = 2,
    kTransformSentence = 3,
    kTransformSwapCase = 4,
    kTransformTrim = 5,
    kTransformJoinLines = 6,
};
// Modes above 6 return the text unchanged.
std::wstring transform_text(const std::wstring& text, std::uint32_t mode);

// Whether text, every code unit lower-cased as kTransformLower does it,
// contains needle (lower-cased already). The text is read in place, once at
// most, and no further than its first match: a long text costs no copy.
bool contains_lowered(std::wstring_view text, std::wstring_view needle);

// Replaces {date}/{d}, {time}/{t}, {datetime}, {year} and {user}/{username}
// (names in any case) with values taken at one moment; other braces stay.
std::wstring expand_template(const std::wstring& text);

// The variable values expand_template uses, given explicitly.
struct TemplateValues {
    std::wstring date, time, datetime, year, user;
};
std::wstring expand_template_with(const std::wstring& text, const TemplateValues& values);
