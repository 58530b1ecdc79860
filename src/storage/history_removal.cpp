// Removing history rows for good, with what hangs on them: quick-slot rows
// and saved PNG files.

#include "storage/history_db.h"

#include "storage/image_files.h"
#include "storage/sql_stmt.h"

#include <sqlite3.h>

std::vector<std::wstring> HistoryDb::collect_image_paths(const std::wstring& condition) {
    std::vector<std::wstring> paths;
    for (auto& row : query(L"SELECT image_path FROM history WHERE " + condition +
                           L" AND image_path IS NOT NULL AND image_path <> ''")) {
        if (!row.empty() && !row[0].empty()) paths.push_back(std::move(row[0]));
    }
    return paths;
}

// The files go only once their rows are gone: a failed DELETE must leave the
// entries whole, images included. No quick-slot row may outlive its entry, or
// it would keep a slot number that no entry answers to.
bool HistoryDb::delete_history_where(const std::wstring& condition) {
    const auto paths = collect_image_paths(condition);
    if (exec(L"DELETE FROM history WHERE " + condition) != SQLITE_OK) return false;
    if (sqlite3_changes(db) > 0) exec(L"DELETE FROM slot_entries WHERE entry_id NOT IN (SELECT id FROM history)");
    delete_unrecorded_files(paths);
    return true;
}

// Two rows may record one file: a screenshot saved again under a name that an
// older entry records, or an autosaved name used again after its file was
// deleted by hand. The file belongs to whichever row is still there.
void HistoryDb::delete_unrecorded_files(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return;
    ScopedStmt stmt = prepare_stmt(db, "SELECT image_path FROM history WHERE image_path <> ''");
    if (!stmt) return;
    std::vector<std::wstring> recorded;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        if (text) recorded.push_back(wide_from_utf8(text));
    }
    if (rc != SQLITE_DONE) return;
    delete_image_files(paths, recorded);
}
