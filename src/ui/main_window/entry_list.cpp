// MainWindow: the entry list — refilling it for the view and search, its rows, selection and thumbnails.
#include "ui/main_window/main_window.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/bitmap.h"
#include "services/ids.h"
#include "services/window_util.h"
#include "storage/history_db.h"
#include "ui/app_parts.h"
#include "ui/main_window/entry_format.h"
#include "ui/main_window/sidebar.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

bool bit_at(const std::vector<bool>& bits, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < bits.size() && bits[static_cast<std::size_t>(row)];
}

}  // namespace

// The list's subclass takes none of the list-box messages, so they go straight
// to the list box's own procedure: the subclass dispatch looks a window
// property up on every message, which a refill of a few hundred rows would
// pay some thousand times (on Wine each lookup is a trip to the server).
LRESULT MainWindow::list_call(UINT message, WPARAM wparam, LPARAM lparam) const {
    if (!entry_list) return LB_ERR;
    static const auto list_box_proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(entry_list, GCLP_WNDPROC));
    return CallWindowProcW(list_box_proc, entry_list, message, wparam, lparam);
}

int MainWindow::row_count() const {
    const LRESULT count = list_call(LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::int64_t MainWindow::row_data(int row) const {
    return static_cast<std::int64_t>(list_call(LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

std::wstring MainWindow::row_text(int row) const {
    const LRESULT length = row >= 0 ? list_call(LB_GETTEXTLEN, static_cast<WPARAM>(row), 0) : LB_ERR;
    if (length == LB_ERR || length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = list_call(LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR || got < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(got), length));
    return text;
}

void MainWindow::add_row(const std::wstring& text, std::int64_t data, bool image, bool grouped) {
    // The list measures the row while adding it, from these bits.
    image_rows.push_back(image);
    grouped_template_rows.push_back(grouped);
    pending_row_height = row_height(text, image);
    const LRESULT row = list_call(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    pending_row_height = 0;
    if (row == LB_ERR || row == LB_ERRSPACE) {
        image_rows.pop_back();
        grouped_template_rows.pop_back();
        return;
    }
    list_call(LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
}

void MainWindow::refill_templates(const std::wstring& search) {
    snippets = app && app->db ? app->db->list_snippets() : std::vector<Snippet>{};
    if (template_group.empty()) {
        for (const Snippet& s : snippets)
            if (matches_snippet(search, s)) add_row(template_row_text(s), -s.id, false, false);
        return;
    }
    const bool ungrouped = template_group == kUngroupedGroup;
    const std::wstring display = ungrouped ? tr(L"side.ungrouped") : template_group;
    const std::vector<std::wstring> configured =
        app && app->db ? app->db->list_snippet_groups() : std::vector<std::wstring>{};
    const GroupList groups = build_group_list(snippets, configured, {});
    const std::vector<const Snippet*>* members = &groups.ungrouped;
    static const std::vector<const Snippet*> none;
    if (!ungrouped) {
        const auto found = groups.by_group.find(template_group);
        members = found == groups.by_group.end() ? &none : &found->second;
    }
    add_row(group_header_text(display), ungrouped ? kListUngroupedHeader : kListGroupHeader, false, false);
    for (const Snippet* s : *members)
        if (matches_snippet(search, *s)) add_row(template_row_text(*s), -s->id, false, true);
}

void MainWindow::refill_entries(const std::wstring& search) {
    const bool by_frequency = app && app->settings && app->settings->sort_by_frequency;
    const bool pinned_first = !app || !app->settings || app->settings->pinned_first;
    HistoryDb* db = app ? app->db : nullptr;
    // Reading the entries again costs as much as the texts they hold (it is
    // searching that must not); an unchanged history gives the same list.
    const LoadedEntries wanted{last_view_key, by_frequency, pinned_first, db ? db->change_stamp() : ChangeStamp{}};
    if (!db || loaded_entries != wanted) {
        entries = db ? db->list_entries(last_view_key, by_frequency, pinned_first) : std::vector<HistoryEntry>{};
        category_names.clear();
        category_pinned.clear();
        if (db) {
            for (const Category& c : db->list_categories()) {
                category_names[c.id] = c.name;
                category_pinned[c.id] = c.pinned;
            }
        }
        loaded_entries = wanted;
    }
    const bool slots = view_mode == kViewSlots;
    const std::wstring& image_text = tr(L"card.image");
    for (const HistoryEntry& e : entries) {
        if (!entry_matches_search(e, search)) continue;
        add_row(entry_row_text(e, slots, image_text), e.id, e.is_image, false);
    }
    if (!trash_view()) return;
    snippets = db ? db->list_trashed_snippets() : std::vector<Snippet>{};
    for (const Snippet& s : snippets)
        if (matches_snippet(search, s)) add_row(trashed_template_row_text(s), -s.id, false, false);
}

void MainWindow::refresh_list() {
    if (!entry_list) return;
    const std::vector<std::int64_t> old_selection = selected_ids();
    const int old_top = static_cast<int>(list_call(LB_GETTOPINDEX, 0, 0));
    const bool top_valid = old_top >= 0 && old_top < row_count();
    const std::int64_t old_top_data = top_valid ? row_data(old_top) : 0;

    refilling = true;
    list_call(WM_SETREDRAW, FALSE, 0);
    image_rows.clear();
    grouped_template_rows.clear();
    list_call(LB_RESETCONTENT, 0, 0);

    const std::wstring search = search_edit ? to_lower(window_text(search_edit)) : std::wstring{};
    bool keep_scroll = false;
    if (templates_view) {
        const std::wstring key = templates_view_key(template_group);
        keep_scroll = last_view_key == key && last_search == search && last_was_templates;
        last_view_key = key;
        last_search = search;
        last_was_templates = true;
        refill_templates(search);
    } else {
        const std::wstring key = view_key(view_mode, view_category);
        snippets.clear();
        keep_scroll = last_view_key == key && last_search == search && !last_was_templates;
        last_view_key = key;
        last_search = search;
        last_was_templates = false;
        refill_entries(search);
    }
    purge_thumbnails();

    restore_selection(keep_scroll && top_valid, old_top, old_top_data, old_selection);
    refilling = false;
    list_call(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(entry_list, nullptr, TRUE);
    // The hint lies over the list: on top of it, or the list would paint it over.
    if (empty_hint)
        SetWindowPos(empty_hint, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (row_count() == 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    refresh_preview();
}

void MainWindow::measure_entry_row(MEASUREITEMSTRUCT& item) const {
    const int row = static_cast<int>(item.itemID);
    if (row < 0 || !entry_list || row >= row_count()) {
        item.itemHeight = kPlainRowHeight;
        return;
    }
    // A row being added is measured from what is known of it, without reading it back.
    item.itemHeight =
        static_cast<UINT>(pending_row_height > 0 ? pending_row_height : row_height(row_text(row), row_is_image(row)));
}

std::wstring MainWindow::format_meta_line(std::int64_t id) const {
    const HistoryEntry* found = find_entry(id);
    if (!found) return {};
    MetaLineParts parts;
    const auto position = found - entries.data();
    if (view_mode == kViewSlots && position < kQuickSlotCount) parts.slot = static_cast<int>(position) + 1;
    const bool show_category = !app || !app->settings || app->settings->show_category;
    if (show_category && view_mode == kViewAll && found->category_id) {
        const auto name = category_names.find(*found->category_id);
        if (name != category_names.end()) parts.category = name->second;
    }
    parts.show_time = show_time;
    parts.created_at = found->created_at;
    return meta_line_text(parts, today_local());
}

HBITMAP MainWindow::thumbnail(std::int64_t id, const Bytes& image, int size) {
    const auto found = thumbnails.find(id);
    if (found != thumbnails.end()) return found->second.get();
    // A picture that cannot be made is remembered as none, so it is tried once.
    return thumbnails.emplace(id, ScopedBitmap(image_to_thumbnail(image, size, size, false))).first->second.get();
}

const ScopedBitmap* MainWindow::made_thumbnail(std::int64_t id) const {
    const auto found = thumbnails.find(id);
    return found == thumbnails.end() ? nullptr : &found->second;
}

// A paint never waits for a picture: decoding one takes longer than a frame
// has. The timer fires once the list has settled (not while it scrolls), and
// only the cards then in view get theirs.
void MainWindow::ask_for_thumbnail(std::int64_t id) {
    asked_thumbnails.insert(id);
    SetTimer(hwnd, kTimerThumbnails, USER_TIMER_MINIMUM, nullptr);
}

void MainWindow::make_asked_thumbnails() {
    KillTimer(hwnd, kTimerThumbnails);
    RECT view{};
    GetClientRect(entry_list, &view);
    for (const std::int64_t id : std::exchange(asked_thumbnails, {})) {
        const HistoryEntry* entry = find_image_entry(id);
        const int row = entry ? index_of(id) : -1;
        RECT card{}, shown{};
        if (row < 0 || list_call(LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&card)) == LB_ERR ||
            !IntersectRect(&shown, &card, &view))
            continue;
        thumbnail(id, entry->image, kThumbnailSize);
        InvalidateRect(entry_list, &card, FALSE);
    }
}

// A picture is kept while its row is in the list; a view or a search that
// leaves the row out lets it go.
void MainWindow::purge_thumbnails() {
    std::set<std::int64_t> listed;
    for (int row = 0, rows = row_count(); row < rows; ++row) listed.insert(row_data(row));
    std::erase_if(thumbnails, [&listed](const auto& item) { return !listed.contains(item.first); });
}

void MainWindow::clear_thumbnails() { thumbnails.clear(); }

const HistoryEntry* MainWindow::find_entry(std::int64_t id) const {
    const auto found = std::find_if(entries.begin(), entries.end(), [id](const HistoryEntry& e) { return e.id == id; });
    return found == entries.end() ? nullptr : &*found;
}

const HistoryEntry* MainWindow::find_image_entry(std::int64_t id) const {
    if (id < 0) return nullptr;
    const HistoryEntry* entry = find_entry(id);
    return entry && entry->is_image ? entry : nullptr;
}

const Snippet* MainWindow::find_snippet(std::int64_t row_id) const {
    if (row_id >= 0) return nullptr;
    const auto found =
        std::find_if(snippets.begin(), snippets.end(), [row_id](const Snippet& s) { return s.id == -row_id; });
    return found == snippets.end() ? nullptr : &*found;
}

int MainWindow::count_templates_in_group(const std::wstring& group) const {
    if (!templates_view) return 0;
    return static_cast<int>(
        std::count_if(snippets.begin(), snippets.end(), [&group](const Snippet& s) { return s.grp == group; }));
}

bool MainWindow::row_is_image(int row) const { return bit_at(image_rows, row); }

bool MainWindow::row_is_grouped_template(int row) const { return bit_at(grouped_template_rows, row); }

std::vector<std::int64_t> MainWindow::selected_ids() const {
    std::vector<std::int64_t> ids;
    const LRESULT count = list_call(LB_GETSELCOUNT, 0, 0);
    if (count == LB_ERR || count <= 0) return ids;
    std::vector<int> rows(static_cast<std::size_t>(count));
    const LRESULT got = list_call(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    if (got == LB_ERR) return ids;
    rows.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, count)));
    for (int row : rows) ids.push_back(row_data(row));
    return ids;
}

std::int64_t MainWindow::selected_id() const {
    const std::vector<std::int64_t> ids = selected_ids();
    return ids.size() == 1 ? ids.front() : 0;
}

int MainWindow::selected_count() const {
    const LRESULT count = list_call(LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::int64_t MainWindow::selected_entry_id() const {
    const std::int64_t id = selected_id();
    return id >= 0 ? id : 0;
}

int MainWindow::index_of(std::int64_t data) const {
    const int count = row_count();
    for (int row = 0; row < count; ++row)
        if (row_data(row) == data) return row;
    return -1;
}

void MainWindow::reselect(const std::vector<std::int64_t>& ids) {
    if (!entry_list) return;
    list_call(LB_SETSEL, FALSE, -1);
    const std::set<std::int64_t> wanted(ids.begin(), ids.end());
    const int count = row_count();
    int first = -1;
    for (int row = 0; row < count && !wanted.empty(); ++row) {
        if (!wanted.contains(row_data(row))) continue;
        list_call(LB_SETSEL, TRUE, row);
        if (first < 0) first = row;
    }
    if (first >= 0) list_call(LB_SETCARETINDEX, static_cast<WPARAM>(first), FALSE);
}

bool MainWindow::select_first_entry() {
    const int count = row_count();
    int row = 0;
    while (row < count && row_kind(row_data(row)) == RowKind::GroupHeader) ++row;
    reselect(row < count ? std::vector<std::int64_t>{row_data(row)} : std::vector<std::int64_t>{});
    refresh_preview();
    return row < count;
}

void MainWindow::select_entry(std::int64_t id) {
    if (id < 1 || !entry_list) return;
    const int row = index_of(id);
    if (row < 0) return;
    list_call(LB_SETSEL, FALSE, -1);
    list_call(LB_SETSEL, TRUE, row);
    list_call(LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    list_call(LB_SETTOPINDEX, static_cast<WPARAM>(std::max(row - 3, 0)), 0);
}

void MainWindow::restore_selection(bool keep_scroll, int old_top, std::int64_t old_top_data,
                                   const std::vector<std::int64_t>& old_selection) {
    if (!entry_list) return;
    reselect(old_selection);
    const int count = row_count();
    const int old_row_now = keep_scroll && old_top > 0 ? index_of(old_top_data) : -1;
    const int top = restored_top_row(keep_scroll, old_top, old_row_now, count);
    list_call(LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

void MainWindow::move_row(int from, int to) {
    const int count = row_count();
    if (from == to || from < 0 || from >= count || to < 0 || to > count) return;
    const std::wstring text = row_text(from);
    const std::int64_t data = row_data(from);
    const bool image = row_is_image(from);
    const bool grouped = row_is_grouped_template(from);
    list_call(LB_DELETESTRING, static_cast<WPARAM>(from), 0);
    auto move_bit = [from, to](std::vector<bool>& bits, bool value) {
        if (static_cast<std::size_t>(from) < bits.size()) bits.erase(bits.begin() + from);
        bits.insert(bits.begin() + std::min<std::size_t>(static_cast<std::size_t>(to), bits.size()), value);
    };
    move_bit(image_rows, image);
    move_bit(grouped_template_rows, grouped);
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [data](const HistoryEntry& e) { return e.id == data; });
    if (data >= 0 && entry != entries.end()) {
        HistoryEntry moved = std::move(*entry);
        entries.erase(entry);
        entries.insert(entries.begin() + std::min<std::size_t>(static_cast<std::size_t>(to), entries.size()),
                       std::move(moved));
    }
    const int target = std::min(to, count - 1);
    pending_row_height = row_height(text, image);
    const LRESULT row = list_call(LB_INSERTSTRING, static_cast<WPARAM>(target), reinterpret_cast<LPARAM>(text.c_str()));
    pending_row_height = 0;
    if (row != LB_ERR && row != LB_ERRSPACE)
        list_call(LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
}
