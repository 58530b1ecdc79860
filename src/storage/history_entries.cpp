// Adding entries (with de-duplication and the 200-entry cap) and the edits of
// single entries: pin, trash, keep, texts, image path, category, use count.

#include "storage/history_db.h"

#include "services/clock.h"
#include "services/text_util.h"
#include "storage/sql_stmt.h"
#include "storage/sql_text.h"
#include "storage/transaction.h"
#include "storage/use_counts.h"

#include <sqlite3.h>

#include <cstring>
#include <string_view>

namespace {

// Unprotected entries beyond this many (in the lists' order, top first) are
// deleted after every new capture.
constexpr int kHistoryCap = 200;

bool is_blank(wchar_t c) { return c == L'\t' || c == L'\n' || c == L'\r' || c == L' '; }

// The text as stored: line breaks folded into blanks, blanks trimmed at both
// ends, in UTF-8; units is its length in UTF-16 code units. Built in one pass
// with no wide copy, since a copied text may be tens of megabytes. (Trimming
// before folding gives the same: line breaks are among the blanks trimmed.)
std::string one_line_utf8(const std::wstring& text, size_t& units) {
    size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin])) ++begin;
    while (end > begin && is_blank(text[end - 1])) --end;
    units = end - begin;
    std::string line = utf8_from_wide(std::wstring_view(text).substr(begin, units));
    // Carriage return and line feed are single bytes in UTF-8, never part of
    // a longer sequence.
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    return line;
}

std::wstring flag(bool on) { return on ? L"1" : L"0"; }

// The statements of every capture, prepared once per connection. The byte
// length is compared first: it is known without reading a text, so a long
// entry is read only when a copy of the same length comes.
constexpr std::string_view kFindText =
    "SELECT id FROM history WHERE octet_length(text)=?2 AND text=?1 AND is_image=0 AND deleted_at IS NULL LIMIT 1";
constexpr std::string_view kNextOrder = "SELECT COALESCE(MAX(sort_order),0) FROM history";
constexpr std::string_view kMoveToTop =
    "UPDATE history SET created_at=?1, sort_order=?2, category_id=?3, cat_pin_override=0 WHERE id=?4";
constexpr std::string_view kRefreshCapture =
    "UPDATE history SET rtf=?1, html=?2, image=?3, source_app=?4, is_image=?5, source_title=?6, source_url=?7, "
    "is_browser_page=?8 WHERE id=?9";
// The picture goes in with its row: an image entry is never kept without it,
// whatever stops its write (a full disk, a picture too large).
constexpr std::string_view kInsert =
    "INSERT INTO history (text, created_at, sort_order, category_id, rtf, html, source_app, is_image, source_title, "
    "source_url, is_browser_page, image_path, image) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)";
constexpr std::string_view kOrphanSlots = "DELETE FROM slot_entries WHERE entry_id NOT IN (SELECT id FROM history)";

// The rows beyond the cap, deleted, with the saved files they leave behind.
const std::string& cap_statement() {
    static const std::string sql = "DELETE FROM history WHERE id IN (SELECT id FROM history WHERE " +
                                   utf8_from_wide(kUnprotectedCondition) + " ORDER BY " + utf8_from_wide(kManualOrder) +
                                   " LIMIT -1 OFFSET " + std::to_string(kHistoryCap) + ") RETURNING image_path";
    return sql;
}

void bind_category(sqlite3_stmt* stmt, int index, std::optional<std::int64_t> category) {
    if (category) sqlite3_bind_int64(stmt, index, *category);
    else sqlite3_bind_null(stmt, index);
}

}  // namespace

