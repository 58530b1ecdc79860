// Removing entries for good: chosen entries, the trash, the two age limits
// and clearing the history. Counts are taken before the deletion; a deletion
// that fails reports 0 and leaves rows and files alone.

#include "storage/history_db.h"

#include "services/clock.h"
#include "services/encoding.h"
#include "storage/sql_text.h"

#include <sqlite3.h>

#include <chrono>
#include <ctime>

namespace {

const wchar_t kOrphanSlots[] = L"DELETE FROM slot_entries WHERE entry_id NOT IN (SELECT id FROM history)";

// The local time text of now minus the given hours, quoted for SQL; empty
// when the system cannot convert it (before 1970 on Windows), in which case
// nothing is old enough to go. Whole seconds throughout, so no setting is
// large enough to overflow the arithmetic.
std::wstring cutoff_literal(std::int64_t hours) {
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::int64_t then = now - hours * 3600;
    std::tm tm{};
    if (!local_time(static_cast<std::time_t>(then), tm)) return {};
    char buf[32];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    if (n == 0) return {};
    return sql_quote(wide_from_utf8(std::string(buf, n)));
}

int as_count(std::int64_t n) { return n < 0 ? 0 : static_cast<int>(n); }

}  // namespace

bool HistoryDb::delete_entry(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!delete_history_where(L"id=" + std::to_wstring(id))) return false;
    exec(L"DELETE FROM slot_entries WHERE entry_id=" + std::to_wstring(id));
    return true;
}

int HistoryDb::delete_entries(const std::vector<std::int64_t>& ids) {
    if (ids.empty()) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring list = join_ids(ids);
    if (!delete_history_where(L"id IN (" + list + L")")) return 0;
    exec(L"DELETE FROM slot_entries WHERE entry_id IN (" + list + L")");
    return static_cast<int>(ids.size());
}

// Trashed entries and trashed templates go together or not at all, so the
// count returned is what was removed.
int HistoryDb::empty_trash() {
    std::lock_guard<std::mutex> lock(mutex);
    const std::int64_t count = query_number(
        L"SELECT (SELECT COUNT(*) FROM history WHERE deleted_at IS NOT NULL) + "
        L"(SELECT COUNT(*) FROM snippets WHERE deleted_at IS NOT NULL)",
        0);
    const auto paths = collect_image_paths(L"deleted_at IS NOT NULL");
    if (!run_transaction({L"DELETE FROM history WHERE deleted_at IS NOT NULL",
                          L"DELETE FROM snippets WHERE deleted_at IS NOT NULL", kOrphanSlots}))
        return 0;
    delete_unrecorded_files(paths);
    return as_count(count);
}

int HistoryDb::purge_trash(std::int32_t hours) {
    if (hours < 1) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring cutoff = cutoff_literal(hours);
    if (cutoff.empty()) return 0;
    const std::wstring condition = L"deleted_at IS NOT NULL AND deleted_at < " + cutoff;
    const std::int64_t count = query_number(L"SELECT COUNT(*) FROM history WHERE " + condition, 0);
    if (!delete_history_where(condition)) return 0;
    return as_count(count);
}

// Age counts from created_at, which a repeated copy renews. Pinned (also
// through a category) and kept entries never expire; the trash is left to
// purge_trash.
int HistoryDb::purge_expired(std::int32_t days) {
    if (days < 1) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring cutoff = cutoff_literal(static_cast<std::int64_t>(days) * 24);
    if (cutoff.empty()) return 0;
    const std::wstring condition = L"pinned=0 AND keep=0 AND deleted_at IS NULL AND created_at < " + cutoff +
                                   L" AND (category_id IS NULL OR category_id NOT IN (SELECT id FROM categories "
                                   L"WHERE pinned=1) OR cat_pin_override=1)";
    const std::int64_t count = query_number(L"SELECT COUNT(*) FROM history WHERE " + condition, 0);
    if (!delete_history_where(condition)) return 0;
    return as_count(count);
}

// Kept entries and the trash always survive; so do effectively pinned ones
// when only_unprotected is set (as the program asks).
int HistoryDb::clear_history(bool only_unprotected) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring condition =
        only_unprotected ? L"pinned=0 AND deleted_at IS NULL AND keep=0 AND (category_id IS NULL OR category_id "
                           L"NOT IN (SELECT id FROM categories WHERE pinned=1) OR cat_pin_override=1)"
                         : L"deleted_at IS NULL AND keep=0";
    const std::int64_t count = query_number(L"SELECT COUNT(*) FROM history WHERE " + condition, 0);
    if (!delete_history_where(condition)) return 0;
    exec(kOrphanSlots);
    return as_count(count);
}
