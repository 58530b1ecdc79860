// Removing history rows for good, with what hangs on them: quick-slot rows
// and saved PNG files.

#include "storage/history_db.h"

#include "storage/image_files.h"

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
    delete_image_files(paths);
    return true;
}
