// The popup menu's modal loop driven by real input: each test sets a thread
// timer that plays a script of keys and clicks while track_popup_menu runs.

#include "services/ids.h"
#include "support/desktop_input.h"
#include "support/main_window_fixture.h"
#include "ui/kit/window_class.h"
#include "ui/menu/popup_menu.h"
#include "ui/menu/popup_menu_layout.h"
#include "ui/menu/quick_menu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// The visible menus of this thread, the newest (topmost) first.
std::vector<HWND> open_menus() { return visible_thread_windows(kPopupMenuClass); }

HWND top_menu() {
    auto menus = open_menus();
    return menus.empty() ? nullptr : menus.front();
}

// The screen point in the middle of a row of the topmost menu.
POINT row_point(const PopupMenuItems& items, int row, HWND menu = nullptr) {
    if (!menu) menu = top_menu();
    RECT client;
    GetClientRect(menu, &client);
    return to_screen(menu, POINT{client.right / 2, menu_row_top(items, row) + kMenuRowHeight / 2});
}

// Plays steps from a thread timer, one per tick, while a menu's loop runs.
// When the steps run out and a menu is still open, it is destroyed so that
// a failing test cannot hang, and the watchdog is marked.
class Script {
public:
    explicit Script(std::vector<std::function<void()>> steps, UINT interval_ms = 120) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, interval_ms, &Script::tick);
    }
    ~Script() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool watchdog_fired() const { return watchdog_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current_;
        if (!s || s->busy_) return;
        s->busy_ = true;  // a step may run a nested loop of its own
        if (s->next_ < s->steps_.size()) {
            s->steps_[s->next_++]();
        } else if (++s->idle_ticks_ > 20) {
            for (HWND menu : open_menus()) {
                s->watchdog_ = true;
                DestroyWindow(menu);
            }
        }
        s->busy_ = false;
    }

    static inline Script* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    int idle_ticks_ = 0;
    bool watchdog_ = false;
    bool busy_ = false;
    UINT_PTR timer_ = 0;
};

LRESULT CALLBACK owner_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_TIMER && wp == 77) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

class PopupMenuDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        register_window_class({.name = L"KorvaneMenuTestOwner",
                               .procedure = owner_proc,
                               .background = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))});
        owner_ = CreateWindowExW(0, L"KorvaneMenuTestOwner", L"owner", WS_POPUP | WS_VISIBLE, 50, 50, 700, 600, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(owner_);
        SetWindowLongPtrW(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner_ticks_));
        SetForegroundWindow(owner_);
        pump_messages(100);
        move_mouse(POINT{600, 600});
        pump_messages(50);
    }
    void TearDown() override {
        if (IsWindow(owner_)) DestroyWindow(owner_);
        pump_messages(50);
        EXPECT_TRUE(open_menus().empty());
        // No quit may be left behind for the next test.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::uint64_t track(const PopupMenuItems& items, int x = 200, int y = 150) {
        return track_popup_menu(owner_, x, y, items, true);
    }

    HWND owner_ = nullptr;
    int owner_ticks_ = 0;
};

PopupMenuItems flat_menu() {
    PopupMenuItems items;
    append_menu_item(items, 1, L"Alpha");
    append_menu_item(items, 2, L"Beta");
    append_menu_separator(items);
    append_menu_item(items, 3, L"Gamma");
    return items;
}

PopupMenuItems menu_with_submenu() {
    PopupMenuItems items;
    append_menu_item(items, 1, L"Alpha");
    PopupMenuItem more;
    more.text = L"More";
    more.id = 99;  // never returned: the row opens its submenu
    append_menu_item(more.children, 11, L"Eleven");
    append_menu_item(more.children, 12, L"Twelve");
    push_menu_item(items, std::move(more));
    append_menu_item(items, 3, L"Gamma");
    return items;
}

}  // namespace

