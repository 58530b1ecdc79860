// The block-move rule against an independent model, and the small pure
// helpers around it.

#include "storage/manual_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

using Ids = std::vector<std::int64_t>;
using Keys = std::vector<std::uint32_t>;

namespace {

// The rule restated as a sort: unmarked ids keep their index as position, the
// marked ones take a place half a step beyond the neighbour, in their order.
Ids model_move(const Ids& ids, const Keys& keys, const Ids& selected, int direction) {
    if ((direction != 1 && direction != -1) || ids.empty() || selected.empty() || keys.size() != ids.size()) return ids;
    const std::set<std::int64_t> chosen(selected.begin(), selected.end());
    std::vector<int> marked;
    for (int i = 0; i < static_cast<int>(ids.size()); ++i)
        if (chosen.count(ids[i])) marked.push_back(i);
    if (marked.empty() || marked.size() == ids.size()) return ids;
    for (int i : marked)
        if (keys[i] != keys[marked.front()]) return ids;
    const int neighbour = direction > 0 ? marked.back() + 1 : marked.front() - 1;
    if (neighbour < 0 || neighbour >= static_cast<int>(ids.size()) || keys[neighbour] != keys[marked.front()])
        return ids;
    std::vector<std::pair<double, int>> order;
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) {
        const bool is_marked = std::binary_search(marked.begin(), marked.end(), i);
        order.push_back({is_marked ? neighbour + 0.5 * direction : static_cast<double>(i), i});
    }
    std::sort(order.begin(), order.end());
    Ids out;
    for (const auto& [pos, i] : order) out.push_back(ids[i]);
    return out;
}

}  // namespace

TEST(MoveSelectedBlock, ExamplesAndRefusals) {
    const Ids list = {1, 2, 3, 4, 5};  // a B c D e
    const Keys flat(5, 0);
    EXPECT_EQ(move_selected_block(list, flat, {2, 4}, +1), (Ids{1, 3, 5, 2, 4}));
    EXPECT_EQ(move_selected_block(list, flat, {2, 4}, -1), (Ids{2, 4, 1, 3, 5}));
    EXPECT_EQ(move_selected_block(list, flat, {3}, -1), (Ids{1, 3, 2, 4, 5}));
    // Unknown selected ids are ignored.
    EXPECT_EQ(move_selected_block(list, flat, {3, 99}, +1), (Ids{1, 2, 4, 3, 5}));

    EXPECT_EQ(move_selected_block(list, flat, {1}, -1), list);  // already first
    EXPECT_EQ(move_selected_block(list, flat, {5}, +1), list);  // already last
    EXPECT_EQ(move_selected_block(list, flat, {1, 2, 3, 4, 5}, +1), list);
    EXPECT_EQ(move_selected_block(list, flat, {99}, +1), list);
    EXPECT_EQ(move_selected_block(list, flat, {}, +1), list);
    EXPECT_EQ(move_selected_block(list, flat, {3}, 0), list);
    EXPECT_EQ(move_selected_block(list, flat, {3}, 2), list);
    EXPECT_EQ(move_selected_block(list, Keys(4, 0), {3}, +1), list);
    EXPECT_EQ(move_selected_block({}, {}, {3}, +1), Ids{});

    // Pinned entries (key 1) above unpinned ones: no move crosses the boundary,
    // and a selection spanning both does not move.
    const Keys pinned = {1, 1, 0, 0, 0};
    EXPECT_EQ(move_selected_block(list, pinned, {3}, -1), list);
    EXPECT_EQ(move_selected_block(list, pinned, {2}, +1), list);
    EXPECT_EQ(move_selected_block(list, pinned, {2, 3}, +1), list);
    EXPECT_EQ(move_selected_block(list, pinned, {2}, -1), (Ids{2, 1, 3, 4, 5}));
    // Keys of unselected rows inside the selection's span are not looked at.
    EXPECT_EQ(move_selected_block(list, Keys{0, 0, 1, 0, 0}, {2, 4}, +1), (Ids{1, 3, 5, 2, 4}));
}

TEST(MoveSelectedBlock, AgreesWithTheModelOnRandomLists) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 5000; ++round) {
        const int n = std::uniform_int_distribution<int>(0, 12)(rng);
        Ids ids(n);
        for (int i = 0; i < n; ++i) ids[i] = 100 + i * 7;
        std::shuffle(ids.begin(), ids.end(), rng);
        // Keys as the lists make them: a run of 1s, then 0s; sometimes noise.
        Keys keys(n, 0);
        const int boundary = n ? std::uniform_int_distribution<int>(0, n)(rng) : 0;
        for (int i = 0; i < boundary; ++i) keys[i] = 1;
        if (round % 7 == 0)
            for (auto& k : keys) k = std::uniform_int_distribution<std::uint32_t>(0, 1)(rng);
        Ids selected;
        for (auto id : ids)
            if (std::bernoulli_distribution(0.3)(rng)) selected.push_back(id);
        if (round % 5 == 0) selected.push_back(1);  // not in the list
        const int direction = round % 2 ? 1 : -1;

        const Ids got = move_selected_block(ids, keys, selected, direction);
        ASSERT_EQ(got, model_move(ids, keys, selected, direction)) << "round " << round;
        // Always a permutation of the input.
        Ids a = got, b = ids;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        ASSERT_EQ(a, b);
        // Moving back the other way restores a contiguous single selection.
        if (got != ids && selected.size() == 1) ASSERT_EQ(move_selected_block(got, keys, selected, -direction), ids);
    }
}

TEST(ViewScopes, FromViewModes) {
    auto kind = [](int mode) { return make_view_scope(mode, 42).kind; };
    EXPECT_EQ(kind(0), kScopeAll);
    EXPECT_EQ(kind(1), kScopePinned);
    EXPECT_EQ(kind(2), kScopeSlots);
    EXPECT_EQ(kind(3), kScopeUncategorised);
    EXPECT_EQ(kind(4), kScopeAll);
    EXPECT_EQ(kind(5), kScopeCategory);
    EXPECT_EQ(kind(6), kScopeImages);
    EXPECT_EQ(kind(7), kScopeCategory);
    EXPECT_EQ(kind(1000), kScopeCategory);
    EXPECT_EQ(kind(-1), kScopeAll);
    EXPECT_EQ(make_view_scope(5, 42).category_id, 42);
    EXPECT_EQ(make_view_scope(3, 42).category_id, 0);
}

TEST(SelectIdsBySign, SplitsEntriesFromTemplates) {
    EXPECT_EQ(select_ids_by_sign({5, -3, 0, 7, -1}, true), (Ids{5, 7}));
    EXPECT_EQ(select_ids_by_sign({5, -3, 0, 7, -1}, false), (Ids{-3, -1}));
    EXPECT_EQ(select_ids_by_sign({}, true), Ids{});
}