std::int64_t HistoryDb::add_entry(const std::wstring& text, const std::string& rtf, const std::string& html,
                                  const Bytes& image, const std::wstring& source_app, bool is_image, bool always_new,
                                  std::optional<std::int64_t> category, const std::wstring& source_title,
                                  const std::wstring& source_url, bool is_browser_page,
                                  const std::wstring& image_path) {
    size_t units = 0;
    const std::string line = one_line_utf8(text, units);
    if (units < 2 && image.empty()) return 0;
    const std::string now = utf8_from_wide(now_iso());
    std::lock_guard<std::mutex> lock(mutex);
    add_busy = false;

    // The whole capture is one transaction: one commit instead of three, and
    // the cap goes with the row it makes room for. Taken at once, so that
    // another program's lock is waited out here rather than failing a write
    // halfway; without it (no connection) every statement below fails alone.
    Transaction transaction(db);
    if (!transaction && db) {
        const int rc = sqlite3_errcode(db);
        note_result(rc);
        if ((rc & 0xFF) == SQLITE_BUSY) {
            add_busy = true;
            return 0;
        }
    }

    std::int64_t order = 1;
    if (auto next = statements->use(db, kNextOrder); next && sqlite3_step(next.get()) == SQLITE_ROW)
        order = sqlite3_column_int64(next.get(), 0) + 1;

    if (!always_new && !is_image && units >= 2) {
        // Only a text entry is refreshed by a text copy: an image entry with
        // the same text (spreadsheet cells copied as text and picture) would
        // lose its picture to the capture's empty image. The text is bound,
        // never spliced into the statement, so a long copy is not copied into
        // SQL text.
        std::int64_t id = 0;
        if (auto find = statements->use(db, kFindText)) {
            sqlite3_bind_text(find.get(), 1, line.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int64(find.get(), 2, static_cast<std::int64_t>(std::strlen(line.c_str())));
            if (sqlite3_step(find.get()) == SQLITE_ROW) id = sqlite3_column_int64(find.get(), 0);
        }
        if (id != 0) {
            // A repeated copy moves the live entry to the top and takes the
            // new capture's details; pin, keep and the user's titles stay.
            if (auto top = statements->use(db, kMoveToTop)) {
                sqlite3_bind_text(top.get(), 1, now.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_int64(top.get(), 2, order);
                bind_category(top.get(), 3, category);
                sqlite3_bind_int64(top.get(), 4, id);
                note_result(sqlite3_step(top.get()));
            }
            if (auto refresh = statements->use(db, kRefreshCapture)) {
                bind_bytes(refresh.get(), 1, rtf);
                bind_bytes(refresh.get(), 2, html);
                bind_bytes(refresh.get(), 3, image);
                bind_wide(refresh.get(), 4, source_app);
                sqlite3_bind_int(refresh.get(), 5, 0);
                bind_wide(refresh.get(), 6, source_title);
                bind_wide(refresh.get(), 7, source_url);
                sqlite3_bind_int(refresh.get(), 8, is_browser_page ? 1 : 0);
                sqlite3_bind_int64(refresh.get(), 9, id);
                note_result(sqlite3_step(refresh.get()));
            }
            transaction.commit();
            return id;
        }
    }

    std::int64_t id = 0;
    {
        auto insert = statements->use(db, kInsert);
        if (!insert) return 0;
        sqlite3_bind_text(insert.get(), 1, line.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert.get(), 2, now.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int64(insert.get(), 3, order);
        bind_category(insert.get(), 4, category);
        bind_bytes(insert.get(), 5, rtf);
        bind_bytes(insert.get(), 6, html);
        bind_wide(insert.get(), 7, source_app);
        sqlite3_bind_int(insert.get(), 8, is_image ? 1 : 0);
        bind_wide(insert.get(), 9, source_title);
        bind_wide(insert.get(), 10, source_url);
        sqlite3_bind_int(insert.get(), 11, is_browser_page ? 1 : 0);
        bind_wide(insert.get(), 12, image_path);
        // A picture SQLite cannot take would leave the row without it.
        const int bound = bind_bytes(insert.get(), 13, image);
        const int rc = bound == SQLITE_OK ? sqlite3_step(insert.get()) : bound;
        if (rc == SQLITE_DONE) id = sqlite3_last_insert_rowid(db);
        note_result(rc);
        add_busy = (rc & 0xFF) == SQLITE_BUSY;
    }
    if (id == 0) return 0;
    const std::vector<std::wstring> files = apply_cap();
    // Without a transaction each statement has committed on its own.
    if (transaction && !transaction.commit()) {
        note_result(sqlite3_errcode(db));
        return 0;
    }
    // The files go only once their rows are gone for good.
    delete_unrecorded_files(files);
    return id;
}

// What goes is what the lists show last: an entry that a repeated copy or a
// move brought up stays, and an imported backup (stored below every capture,
// though with the highest ids) goes before the user's newer copies.
// Effectively pinned entries never count; kept ones do: keep spares an entry
// from the age purge and from clearing, while pinning is what holds it beyond
// the cap. A DELETE that fails (a trigger, a full disk) leaves every row and
// file in place.
std::vector<std::wstring> HistoryDb::apply_cap() {
    std::vector<std::wstring> files;
    int deleted = 0;
    auto cap = statements->use(db, cap_statement());
    if (!cap) return files;
    int rc;
    while ((rc = sqlite3_step(cap.get())) == SQLITE_ROW) {
        ++deleted;
        const auto* file = reinterpret_cast<const char*>(sqlite3_column_text(cap.get(), 0));
        if (file && *file) files.push_back(wide_from_utf8(file));
    }
    note_result(rc);
    if (rc != SQLITE_DONE) return {};
    // No quick-slot row may outlive its entry.
    if (deleted > 0)
        if (auto slots = statements->use(db, kOrphanSlots)) note_result(sqlite3_step(slots.get()));
    return files;
}

std::optional<bool> HistoryDb::set_pinned_unlocked(std::int64_t id, bool pin) {
    const std::wstring sid = std::to_wstring(id);
    std::wstring update = L"UPDATE history SET pinned=1, cat_pin_override=0 WHERE id=" + sid;
    if (!pin) {
        const auto rows = query(L"SELECT category_id FROM history WHERE id=" + sid);
        if (rows.empty()) return false;
        // Unpinning an entry of a pinned category must override the category's pin.
        bool override_pin = false;
        if (!rows[0].empty() && !rows[0][0].empty()) {
            const auto cat = query(L"SELECT pinned FROM categories WHERE id=" + rows[0][0]);
            override_pin = !cat.empty() && !cat[0].empty() && cat[0][0] == L"1";
        }
        update = L"UPDATE history SET pinned=0, cat_pin_override=" + flag(override_pin) + L" WHERE id=" + sid;
    }
    if (exec(update) != SQLITE_OK) return std::nullopt;
    return true;
}

// All or nothing: a selection pinned in part would tell the user the command
// took when some of it did not.
int HistoryDb::set_pinned_many(const std::vector<std::int64_t>& ids, bool pin) {
    if (ids.empty()) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    Transaction transaction(db);
    if (!transaction) return 0;
    int count = 0;
    for (std::int64_t id : ids) {
        const std::optional<bool> updated = set_pinned_unlocked(id, pin);
        if (!updated) return 0;
        if (*updated) ++count;
    }
    return transaction.commit() ? count : 0;
}

// A trashed entry leaves its quick slot for good.
bool HistoryDb::trash_entry(std::int64_t id) {
    const std::wstring now = now_iso();
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET deleted_at=" + sql_quote(now) + L" WHERE id=" + std::to_wstring(id));
    exec(L"DELETE FROM slot_entries WHERE entry_id=" + std::to_wstring(id));
    return true;
}

int HistoryDb::trash_entries(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) return 0;
    const std::wstring now = now_iso();
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring list = join_ids(ids);
    exec(L"UPDATE history SET deleted_at=" + sql_quote(now) + L" WHERE id IN (" + list + L")");
    exec(L"DELETE FROM slot_entries WHERE entry_id IN (" + list + L")");
    return static_cast<int>(ids.size());
}

bool HistoryDb::restore_entry(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET deleted_at=NULL WHERE id=" + std::to_wstring(id));
    return true;
}

int HistoryDb::restore_entries(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET deleted_at=NULL WHERE id IN (" + join_ids(ids) + L")");
    return static_cast<int>(ids.size());
}

bool HistoryDb::get_keep(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    const auto rows = query(L"SELECT keep FROM history WHERE id=" + std::to_wstring(id));
    return !rows.empty() && !rows[0].empty() && rows[0][0] == L"1";
}

bool HistoryDb::set_keep(std::int64_t id, bool keep) {
    std::lock_guard<std::mutex> lock(mutex);
    if (query(L"SELECT 1 FROM history WHERE id=" + std::to_wstring(id)).empty()) return false;
    exec(L"UPDATE history SET keep=" + flag(keep) + L" WHERE id=" + std::to_wstring(id));
    return true;
}

// An edited text is stored as the user wrote it, line breaks included. The
// captured rich text and HTML go with the old text: programs that take those
// first would otherwise paste what the user edited away. So does the title of
// the page the old text named.
bool HistoryDb::set_entry_text(std::int64_t id, const std::wstring& text) {
    if (text.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring quoted = sql_quote(text);
    exec(L"UPDATE history SET link_title=CASE WHEN text=" + quoted + L" THEN link_title ELSE '' END, text=" + quoted +
         L", rtf=NULL, html=NULL WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::set_custom_title(std::int64_t id, const std::wstring& title) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET custom_title=" + sql_quote(title) + L" WHERE id=" + std::to_wstring(id));
    return true;
}

// changes() keeps the count of an earlier statement when this one fails, so a
// failed update must not be read through it.
bool HistoryDb::set_image_path(std::int64_t id, const std::wstring& path_text) {
    std::lock_guard<std::mutex> lock(mutex);
    if (exec(L"UPDATE history SET image_path=" + sql_quote(path_text) + L" WHERE id=" + std::to_wstring(id)) !=
        SQLITE_OK)
        return false;
    const auto rows = query(L"SELECT changes()");
    return !rows.empty() && !rows[0].empty() && rows[0][0] != L"0";
}

bool HistoryDb::set_link_title(std::int64_t id, const std::wstring& fetched_for, const std::wstring& title) {
    if (title.empty()) return false;
    size_t units = 0;
    const std::wstring stored = wide_from_utf8(one_line_utf8(fetched_for, units));
    std::lock_guard<std::mutex> lock(mutex);
    if (exec(L"UPDATE history SET link_title=" + sql_quote(title) + L" WHERE id=" + std::to_wstring(id) +
             L" AND text=" + sql_quote(stored)) != SQLITE_OK)
        return false;
    const auto rows = query(L"SELECT changes()");
    return !rows.empty() && !rows[0].empty() && rows[0][0] != L"0";
}

// A new category always clears the override: an entry moved into a pinned
// category becomes pinned through it.
bool HistoryDb::set_entry_category(std::int64_t id, std::optional<std::int64_t> category) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET category_id=" + sql_category(category) + L", cat_pin_override=0 WHERE id=" +
         std::to_wstring(id));
    return true;
}

int HistoryDb::set_entries_category(const std::vector<std::int64_t>& ids, std::optional<std::int64_t> category) {
    if (ids.empty()) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET category_id=" + sql_category(category) + L", cat_pin_override=0 WHERE id IN (" +
         join_ids(ids) + L")");
    return static_cast<int>(ids.size());
}

bool HistoryDb::increment_use_count(std::int64_t id) {
    if (use_counts->count(id)) return true;
    // No thread: written here, as a paste's last resort.
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET use_count=use_count+1 WHERE id=" + std::to_wstring(id));
    return true;
}
