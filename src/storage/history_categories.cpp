// User categories: add, rename, pin, reorder, delete.

#include "storage/history_db.h"

#include "services/text_util.h"
#include "storage/sql_text.h"

#include <sqlite3.h>

std::int64_t HistoryDb::add_category(const std::wstring& name) {
    const std::wstring trimmed = trim_blanks(name);
    if (trimmed.empty()) return -1;
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = query(L"SELECT id FROM categories WHERE name=" + sql_quote(trimmed));
    if (!found.empty() && !found[0].empty()) return int64_or(found[0][0], -1);
    const std::int64_t position = query_number(L"SELECT COALESCE(MAX(cat_order),0) FROM categories", 0) + 1;
    // The connection's last row id belongs to whatever insert last succeeded;
    // it names the new category only when this insert did.
    if (exec(L"INSERT INTO categories (name, cat_order) VALUES (" + sql_quote(trimmed) + L", " +
             std::to_wstring(position) + L")") != SQLITE_OK)
        return -1;
    return last_insert_rowid();
}

// A name another category has is refused by the table's uniqueness; the
// category keeps its old name.
bool HistoryDb::rename_category(std::int64_t id, const std::wstring& name) {
    const std::wstring trimmed = trim_blanks(name);
    if (trimmed.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE categories SET name=" + sql_quote(trimmed) + L" WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::toggle_category_pin(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    const auto rows = query(L"SELECT pinned FROM categories WHERE id=" + std::to_wstring(id));
    if (rows.empty()) return false;
    const bool pinned = !rows[0].empty() && rows[0][0] == L"1";
    exec(L"UPDATE categories SET pinned=" + std::wstring(pinned ? L"0" : L"1") + L" WHERE id=" + std::to_wstring(id));
    return true;
}

// Swaps places with the nearest category above (direction -1) or below.
bool HistoryDb::move_category(std::int64_t id, std::int32_t direction) {
    std::lock_guard<std::mutex> lock(mutex);
    const auto own = query(L"SELECT cat_order FROM categories WHERE id=" + std::to_wstring(id));
    if (own.empty() || own[0].empty()) return false;
    const std::wstring c = own[0][0];
    const auto next =
        query(direction == -1
                  ? L"SELECT id, cat_order FROM categories WHERE cat_order<" + c + L" ORDER BY cat_order DESC LIMIT 1"
                  : L"SELECT id, cat_order FROM categories WHERE cat_order>" + c + L" ORDER BY cat_order ASC LIMIT 1");
    if (next.empty() || next[0].size() < 2) return false;
    exec(L"UPDATE categories SET cat_order=" + next[0][1] + L" WHERE id=" + std::to_wstring(id));
    exec(L"UPDATE categories SET cat_order=" + c + L" WHERE id=" + next[0][0]);
    return true;
}

// Its entries stay, live and trashed, without a category; an entry pinned
// only through the category is no longer pinned.
bool HistoryDb::delete_category(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE history SET category_id=NULL WHERE category_id=" + std::to_wstring(id));
    exec(L"DELETE FROM categories WHERE id=" + std::to_wstring(id));
    return true;
}