TEST_F(PopupMenuDesktop, KeyboardChoosesSkipsAndDismisses) {
    const PopupMenuItems items = flat_menu();
    {
        // Down from no row lands on row 1, then Enter chooses it.
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 2u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // Down skips the separator and wraps; Up from no row reaches the last row.
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_DOWN); }, [] { send_key(VK_DOWN); },
                  [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 1u);
    }
    {
        Script s({[] { send_key(VK_UP); }, [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 3u);
    }
    {
        // Enter with no row hovered does nothing; Esc dismisses.
        Script s({[] { send_key(VK_RETURN); }, [] { EXPECT_TRUE(top_menu()); }, [] { send_key(VK_ESCAPE); }});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
}

TEST_F(PopupMenuDesktop, DisabledRowsAndSeparatorOnlyMenus) {
    PopupMenuItems items;
    PopupMenuItem off;
    off.text = L"Disabled";
    off.id = 5;
    off.enabled = false;
    push_menu_item(items, std::move(off));
    append_menu_item(items, 6, L"Six");
    {
        // A click on the disabled row does nothing; Enter on it neither.
        Script s({[&] { move_mouse(row_point(items, 0)); }, [&] { click_at(row_point(items, 0)); },
                  [] { send_key(VK_RETURN); }, [] { EXPECT_TRUE(top_menu()); }, [] { send_key(VK_ESCAPE); }});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // Keyboard movement never lands on it.
        Script s({[] { send_key(VK_UP); }, [] { send_key(VK_UP); }, [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 6u);
    }
    PopupMenuItems rules;
    append_menu_separator(rules);
    append_menu_separator(rules);
    {
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_TRUE(top_menu()); },
                  [] { send_key(VK_ESCAPE); }});
        EXPECT_EQ(track(rules), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    EXPECT_EQ(track({}), 0u);  // nothing to show
}

TEST_F(PopupMenuDesktop, MouseChoosesAndAClickOutsideDismisses) {
    const PopupMenuItems items = flat_menu();
    {
        Script s({[&] { move_mouse(row_point(items, 3)); }, [&] { click_at(row_point(items, 3)); }});
        EXPECT_EQ(track(items), 3u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // On the owner, well away from the menu.
        Script s({[] { click_at(POINT{600, 500}); }});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // A right click outside dismisses too.
        Script s({[] { click_at(POINT{600, 500}, true); }});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
}

TEST_F(PopupMenuDesktop, ReleaseOfTheOpeningClickChoosesNothing) {
    const PopupMenuItems items = flat_menu();
    // As a context menu opens: the right button is still down when the menu
    // appears at the cursor, and is released over a row.
    move_mouse(POINT{200, 150});
    pump_messages(50);
    mouse_button(true, true);
    pump_messages(50);
    Script s({[&] { move_mouse(row_point(items, 0)); }, [] { mouse_button(true, false); },
              [] { EXPECT_TRUE(top_menu()); }, [] { send_key(VK_ESCAPE); }});
    EXPECT_EQ(track(items), 0u);
    EXPECT_FALSE(s.watchdog_fired());
}

TEST_F(PopupMenuDesktop, SubmenusByKeyboard) {
    const PopupMenuItems items = menu_with_submenu();
    {
        // Enter on a row with children opens them; Down, Enter chooses in the submenu.
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [] { send_key(VK_UP); }, [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 12u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // Left closes only the submenu; the parent goes on with the keyboard.
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [] { send_key(VK_LEFT); }, [] { EXPECT_EQ(open_menus().size(), 1u); }, [] { send_key(VK_DOWN); },
                  [] { send_key(VK_RETURN); }});
        EXPECT_EQ(track(items), 3u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // Left in a top-level menu is ignored.
        Script s({[] { send_key(VK_LEFT); }, [] { EXPECT_EQ(open_menus().size(), 1u); }, [] { send_key(VK_ESCAPE); }});
        EXPECT_EQ(track(items), 0u);
    }
    {
        // Esc in the submenu closes every menu of the chain.
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [] { send_key(VK_ESCAPE); }});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
}

TEST_F(PopupMenuDesktop, SubmenusByMouse) {
    const PopupMenuItems items = menu_with_submenu();
    HWND parent = nullptr;
    {
        // Resting on the row opens the submenu beside the menu; a click in it chooses.
        Script s(
            {[&] {
                 parent = top_menu();
                 move_mouse(row_point(items, 1));
             },
             [] {}, [] {},
             [&] {
                 ASSERT_EQ(open_menus().size(), 2u);
                 RECT p, c;
                 GetWindowRect(parent, &p);
                 GetWindowRect(top_menu(), &c);
                 EXPECT_EQ(c.left, p.right + kSubmenuGap);
                 EXPECT_EQ(c.top, p.top + menu_row_top(items, 1));
             },
             [&] { move_mouse(row_point(items[1].children, 0)); }, [&] { click_at(row_point(items[1].children, 0)); }},
            150);
        EXPECT_EQ(track(items), 11u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // Moving on to another row before the delay cancels the opening.
        Script s({[&] { move_mouse(row_point(items, 1)); }, [&] { move_mouse(row_point(items, 2)); }, [] {}, [] {},
                  [] {}, [] { EXPECT_EQ(open_menus().size(), 1u); }, [] { send_key(VK_ESCAPE); }},
                 80);
        EXPECT_EQ(track(items), 0u);
    }
    {
        // Back from the submenu onto the parent: the submenu closes, the
        // parent stays and takes a click.
        Script s({[&] {
                      parent = top_menu();
                      move_mouse(row_point(items, 1));
                  },
                  [] {}, [] {}, [&] { move_mouse(row_point(items[1].children, 1)); },
                  [&] { move_mouse(row_point(items, 0, parent)); }, [] { EXPECT_EQ(open_menus().size(), 1u); },
                  [&] { click_at(row_point(items, 0, parent)); }},
                 150);
        EXPECT_EQ(track(items), 1u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // A click outside every menu closes the whole chain.
        Script s({[&] { move_mouse(row_point(items, 1)); }, [] {}, [] {}, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [] {
                      click_at(POINT{650, 550});
                  }},
                 150);
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
}

TEST_F(PopupMenuDesktop, QuitEndsEveryOpenMenuAndReachesTheMainLoop) {
    const PopupMenuItems items = menu_with_submenu();
    Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
              [] { PostQuitMessage(7); }});
    EXPECT_EQ(track(items), 0u);
    EXPECT_FALSE(s.watchdog_fired());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(PopupMenuDesktop, OtherWindowsKeepRunningAndAGoneOwnerEndsTheMenu) {
    const PopupMenuItems items = flat_menu();
    SetTimer(owner_, 77, 30, nullptr);
    // The owner's timer keeps firing under the menu; then the owner goes,
    // taking its owned menu with it, and the call returns instead of hanging.
    Script s({[] {}, [] {}, [] {},
              [this] {
                  EXPECT_GT(owner_ticks_, 3);
                  DestroyWindow(owner_);
              }});
    EXPECT_EQ(track(items), 0u);
    EXPECT_FALSE(s.watchdog_fired());
}

TEST_F(PopupMenuDesktop, StaysInsideTheWorkArea) {
    const PopupMenuItems items = flat_menu();
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT work = info.rcWork;
    RECT seen{};
    Script s({[&] { GetWindowRect(top_menu(), &seen); }, [] { send_key(VK_ESCAPE); }});
    EXPECT_EQ(track(items, work.right - 3, work.bottom - 3), 0u);
    const SIZE size = measure_popup_menu(items);
    EXPECT_EQ(seen.right, work.right - kMenuEdgeGap);
    EXPECT_EQ(seen.bottom, work.bottom - kMenuEdgeGap);
    EXPECT_EQ(seen.right - seen.left, size.cx);
    EXPECT_EQ(seen.bottom - seen.top, size.cy);
}

// A menu taller than the work area fits it, and the wheel, the keys and the
// arrow at its end each bring its last rows into reach; a submenu then opens
// beside where its row now stands.
TEST_F(PopupMenuDesktop, TallMenuScrollsItsLastRowsIntoReach) {
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(MonitorFromPoint(POINT{200, 150}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT work = info.rcWork;
    PopupMenuItems items;
    for (int i = 1; i < (work.bottom - work.top) / kMenuRowHeight + 3; ++i)
        append_menu_item(items, i, L"Category " + std::to_wstring(i));
    PopupMenuItem more;
    more.text = L"More";
    append_menu_item(more.children, 500, L"Inside");
    push_menu_item(items, std::move(more));
    append_menu_item(items, 600, L"Last");

    RECT frame{};
    // Where a row of the last ones stands once the menu has scrolled to its end.
    const auto from_end = [&](int rows_up, int y_in_row) {
        return POINT{frame.left + 50, frame.bottom - kMenuMargin - rows_up * kMenuRowHeight + y_in_row};
    };
    const std::function<void()> scrolls[] = {
        [] { send_wheel(-4); }, [] { send_key(VK_END); },
        [&] { move_mouse(from_end(0, kMenuMargin - kMenuArrowHeight / 2)); },  // rests on the arrow
    };
    for (const auto& scroll : scrolls) {
        RECT sub{};
        Script s({[&] {
                      GetWindowRect(top_menu(), &frame);
                      scroll();
                  },
                  [] {}, [] {}, [] {}, [] {}, [] {}, [] {}, [&] { click_at(from_end(2, kMenuRowHeight / 2)); },
                  [&] {
                      GetWindowRect(top_menu(), &sub);
                      click_at(from_end(1, kMenuRowHeight / 2));  // back on the parent: the submenu closes
                  },
                  [&] { click_at(from_end(1, kMenuRowHeight / 2)); }});
        EXPECT_EQ(track(items), 600u);
        EXPECT_FALSE(s.watchdog_fired());
        EXPECT_EQ(frame.top, work.top);
        EXPECT_EQ(frame.bottom, work.bottom);
        EXPECT_EQ(sub.top, from_end(2, 0).y);
    }
}

// The user turning to another program closes the menu, as a click outside does.
TEST_F(PopupMenuDesktop, AnotherProgramTakingTheFocusDismisses) {
    const PopupMenuItems items = flat_menu();
    // A window of another thread stands in for another program.
    struct Other {
        HWND window = nullptr;
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    } other_side;
    DWORD other_thread = 0;
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* o = static_cast<Other*>(p);
            o->window = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 900, 100, 200, 200, nullptr,
                                        nullptr, nullptr, nullptr);
            SetEvent(o->ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            DestroyWindow(o->window);
            return 0;
        },
        &other_side, 0, &other_thread);
    WaitForSingleObject(other_side.ready, 5000);
    HWND other = other_side.window;
    ASSERT_TRUE(other);
    {
        Script s({[&] { SetForegroundWindow(other); }, [] {}, [] {}, [] {}, [] {}});
        EXPECT_EQ(track(items), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    {
        // With a submenu open the whole chain goes.
        SetForegroundWindow(owner_);
        pump_messages(100);
        const PopupMenuItems nested = menu_with_submenu();
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [&] { SetForegroundWindow(other); }, [] {}, [] {}, [] {}});
        EXPECT_EQ(track(nested), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    PostThreadMessageW(other_thread, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(other_side.ready);
}

// A hotkey pressed while a menu is open comes through the menu's loop: the
// menus end, submenu and all, as the window it opens comes up, which then
// has the mouse and the keys.
TEST(PopupMenuUnderHotkeys, TheMenusEndAsTheQuickMenuOpens) {
    MainWindowFixture fx;
    fx.app().quick_menu = new QuickMenu();  // the App deletes it
    ASSERT_TRUE(fx.open(40, 40, 700, 500));
    add_text_entry(fx.db(), L"a quick row");
    pump_messages(100);
    const HWND main = fx.hwnd();
    const QuickMenu& quick = *fx.app().quick_menu;
    const auto quick_shown = [&] { return quick.hwnd && IsWindowVisible(quick.hwnd); };
    {
        Script s({[] { send_key(VK_DOWN); }, [] { send_key(VK_RETURN); }, [] { EXPECT_EQ(open_menus().size(), 2u); },
                  [main] { PostMessageW(main, WM_HOTKEY, kHotkeyQuickMenu, 0); }});
        EXPECT_EQ(track_popup_menu(main, 200, 150, menu_with_submenu(), false), 0u);
        EXPECT_FALSE(s.watchdog_fired());
    }
    EXPECT_EQ(GetCapture(), nullptr);
    for (int i = 0; i < 40 && !quick_shown(); ++i) pump_messages(50);
    ASSERT_TRUE(quick_shown());
    // Its keys reach it: Esc closes it.
    send_key(VK_ESCAPE);
    for (int i = 0; i < 40 && quick_shown(); ++i) pump_messages(50);
    EXPECT_FALSE(quick_shown());
}
