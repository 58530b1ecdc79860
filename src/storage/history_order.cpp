// Quick slots and the manual order of entries and slots.

#include "storage/history_db.h"

#include "storage/sql_text.h"

#include <sqlite3.h>

#include <algorithm>

int HistoryDb::add_to_slots(const std::vector<std::int64_t>& ids, std::int32_t maximum) {
    if (ids.empty() || maximum < 1) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    const std::int64_t before = query_number(L"SELECT COUNT(*) FROM slot_entries", 0);
    for (std::int64_t id : ids) {
        if (!query(L"SELECT 1 FROM slot_entries WHERE entry_id=" + std::to_wstring(id)).empty()) continue;
        // After the last slot, not at count + 1: after a removal left a gap,
        // count + 1 would share a position with an existing slot.
        const std::int64_t position = query_number(L"SELECT COALESCE(MAX(slot_order),0) FROM slot_entries", 0) + 1;
        exec(L"INSERT INTO slot_entries (entry_id, slot_order) VALUES (" + std::to_wstring(id) + L"," +
             std::to_wstring(position) + L")");
    }
    // Slots added beyond the maximum go again at once; the existing ones never move.
    exec(
        L"DELETE FROM slot_entries WHERE entry_id NOT IN (SELECT entry_id FROM slot_entries ORDER BY slot_order "
        L"ASC LIMIT " +
        std::to_wstring(maximum) + L")");
    const std::int64_t after = query_number(L"SELECT COUNT(*) FROM slot_entries", 0);
    return static_cast<int>(std::max<std::int64_t>(after - before, 0));
}

bool HistoryDb::remove_from_slots(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex);
    exec(L"DELETE FROM slot_entries WHERE entry_id=" + std::to_wstring(id));
    return true;
}

namespace {

// Which rows a move in the scope sees: exactly those its view lists (a
// category's view shows its pictures too), so that what a move shows is what
// it stores. The others keep their places.
std::wstring visibility_expr(const ViewScope& scope) {
    switch (scope.kind) {
    case kScopeImages: return L"CASE WHEN deleted_at IS NULL AND is_image=1 THEN 1 ELSE 0 END";
    case kScopeUncategorised:
        return L"CASE WHEN deleted_at IS NULL AND is_image=0 AND category_id IS NULL THEN 1 ELSE 0 END";
    case kScopeCategory:
        return L"CASE WHEN deleted_at IS NULL AND category_id=" +
               std::to_wstring(std::max<std::int64_t>(scope.category_id, 0)) + L" THEN 1 ELSE 0 END";
    default: return L"CASE WHEN deleted_at IS NULL AND is_image=0 THEN 1 ELSE 0 END";
    }
}

}  // namespace

bool HistoryDb::move_entries(const std::vector<std::int64_t>& selected, int direction, bool pinned_first,
                             ViewScope scope) {
    if (selected.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    const std::wstring ep = pinned_case_expr(L"");
    const auto rows = query(L"SELECT id, (" + ep + L") AS ep, " + visibility_expr(scope) +
                            L" AS vis FROM history ORDER BY " + (pinned_first ? ep + L" DESC, " : L"") + kManualOrder);
    // The full order of every row, and where the visible ones sit in it.
    std::vector<std::int64_t> order;
    std::vector<size_t> visible_at;
    std::vector<std::int64_t> visible;
    std::vector<std::uint32_t> keys;
    for (const auto& row : rows) {
        if (row.size() < 3) continue;
        order.push_back(int64_or(row[0], 0));
        if (row[2] != L"1") continue;
        visible_at.push_back(order.size() - 1);
        visible.push_back(order.back());
        keys.push_back(pinned_first && row[1] == L"1" ? 1u : 0u);
    }
    const auto moved = move_selected_block(visible, keys, selected, direction);
    if (moved == visible) return false;
    for (size_t i = 0; i < moved.size(); ++i) order[visible_at[i]] = moved[i];

    // Renumber the whole table so the stored order is exactly the new one.
    std::vector<std::wstring> updates;
    updates.reserve(order.size());
    const size_t n = order.size();
    for (size_t i = 0; i < n; ++i)
        updates.push_back(L"UPDATE history SET sort_order=" + std::to_wstring(n - i) + L" WHERE id=" +
                          std::to_wstring(order[i]));
    return run_transaction(updates);
}

bool HistoryDb::move_slots(const std::vector<std::int64_t>& selected, int direction) {
    if (selected.empty()) return false;
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::int64_t> slots;
    for (const auto& row : query(L"SELECT entry_id FROM slot_entries ORDER BY slot_order ASC"))
        if (!row.empty()) slots.push_back(int64_or(row[0], 0));
    const auto moved = move_selected_block(slots, std::vector<std::uint32_t>(slots.size(), 0), selected, direction);
    if (moved == slots) return false;
    std::vector<std::wstring> updates;
    for (size_t i = 0; i < moved.size(); ++i)
        updates.push_back(L"UPDATE slot_entries SET slot_order=" + std::to_wstring(i + 1) + L" WHERE entry_id=" +
                          std::to_wstring(moved[i]));
    return run_transaction(updates);
}
