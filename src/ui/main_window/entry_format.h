#pragma once
// What the entry list shows, free of windows: the row kinds told apart by
// their item data, the row texts and heights, the search tests, the meta
// line and timestamps of the cards, the caption of image cards, the template
// groups of the templates view and the view keys. Texts the user sees come
// from the language files.

#include "services/ids.h"
#include "storage/history_records.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Quick slots 1..9, each with its Ctrl+Shift+digit.
inline constexpr int kQuickSlotCount = 9;

// Entry texts longer than this are cut in their rows, so that a huge
// clipboard text does not slow measuring and painting.
inline constexpr std::size_t kRowTextLimit = 8192;

inline constexpr int kGroupRowHeight = 28;
inline constexpr int kTallRowHeight = 66;  // image entries and templates
inline constexpr int kPlainRowHeight = 30;
// The picture of an image card fits a square of this side.
inline constexpr int kThumbnailSize = 42;

// Rows are told apart by their item data (services/ids.h): an entry's id (0 or
// more), a template's id negated, or a group header.
enum class RowKind { Entry, Template, GroupHeader };
RowKind row_kind(std::int64_t item_data);
// A template-group header row ("GRP" and a tab first).
bool is_group_row(const std::wstring& row_text);

// Case folded by the system's tables (the C runtime folds only ASCII).
std::wstring to_lower(const std::wstring& text);

// An entry's row: a mark (pin in the slots view or when effectively pinned,
// a star when kept, blanks otherwise) and the text on one line, cut to
// kRowTextLimit; an image without text shows image_text.
std::wstring entry_row_text(const HistoryEntry& entry, bool slots_view, const std::wstring& image_text);
std::wstring template_row_text(const Snippet& snippet);
std::wstring trashed_template_row_text(const Snippet& snippet);
std::wstring group_header_text(const std::wstring& name);
// The row text without a leading "GRP\t".
std::wstring strip_group_prefix(const std::wstring& row_text);

int row_height(const std::wstring& row_text, bool image_row);

// The search tests; lowered_search is already folded, and empty matches all.
// A template matches by its title, text or group.
bool entry_matches_search(const HistoryEntry& entry, const std::wstring& lowered_search);
bool matches_snippet(const std::wstring& lowered_search, const Snippet& snippet);

// The view key list_entries takes for a view of the main window.
std::wstring view_key(int view_mode, int view_category);
// The key of the templates view of a group (empty: every group), which tells
// refills apart as view_key does: each group is a view of its own, so a
// switch to another group starts at its top like any other change of view.
std::wstring templates_view_key(const std::wstring& group);

// A stored timestamp ("%Y-%m-%dT%H:%M:%S"; seconds may be missing).
struct Timestamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
bool parse_timestamp(const std::wstring& text, Timestamp& out);
// Days from the first date to the second, counted on the calendar.
int days_between(int year1, int month1, int day1, int year2, int month2, int day2);

// "dd.mm.yyyy hh:mm", or the text unchanged when it is no timestamp.
std::wstring format_timestamp(const std::wstring& stored);

// What an entry card shows at its right: its quick-slot key (slot 1..9, 0
// for none), its category in brackets (empty for none) and, with show_time,
// when it was copied: today, yesterday or the date, told against today's
// calendar date. Trailing blanks are dropped.
struct MetaLineParts {
    int slot = 0;
    std::wstring category;
    bool show_time = true;
    std::wstring created_at;
};
struct CalendarDate {
    int year = 0, month = 0, day = 0;
};
std::wstring meta_line_text(const MetaLineParts& parts, const CalendarDate& today);
CalendarDate today_local();

// The short source text of an image card: the program, and for a browser
// page its title and address on further lines.
std::wstring card_source_label(const std::wstring& source_app, bool is_browser_page, const std::wstring& page_title,
                               const std::wstring& address);
// The caption of an image card: its own title, else its source, else
// "Screenshot" with its time.
std::wstring image_caption(const HistoryEntry& entry);

// The templates ordered by group for the templates view: names are the
// configured groups first, then groups only templates name, then extra
// names; each group's templates by title, the ungrouped ones as loaded.
struct GroupList {
    std::vector<std::wstring> names;
    std::map<std::wstring, std::vector<const Snippet*>> by_group;
    std::vector<const Snippet*> ungrouped;
};
GroupList build_group_list(const std::vector<Snippet>& snippets, const std::vector<std::wstring>& configured,
                           const std::vector<std::wstring>& extra);

// The first visible row after a refill. The old position is kept only for
// a refill of the same view and search that was scrolled (old_top above 0):
// on the row that was on top (its new index, -1 when it is gone), else at
// the same index, else on the last row. Otherwise the list starts at the top.
int restored_top_row(bool keep_scroll, int old_top, int old_top_row_now, int count);
