// User categories: add, rename, pin, reorder, delete.

#include "storage/history_db.h"

#include "services/text_util.h"
#include "storage/sql_text.h"
#include "storage/transaction.h"

#include <sqlite3.h>

std::int64_t HistoryDb::add_category(const std::wstring& name) {
    const std::wstring trimmed = trim_blanks(name);
    if (trimmed.empty()) return -1;
    std::lock_guard<std::mutex> lock(mutex);
    return find_or_add_category(trimmed);
}

std::int64_t HistoryDb::find_or_add_category(const std::wstring& trimmed) {
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

// Each moved entry keeps whether it counts as pinned: one pinned only through
// the emptied category is pinned itself when the target is not (or the cap
// and the age purge could take it), and one that was not pinned is kept out
// of a pinned target's pin. Quick slots name entries and are not touched.
bool HistoryDb::merge_category(std::int64_t from, std::int64_t into) {
    if (from == into) return false;
    std::lock_guard<std::mutex> lock(mutex);
    Transaction transaction(db);
    if (!transaction) return false;
    const std::wstring sfrom = std::to_wstring(from), sinto = std::to_wstring(into);
    if (query(L"SELECT 1 FROM categories WHERE id=" + sfrom).empty()) return false;
    const auto target = query(L"SELECT pinned FROM categories WHERE id=" + sinto);
    if (target.empty() || target[0].empty()) return false;
    // The right-hand sides read each row as it was, still in the old category.
    const std::wstring pinned_now = L"(" + pinned_case_expr(L"") + L")";
    const std::wstring keep_pins = target[0][0] == L"1"
                                       ? L"cat_pin_override=CASE WHEN " + pinned_now + L"=1 THEN 0 ELSE 1 END"
                                       : L"pinned=" + pinned_now + L", cat_pin_override=0";
    if (exec(L"UPDATE history SET " + keep_pins + L", category_id=" + sinto + L" WHERE category_id=" + sfrom) !=
        SQLITE_OK)
        return false;
    if (exec(L"DELETE FROM categories WHERE id=" + sfrom) != SQLITE_OK) return false;
    return transaction.commit();
}
