#include "capture/browser_page.h"
#include "services/com_ptr.h"
#include "services/handles.h"
#include "support/fake_accessible.h"

#include <gtest/gtest.h>

using testsupport::FakeNode;
using testsupport::make_fake_accessible;

namespace {

// A browser-like tree: a toolbar with a link and the address bar, then the
// document.
std::shared_ptr<FakeNode> browser_tree(const std::wstring& address, const std::wstring& page_name) {
    auto root = FakeNode::make(ROLE_SYSTEM_CLIENT, L"", page_name);
    auto& toolbar = root->add(FakeNode::make(ROLE_SYSTEM_TOOLBAR));
    toolbar.add(FakeNode::make(ROLE_SYSTEM_LINK, L"https://bookmark.example/"));
    toolbar.add(FakeNode::make(ROLE_SYSTEM_TEXT, address));
    root->add(FakeNode::make(ROLE_SYSTEM_DOCUMENT, L"https://document.example/"));
    return root;
}

std::vector<AccessibleValue> walk(std::shared_ptr<FakeNode> root, AccessibleWalkBudget budget = {}) {
    ComPtr<IAccessible> acc(make_fake_accessible(std::move(root)));
    std::vector<AccessibleValue> values;
    collect_accessible_values(acc.get(), 0, values, budget);
    return values;
}

std::shared_ptr<FakeNode> wide_tree(int width, int depth, const std::wstring& leaf_value, DWORD delay = 0) {
    auto node = FakeNode::make(ROLE_SYSTEM_GROUPING);
    node->delay_ms = delay;
    if (depth == 0) {
        node->value = leaf_value;
        return node;
    }
    auto child = wide_tree(width, depth - 1, leaf_value, delay);  // shared: the tree is only read
    for (int i = 0; i < width; ++i) node->children.push_back(child);
    return node;
}

}  // namespace

TEST(AccessibleWalk, OrderAndAddress) {
    const auto values = walk(browser_tree(L"example.org/path", L"Example"));
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].role, std::uint32_t(ROLE_SYSTEM_LINK));
    EXPECT_EQ(values[1].value, L"example.org/path");
    EXPECT_EQ(values[2].role, std::uint32_t(ROLE_SYSTEM_DOCUMENT));
    EXPECT_EQ(pick_page_url(values), L"https://example.org/path");
    // An empty tab shows about:blank in its address bar: the document's own
    // address is the next candidate.
    EXPECT_EQ(pick_page_url(walk(browser_tree(L"about:blank", L""))), L"https://document.example/");
}

TEST(AccessibleWalk, DepthWidthAndValueLimits) {
    // A chain deeper than 14 levels: nodes below depth 14 are not read.
    auto chain = FakeNode::make(ROLE_SYSTEM_GROUPING, L"d0");
    FakeNode* at = chain.get();
    for (int d = 1; d <= 20; ++d) at = &at->add(FakeNode::make(ROLE_SYSTEM_GROUPING, L"d" + std::to_wstring(d)));
    const auto deep = walk(chain);
    ASSERT_EQ(deep.size(), 15u);
    EXPECT_EQ(deep.back().value, L"d14");

    // A node with 500 children is read itself, its children are not.
    auto crowded = FakeNode::make(ROLE_SYSTEM_LIST, L"list");
    for (int i = 0; i < 500; ++i) crowded->add(FakeNode::make(ROLE_SYSTEM_LISTITEM, L"item"));
    EXPECT_EQ(walk(crowded).size(), 1u);
    crowded->children.pop_back();
    EXPECT_EQ(walk(crowded).size(), 500u);

    // The walk stops once more than 3000 values are collected.
    EXPECT_EQ(walk(wide_tree(400, 2, L"v"), AccessibleWalkBudget{100000, 0}).size(), 3001u);
}

TEST(AccessibleWalk, BudgetBoundsHugeAndSlowTrees) {
    // 499 x 499 nodes without values: the node budget ends the walk.
    auto visits = std::make_shared<std::atomic<int>>(0);
    {
        ComPtr<IAccessible> acc(make_fake_accessible(wide_tree(499, 2, L""), visits));
        std::vector<AccessibleValue> values;
        AccessibleWalkBudget budget{4000, 0};
        collect_accessible_values(acc.get(), 0, values, budget);
        EXPECT_TRUE(values.empty());
    }
    EXPECT_EQ(visits->load(), 4000);

    // A tree whose every node answers slowly: the time limit ends the walk
    // long before the tree does.
    visits->store(0);
    {
        ComPtr<IAccessible> acc(make_fake_accessible(wide_tree(100, 1, L"slow", 20), visits));
        std::vector<AccessibleValue> values;
        AccessibleWalkBudget budget = AccessibleWalkBudget::with_time_limit(100);
        collect_accessible_values(acc.get(), 0, values, budget);
    }
    EXPECT_LT(visits->load(), 50);
}

namespace {

std::shared_ptr<FakeNode> g_window_tree;

LRESULT CALLBACK accessible_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_GETOBJECT && static_cast<long>(lparam) == OBJID_CLIENT && g_window_tree) {
        ComPtr<IAccessible> acc(make_fake_accessible(g_window_tree));
        return LresultFromObject(__uuidof(IAccessible), wparam, acc.get());
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

TEST(PageInfo, ReadFromAWindowsAccessibleObject) {
    ScopedCoInit com;
    WNDCLASSW wc{};
    wc.lpfnWndProc = accessible_window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaneTestAccessibleWindow";
    RegisterClassW(&wc);
    ScopedWindow window(CreateWindowExW(0, wc.lpszClassName, L"Window Title - Browser", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                        100, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window);

    std::wstring title, address;
    g_window_tree = browser_tree(L"https://example.org/a?b=c", L"Example Page");
    winutil::get_page_info_of_window(window.get(), title, address);
    EXPECT_EQ(address, L"https://example.org/a?b=c");
    EXPECT_EQ(title, L"Example Page");

    // Without a page name, or with an absurdly long one, the window title is used.
    g_window_tree = browser_tree(L"chrome://newtab", L"");
    winutil::get_page_info_of_window(window.get(), title, address);
    EXPECT_EQ(address, L"https://document.example/");
    EXPECT_EQ(title, L"Window Title - Browser");
    g_window_tree = browser_tree(L"x.example", std::wstring(512, L'n'));
    winutil::get_page_info_of_window(window.get(), title, address);
    EXPECT_EQ(title, L"Window Title - Browser");
    g_window_tree.reset();

    // This test program is no browser: nothing is read from the window in front.
    winutil::get_browser_page_info(title, address);
    EXPECT_EQ(title, L"");
    EXPECT_EQ(address, L"");
}
