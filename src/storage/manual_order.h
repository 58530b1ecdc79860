#pragma once
// The rules behind moving entries and quick slots up and down by hand, and the
// split of a list selection into entries and templates. Pure functions: no
// database, no window.

#include <cstdint>
#include <vector>

// Which entries a manual move sees.
struct ViewScope {
    std::uint32_t kind = 0;        // one of the kScope* values
    std::int64_t category_id = 0;  // the viewed category for kScopeCategory, else 0
};

enum : std::uint32_t {
    kScopeAll = 0,
    kScopeUncategorised = 1,
    kScopeCategory = 2,
    kScopeImages = 3,
    kScopeSlots = 4,
    kScopePinned = 5,
};

// The scope of the main window's view mode (0 all, 1 pinned, 2 quick slots,
// 3 uncategorised, 4 trash, 5 and 7.. a category, 6 images).
ViewScope make_view_scope(std::int32_t view_mode, std::int64_t category_id);

// Moves the selected ids of a list (in display order) one place as one block:
// direction -1 towards index 0, +1 towards the end. A gappy selection is
// gathered next to its neighbour. keys holds one value per id, and a move never
// crosses a change of key (pinned entries stay above unpinned ones). Returns
// the ids unchanged when nothing can move.
std::vector<std::int64_t> move_selected_block(const std::vector<std::int64_t>& ids,
                                              const std::vector<std::uint32_t>& keys,
                                              const std::vector<std::int64_t>& selected, int direction);

// List rows carry a history id (1 and above) or a template as its negated id.
// positive keeps the ids >= 1, otherwise the ids < 0 (still negative); 0 is
// dropped either way. Input order is kept.
std::vector<std::int64_t> select_ids_by_sign(const std::vector<std::int64_t>& ids, bool positive);
