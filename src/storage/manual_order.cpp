#include "storage/manual_order.h"

#include <algorithm>
#include <unordered_set>

ViewScope make_view_scope(std::int32_t view_mode, std::int64_t category_id) {
    switch (view_mode) {
    case 3: return {kScopeUncategorised, 0};
    case 6: return {kScopeImages, 0};
    case 2: return {kScopeSlots, 0};
    case 1: return {kScopePinned, 0};
    default: break;
    }
    if (view_mode == 5 || view_mode >= 7) return {kScopeCategory, category_id};
    return {kScopeAll, 0};
}

std::vector<std::int64_t> move_selected_block(const std::vector<std::int64_t>& ids,
                                              const std::vector<std::uint32_t>& keys,
                                              const std::vector<std::int64_t>& selected, int direction) {
    if ((direction != -1 && direction != 1) || ids.empty() || selected.empty() || keys.size() != ids.size()) return ids;
    const std::unordered_set<std::int64_t> chosen(selected.begin(), selected.end());
    const size_t n = ids.size();
    std::vector<bool> marked(n);
    size_t count = 0, first = n, last = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!chosen.count(ids[i])) continue;
        marked[i] = true;
        ++count;
        if (first == n) first = i;
        last = i;
    }
    if (count == 0 || count == n) return ids;
    const std::uint32_t key = keys[first];
    for (size_t i = 0; i < n; ++i)
        if (marked[i] && keys[i] != key) return ids;

    // The neighbour decides where the block lands; a move never crosses a key change.
    if (direction < 0 ? first == 0 : last + 1 >= n) return ids;
    const size_t neighbour = direction < 0 ? first - 1 : last + 1;
    if (keys[neighbour] != key) return ids;

    std::vector<std::int64_t> block, rest;
    size_t neighbour_in_rest = 0;
    for (size_t i = 0; i < n; ++i) {
        if (marked[i]) {
            block.push_back(ids[i]);
        } else {
            if (i == neighbour) neighbour_in_rest = rest.size();
            rest.push_back(ids[i]);
        }
    }
    const size_t at = direction > 0 ? neighbour_in_rest + 1 : neighbour_in_rest;
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(at), block.begin(), block.end());
    return rest;
}

std::vector<std::int64_t> select_ids_by_sign(const std::vector<std::int64_t>& ids, bool positive) {
    std::vector<std::int64_t> out;
    for (std::int64_t id : ids)
        if (positive ? id >= 1 : id < 0) out.push_back(id);
    return out;
}
