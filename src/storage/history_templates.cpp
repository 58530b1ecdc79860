// Templates (stored as snippets) and the names of template groups. A group
// exists through a row of its own or through any live template naming it.

#include "storage/history_db.h"

#include "services/clock.h"
#include "services/text_util.h"
#include "storage/sql_text.h"

#include <sqlite3.h>

std::int64_t HistoryDb::add_snippet(const std::wstring& title, const std::wstring& text, const std::wstring& group) {
    const std::wstring t = trim_blanks(title), g = trim_blanks(group);
    if (t.empty() || text.empty()) return -1;
    const std::wstring now = now_iso();
    std::lock_guard<std::mutex> lock(mutex);
    // Titles are unique among all templates, trashed ones included.
    if (!query(L"SELECT id FROM snippets WHERE title=" + sql_quote(t) + L" LIMIT 1").empty()) return 0;
    if (exec(L"INSERT INTO snippets (title, text, grp, created_at) VALUES (" + sql_quote(t) + L", " + sql_quote(text) +
             L", " + sql_quote(g) + L", " + sql_quote(now) + L")") != SQLITE_OK)
        return -1;
    return last_insert_rowid();
}

// Editing does not enforce unique titles.
bool HistoryDb::update_snippet(std::int64_t id, const std::wstring& title, const std::wstring& text,
                               const std::wstring& group) {
    const std::wstring t = trim_blanks(title), g = trim_blanks(group);
    if (t.empty() || text.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET title=" + sql_quote(t) + L", text=" + sql_quote(text) + L", grp=" + sql_quote(g) +
         L" WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::set_snippet_group(std::int64_t id, const std::wstring& group) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET grp=" + sql_quote(group) + L" WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::trash_snippet(std::int64_t id) {
    const std::wstring now = now_iso();
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET deleted_at=" + sql_quote(now) + L" WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::restore_snippet(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET deleted_at=NULL WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::delete_snippet(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"DELETE FROM snippets WHERE id=" + std::to_wstring(id));
    return true;
}

bool HistoryDb::increment_snippet_use(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET use_count=use_count+1 WHERE id=" + std::to_wstring(id));
    return true;
}

std::vector<std::wstring> HistoryDb::list_snippet_groups() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::wstring> names;
    for (auto& row : query(L"SELECT name FROM snippet_groups UNION SELECT grp FROM snippets WHERE grp <> '' AND "
                           L"deleted_at IS NULL ORDER BY name ASC"))
        if (!row.empty()) names.push_back(std::move(row[0]));
    return names;
}

bool HistoryDb::create_snippet_group(const std::wstring& name) {
    const std::wstring n = trim_blanks(name);
    if (n.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    if (!query(L"SELECT 1 FROM snippet_groups WHERE name=" + sql_quote(n) + L" LIMIT 1").empty()) return false;
    if (!query(L"SELECT 1 FROM snippets WHERE grp=" + sql_quote(n) + L" AND deleted_at IS NULL LIMIT 1").empty())
        return false;
    exec(L"INSERT INTO snippet_groups (name) VALUES (" + sql_quote(n) + L")");
    return true;
}

bool HistoryDb::rename_snippet_group(const std::wstring& old_name, const std::wstring& new_name) {
    const std::wstring from = trim_blanks(old_name), to = trim_blanks(new_name);
    // Ungrouped templates have no group to rename: an empty name would take every one of them.
    if (from.empty() || to.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring qfrom = sql_quote(from), qto = sql_quote(to);
    if (query(L"SELECT 1 FROM snippets WHERE grp=" + qfrom +
              L" AND deleted_at IS NULL UNION SELECT 1 FROM "
              L"snippet_groups WHERE name=" +
              qfrom + L" LIMIT 1")
            .empty())
        return false;
    if (!query(L"SELECT 1 FROM snippet_groups WHERE name=" + qto + L" LIMIT 1").empty()) return false;
    if (!query(L"SELECT 1 FROM snippets WHERE grp=" + qto + L" AND grp<>" + qfrom + L" AND deleted_at IS NULL LIMIT 1")
             .empty())
        return false;
    // Trashed templates keep the old name.
    exec(L"UPDATE snippets SET grp=" + qto + L" WHERE grp=" + qfrom + L" AND deleted_at IS NULL");
    if (!query(L"SELECT name FROM snippet_groups WHERE name=" + qfrom + L" LIMIT 1").empty())
        exec(L"UPDATE snippet_groups SET name=" + qto + L" WHERE name=" + qfrom);
    else exec(L"INSERT INTO snippet_groups (name) VALUES (" + qto + L")");
    return true;
}

// Its live templates become ungrouped; trashed ones keep the name, so
// restoring one brings the group back.
bool HistoryDb::delete_snippet_group(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"UPDATE snippets SET grp='' WHERE grp=" + sql_quote(name) + L" AND deleted_at IS NULL");
    exec(L"DELETE FROM snippet_groups WHERE name=" + sql_quote(name));
    return true;
}
