// The lists through which the rest of the program reads stored data.

#include "storage/history_db.h"

#include "services/text_util.h"
#include "storage/sql_stmt.h"
#include "storage/sql_text.h"
#include "storage/transaction.h"

#include <sqlite3.h>

#include <optional>
#include <string_view>

namespace {

bool is_one(const std::wstring& text) { return text == L"1"; }

// A column read the way HistoryDb::query reads it (SQLite's text for any
// type, empty for NULL), without first making a wide string of every value.
std::string_view column_view(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string_view();
}

std::wstring column_wide(sqlite3_stmt* stmt, int column) { return wide_from_utf8(column_view(stmt, column)); }

// An integer's text is "1" only for 1; asked directly, SQLite need not write it out.
bool column_is_one(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_INTEGER) return sqlite3_column_int64(stmt, column) == 1;
    return column_view(stmt, column) == "1";
}

// As parse_int64 of the column's text; nothing for an empty one.
std::optional<std::int64_t> column_number(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_INTEGER) return sqlite3_column_int64(stmt, column);
    const std::string_view text = column_view(stmt, column);
    if (text.empty()) return std::nullopt;
    return parse_int64(wide_from_utf8(text));
}

// Every column of an entry but the text, which comes with the bulky ones
// (load_rich_data): a list is sorted, and SQLite's sorter carries every column
// of every row, so that a text of megabytes there would cost a copy of it on
// each list.
std::wstring entry_columns(const std::wstring& alias) {
    const std::wstring p = alias.empty() ? std::wstring() : alias + L".";
    return L"SELECT " + p + L"id, " + p + L"created_at, " + p + L"pinned, " + p + L"category_id, " + p +
           L"use_count, " + p + L"source_app, " + p + L"is_image, " + p + L"source_title, " + p + L"source_url, " + p +
           L"is_browser_page, " + pinned_case_expr(alias) + L", " + p + L"link_title, " + p + L"keep";
}

std::wstring slots_statement() {
    return entry_columns(L"h") +
           L" FROM history h INNER JOIN slot_entries s ON h.id=s.entry_id WHERE h.deleted_at IS NULL "
           L"ORDER BY s.slot_order ASC";
}

}  // namespace

// Rows come in the column order of entry_columns, read straight from the
// statement. One read transaction spans the list and the rich data of its
// entries: the list is one snapshot, and the per-entry statement skips taking
// the file's read lock each time, which is most of its cost. Both statements
// are prepared once and run again for every list.
std::vector<HistoryEntry> HistoryDb::entries_of(const std::wstring& sql, std::int64_t id) {
    std::vector<HistoryEntry> out;
    Transaction snapshot(db, Transaction::Mode::Deferred);  // without it each statement reads on its own
    {
        auto rows = statements->use(db, utf8_from_wide(sql));
        auto rich = statements->use(db, "SELECT text, rtf, html, image, custom_title FROM history WHERE id=?1");
        if (!rows) return out;
        sqlite3_stmt* s = rows.get();
        if (sqlite3_bind_parameter_count(s) > 0) sqlite3_bind_int64(s, 1, id);
        while (sqlite3_step(s) == SQLITE_ROW) {
            HistoryEntry& e = out.emplace_back();
            e.id = column_number(s, 0).value_or(0);
            e.created_at = column_wide(s, 1);
            e.pinned = column_is_one(s, 2);
            e.category_id = column_number(s, 3);
            e.use_count = column_number(s, 4).value_or(0);
            e.source_app = column_wide(s, 5);
            e.is_image = column_is_one(s, 6);
            e.source_title = column_wide(s, 7);
            e.source_url = column_wide(s, 8);
            e.is_browser_page = column_is_one(s, 9);
            e.ep = column_is_one(s, 10);
            e.link_title = column_wide(s, 11);
            e.keep = column_is_one(s, 12);
            if (rich) load_rich_data(rich.get(), e);
        }
    }
    snapshot.commit();
    return out;
}

ChangeStamp HistoryDb::change_stamp() {
    std::lock_guard<std::mutex> lock(mutex);
    ChangeStamp stamp;
    if (!db) return stamp;
    stamp.own = sqlite3_total_changes64(db);
    auto version = statements->use(db, "PRAGMA data_version");
    if (version && sqlite3_step(version.get()) == SQLITE_ROW) stamp.others = sqlite3_column_int64(version.get(), 0);
    return stamp;
}

namespace {

bool is_category_view(const std::wstring& view) { return view.compare(0, 4, L"cat:") == 0; }

// What a view's ?1 is bound to: the category's id (an unreadable one lists
// nothing, ids start at 1), or 0 for a view without it.
std::int64_t view_parameter(const std::wstring& view) {
    return is_category_view(view) ? int64_or(view.substr(4), 0) : 0;
}

// The statement of a view's list, in the order the view shows it: of the
// listed columns or (but for the slots) of the ids alone, the first either way.
// The category is bound (view_parameter), never written in: the statements
// stay prepared until the file closes, and one serves every category.
std::wstring view_statement(const std::wstring& view, bool by_frequency, bool pinned_first, bool ids_only = false) {
    const std::wstring ep = pinned_case_expr(L"");
    if (view == L"slots") return slots_statement();

    std::wstring sql = (ids_only ? L"SELECT id" : entry_columns(L"")) + L" FROM history";
    if (is_category_view(view)) {
        sql += L" WHERE deleted_at IS NULL AND category_id = ?1";
    } else if (view == L"all") {
        sql += L" WHERE deleted_at IS NULL AND is_image=0";
    } else if (view == L"images") {
        sql += L" WHERE deleted_at IS NULL AND is_image=1";
    } else if (view == L"none") {
        sql += L" WHERE deleted_at IS NULL AND category_id IS NULL AND is_image=0";
    } else if (view == L"pinned") {
        sql += L" WHERE deleted_at IS NULL AND (" + ep + L")=1";
    } else if (view == L"trash") {
        sql += L" WHERE deleted_at IS NOT NULL";
    }

    if (view == L"trash") {
        sql += L" ORDER BY deleted_at DESC";
    } else {
        sql += L" ORDER BY ";
        if (pinned_first) sql += ep + L" DESC, ";
        if (by_frequency) sql += L"use_count DESC, ";
        sql += kManualOrder;
    }
    return sql;
}

}  // namespace

