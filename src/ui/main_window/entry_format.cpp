#include "ui/main_window/entry_format.h"

#include "capture/app_names.h"
#include "config/language.h"
#include "services/clock.h"
#include "services/text_util.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr wchar_t kGroupPrefix[] = L"GRP\t";
constexpr wchar_t kPinMark[] = L"\U0001F4CC ";
constexpr wchar_t kKeepMark[] = L"\u2605  ";
constexpr wchar_t kPlainMark[] = L"     ";

bool contains(const std::wstring& haystack, const std::wstring& needle) {
    return haystack.find(needle) != std::wstring::npos;
}

// Reads one decimal number at pos (a sign allowed), moving pos past it.
bool read_number(const std::wstring& text, std::size_t& pos, int& out) {
    std::size_t i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    const std::size_t digits = i;
    long long value = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && i - digits < 9)
        value = value * 10 + (text[i++] - L'0');
    if (i == digits) return false;
    out = static_cast<int>(negative ? -value : value);
    pos = i;
    return true;
}

bool read_separator(const std::wstring& text, std::size_t& pos, wchar_t separator) {
    if (pos >= text.size() || text[pos] != separator) return false;
    ++pos;
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long days_from_civil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

std::wstring two_digits(int value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%02d", value);
    return buffer;
}

std::wstring strip_trailing_blanks(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

}  // namespace

RowKind row_kind(std::int64_t item_data) {
    if (item_data >= 0) return RowKind::Entry;
    if (item_data <= kListGroupHeader) return RowKind::GroupHeader;
    return RowKind::Template;
}

std::wstring to_lower(const std::wstring& text) { return transform_text(text, kTransformLower); }

std::wstring entry_row_text(const HistoryEntry& entry, bool slots_view, const std::wstring& image_text) {
    const wchar_t* mark = slots_view || entry.ep ? kPinMark : entry.keep ? kKeepMark : kPlainMark;
    // Cut before anything else: a text of megabytes is not copied whole.
    std::wstring text = cut_code_units(entry.is_image && entry.text.empty() ? image_text : entry.text, kRowTextLimit);
    std::replace(text.begin(), text.end(), L'\r', L' ');
    std::replace(text.begin(), text.end(), L'\n', L' ');
    return mark + text;
}

std::wstring template_row_text(const Snippet& snippet) { return snippet.title + L"\n" + snippet.text; }

std::wstring trashed_template_row_text(const Snippet& snippet) { return L"[tpl] " + template_row_text(snippet); }

std::wstring group_header_text(const std::wstring& name) { return kGroupPrefix + name; }

bool is_group_row(const std::wstring& row_text) { return row_text.starts_with(kGroupPrefix); }

std::wstring strip_group_prefix(const std::wstring& row_text) {
    return is_group_row(row_text) ? row_text.substr(4) : row_text;
}

int row_height(const std::wstring& row_text, bool image_row) {
    if (is_group_row(row_text)) return kGroupRowHeight;
    if (image_row || contains(row_text, L"\n")) return kTallRowHeight;
    return kPlainRowHeight;
}

bool entry_matches_search(const HistoryEntry& entry, const std::wstring& lowered_search) {
    return contains_lowered(entry.text, lowered_search);
}

bool matches_snippet(const std::wstring& lowered_search, const Snippet& snippet) {
    if (lowered_search.empty()) return true;
    return contains_lowered(snippet.title + L" " + snippet.text + L" " + snippet.grp, lowered_search);
}

std::wstring view_key(int view_mode, int view_category) {
    switch (view_mode) {
    case kViewAll: return L"all";
    case kViewPinned: return L"pinned";
    case kViewSlots: return L"slots";
    case kViewUncategorised: return L"none";
    case kViewTrash: return L"trash";
    case kViewImages: return L"images";
    default: return L"cat:" + std::to_wstring(view_category);
    }
}

std::wstring templates_view_key(const std::wstring& group) { return L"templates:" + group; }

bool parse_timestamp(const std::wstring& text, Timestamp& out) {
    Timestamp t;
    std::size_t pos = 0;
    const bool read =
        read_number(text, pos, t.year) && read_separator(text, pos, L'-') && read_number(text, pos, t.month) &&
        read_separator(text, pos, L'-') && read_number(text, pos, t.day) && read_separator(text, pos, L'T') &&
        read_number(text, pos, t.hour) && read_separator(text, pos, L':') && read_number(text, pos, t.minute);
    if (!read || t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 ||
        t.minute < 0 || t.minute > 59)
        return false;
    out = t;
    return true;
}

int days_between(int year1, int month1, int day1, int year2, int month2, int day2) {
    return static_cast<int>(days_from_civil(year2, static_cast<unsigned>(month2), static_cast<unsigned>(day2)) -
                            days_from_civil(year1, static_cast<unsigned>(month1), static_cast<unsigned>(day1)));
}

std::wstring format_timestamp(const std::wstring& stored) {
    Timestamp t;
    if (!parse_timestamp(stored, t)) return stored;
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%02d.%02d.%04d %02d:%02d", t.day, t.month, t.year, t.hour, t.minute);
    return buffer;
}

std::wstring meta_line_text(const MetaLineParts& parts, const CalendarDate& today) {
    std::wstring line;
    if (parts.slot >= 1 && parts.slot <= kQuickSlotCount) line += L"Ctrl+Shift+" + std::to_wstring(parts.slot) + L"  ";
    if (!parts.category.empty()) line += L"[" + parts.category + L"] ";
    Timestamp t;
    if (parts.show_time && parse_timestamp(parts.created_at, t)) {
        const int days = days_between(t.year, t.month, t.day, today.year, today.month, today.day);
        if (days == 0) {
            line += tr_format(L"time.today", t.hour, t.minute);
        } else if (days == 1) {
            line += tr_format(L"time.yesterday", t.hour, t.minute);
        } else {
            line += two_digits(t.day) + L"." + two_digits(t.month) + L" " + two_digits(t.hour) + L":" +
                    two_digits(t.minute);
        }
    }
    return strip_trailing_blanks(line);
}

CalendarDate today_local() {
    std::tm now{};
    if (!local_time(std::time(nullptr), now)) return {};
    return {now.tm_year + 1900, now.tm_mon + 1, now.tm_mday};
}

std::wstring card_source_label(const std::wstring& source_app, bool is_browser_page, const std::wstring& page_title,
                               const std::wstring& address) {
    std::wstring label = source_app.empty() ? L"\u2014" : app_display_name(source_app);
    if (is_browser_page) {
        if (!page_title.empty()) label += L"\n" + tr(L"card.page") + L" " + page_title;
        if (!address.empty()) label += L"\n" + tr(L"card.url") + L" " + address;
    }
    return label;
}

std::wstring image_caption(const HistoryEntry& entry) {
    if (!entry.custom_title.empty()) return entry.custom_title;
    if (entry.is_browser_page || !entry.source_title.empty())
        return card_source_label(entry.source_app, entry.is_browser_page, entry.source_title, entry.source_url);
    return tr_format(L"card.screenshot", format_timestamp(entry.created_at));
}

GroupList build_group_list(const std::vector<Snippet>& snippets, const std::vector<std::wstring>& configured,
                           const std::vector<std::wstring>& extra) {
    GroupList list;
    list.names = configured;
    for (const Snippet& s : snippets) {
        if (s.grp.empty()) {
            list.ungrouped.push_back(&s);
        } else {
            list.by_group[s.grp].push_back(&s);
        }
    }
    auto add_name = [&list](const std::wstring& name) {
        if (std::find(list.names.begin(), list.names.end(), name) == list.names.end()) list.names.push_back(name);
    };
    for (const auto& [name, members] : list.by_group) add_name(name);
    for (const std::wstring& name : extra) add_name(name);
    for (auto& [name, members] : list.by_group)
        std::stable_sort(members.begin(), members.end(),
                         [](const Snippet* a, const Snippet* b) { return a->title < b->title; });
    return list;
}

int restored_top_row(bool keep_scroll, int old_top, int old_top_row_now, int count) {
    if (!keep_scroll || old_top <= 0 || count <= 0) return 0;
    if (old_top_row_now >= 0) return old_top_row_now;
    return old_top < count ? old_top : count - 1;
}