std::vector<HistoryEntry> HistoryDb::list_entries(const std::wstring& view, bool by_frequency, bool pinned_first) {
    std::lock_guard<std::mutex> lock(mutex);
    return entries_of(view_statement(view, by_frequency, pinned_first), view_parameter(view));
}

// Only the ids are selected: every column but the text lies behind it in the
// row, so that reading any of them walks past all of a long text. The index
// over what the views select and order by (history_db.cpp) gives the ids
// without reading the rows at all.
std::vector<HistoryEntry> HistoryDb::list_entry_heads(const std::wstring& view, bool pinned_first, std::size_t count,
                                                      std::size_t text_units) {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HistoryEntry> out;
    Transaction snapshot(db, Transaction::Mode::Deferred);
    {
        auto rows = statements->use(
            db, utf8_from_wide(view_statement(view, false, pinned_first, true) + L" LIMIT " + std::to_wstring(count)));
        if (!rows) return out;
        if (sqlite3_bind_parameter_count(rows.get()) > 0) sqlite3_bind_int64(rows.get(), 1, view_parameter(view));
        while (sqlite3_step(rows.get()) == SQLITE_ROW) {
            HistoryEntry& e = out.emplace_back();
            e.id = sqlite3_column_int64(rows.get(), 0);
            load_text_head(e, text_units);
        }
    }
    snapshot.commit();
    return out;
}

std::optional<HistoryEntry> HistoryDb::find_entry(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HistoryEntry> found = entries_of(entry_columns(L"") + L" FROM history WHERE id=?1", id);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

std::vector<HistoryEntry> HistoryDb::list_slots() {
    std::lock_guard<std::mutex> lock(mutex);
    return entries_of(slots_statement());
}

std::optional<HistoryEntry> HistoryDb::find_slot(int n) {
    if (n < 1) return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HistoryEntry> found = entries_of(slots_statement() + L" LIMIT 1 OFFSET ?1", n - 1);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

// The text and the bulky columns come through a statement of their own, the
// latter as bytes; the list hands it in, reset it after every entry and bound
// anew for the next.
void HistoryDb::load_rich_data(sqlite3_stmt* stmt, HistoryEntry& entry) {
    sqlite3_bind_int64(stmt, 1, entry.id);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        entry.text = column_wide(stmt, 0);
        read_blob(stmt, 1, entry.rtf);
        read_blob(stmt, 2, entry.html);
        read_blob(stmt, 3, entry.image);
        const auto* title = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 4));
        if (title)
            entry.custom_title =
                wide_from_utf8(std::string_view(title, static_cast<size_t>(sqlite3_column_bytes(stmt, 4))));
    }
    sqlite3_reset(stmt);
}

void HistoryDb::load_text_head(HistoryEntry& entry, std::size_t text_units) {
    // A code unit takes at most three bytes of UTF-8 (a surrogate pair four);
    // three more hold a character cut short at the end, which decodes as
    // U+FFFD beyond the units kept.
    const std::string start = read_value_start(db, "history", "text", entry.id, 3 * text_units + 3);
    entry.text = cut_code_units(wide_from_utf8(start), text_units);
}

std::vector<Category> HistoryDb::list_categories() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Category> out;
    for (auto& row : query(L"SELECT id, name, pinned, cat_order FROM categories ORDER BY cat_order ASC")) {
        Category c;
        if (row.size() > 0) c.id = int64_or(row[0], 0);
        if (row.size() > 1) c.name = std::move(row[1]);
        if (row.size() > 2) c.pinned = is_one(row[2]);
        if (row.size() > 3) c.cat_order = int64_or(row[3], 0);
        out.push_back(std::move(c));
    }
    return out;
}

namespace {

std::vector<Snippet> snippets_of(std::vector<std::vector<std::wstring>> rows) {
    std::vector<Snippet> out;
    for (auto& row : rows) {
        Snippet s;
        const size_t n = row.size();
        if (n > 0) s.id = int64_or(row[0], 0);
        if (n > 1) s.title = std::move(row[1]);
        if (n > 2) s.text = std::move(row[2]);
        if (n > 3) s.grp = std::move(row[3]);
        if (n > 4) s.use_count = int64_or(row[4], 0);
        if (n > 5) s.created_at = std::move(row[5]);
        if (n > 6) s.deleted_at = std::move(row[6]);
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

std::vector<Snippet> HistoryDb::list_snippets() {
    std::lock_guard<std::mutex> lock(mutex);
    return snippets_of(
        query(L"SELECT id, title, text, grp, use_count, created_at, deleted_at FROM snippets WHERE deleted_at IS NULL "
              L"ORDER BY title ASC"));
}

std::vector<Snippet> HistoryDb::list_trashed_snippets() {
    std::lock_guard<std::mutex> lock(mutex);
    return snippets_of(
        query(L"SELECT id, title, text, grp, use_count, created_at, deleted_at FROM snippets WHERE deleted_at IS NOT "
              L"NULL ORDER BY deleted_at DESC"));
}
