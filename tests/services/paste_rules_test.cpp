// The rules of a paste that race the user's own keys: which window a hotkey
// pastes into, one paste after another, and the keys around Ctrl+V.
#include "services/focus.h"
#include "services/keystrokes.h"
#include "services/paste_queue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

TEST(PasteTarget, AHotkeyOverTheDesktopPastesThereTheTaskbarNever) {
    for (const wchar_t* desktop : {L"Progman", L"WorkerW"}) {
        EXPECT_TRUE(class_may_be_target(desktop, TargetRoad::Hotkey)) << desktop;
        EXPECT_FALSE(class_may_be_target(desktop, TargetRoad::Poll)) << desktop;
    }
    for (const wchar_t* taskbar : {L"Shell_TrayWnd", L"NotifyIconOverflowWindow"})
        for (TargetRoad road : {TargetRoad::Hotkey, TargetRoad::Poll})
            EXPECT_FALSE(class_may_be_target(taskbar, road)) << taskbar;
    EXPECT_TRUE(class_may_be_target(L"Notepad", TargetRoad::Poll));
}

TEST(PasteQueue, EachPasteWritesOnlyOnceTheKeysBeforeItHaveGone) {
    PasteQueue queue;
    std::vector<std::string> log;
    const auto paste = [&](std::string name, bool starts_worker = true) {
        return [&log, name, starts_worker] {
            log.push_back(name);
            return starts_worker;
        };
    };
    // Slot 1, held until it repeats, then slot 2 and a menu choice: slot 1
    // once, the rest in turn as each worker reports.
    EXPECT_TRUE(queue.submit(20, paste("slot 1"), 0.0));
    EXPECT_FALSE(queue.submit(20, paste("slot 1 again"), 0.03));
    EXPECT_TRUE(queue.submit(21, paste("slot 2"), 0.05));
    EXPECT_FALSE(queue.submit(21, paste("slot 2 again"), 0.08));
    EXPECT_TRUE(queue.submit(0, paste("menu"), 0.1));
    EXPECT_TRUE(queue.submit(0, paste("menu"), 0.1));  // no hotkey: never a repeat
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1"}));
    queue.finished(1.2);
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1", "slot 2"}));
    queue.finished(1.5);
    queue.finished(1.6);
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1", "slot 2", "menu", "menu"}));

    // A paste that starts no worker (an empty slot, a taken clipboard) lets
    // the next one run at once; a worker that never reports holds the
    // queue only for a while.
    queue.finished(2.0);
    log.clear();
    queue.submit(22, paste("empty slot", false), 3.0);
    queue.submit(20, paste("slot 1"), 3.0);
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1"}));
    EXPECT_TRUE(queue.submit(21, paste("slot 2"), 3.1));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_TRUE(queue.submit(20, paste("slot 1, later"), 30.0));
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1", "slot 2"}));
}

namespace {

bool opens_menu(int vk) { return vk == VK_LMENU || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN; }

// The keys as the target sees them: a key event without its side acts on the
// left key, as the system does with an injected one.
struct Keyboard {
    std::set<int> down;
    std::map<int, bool> alone;  // an Alt or Win down with no other key since
    bool menu_opened = false;

    void press(int vk, bool up, bool injected) {
        if (vk == VK_CONTROL) vk = VK_LCONTROL;
        if (vk == VK_SHIFT) vk = VK_LSHIFT;
        if (vk == VK_MENU) vk = VK_LMENU;
        if (up) {
            if (injected && down.count(vk) && alone[vk]) menu_opened = true;
            down.erase(vk);
            return;
        }
        for (auto& [key, is_alone] : alone) is_alone = is_alone && key == vk;
        down.insert(vk);
        if (opens_menu(vk)) alone[vk] = true;
    }
};

}  // namespace

TEST(Keystrokes, CtrlVGoesAloneAndNoKeyStaysDownWhenTheUserLetsGoMidway) {
    for (const std::vector<int>& held : std::vector<std::vector<int>>{{},
                                                                      {VK_LSHIFT},
                                                                      {VK_RSHIFT, VK_LCONTROL},
                                                                      {VK_LCONTROL, VK_LSHIFT, VK_LMENU},
                                                                      {VK_RWIN},
                                                                      {VK_RCONTROL, VK_RMENU}}) {
        const std::vector<KeyEvent> events = ctrl_v_events(held);
        // The user lets go of every held key just before event n (never,
        // for n past the end).
        for (size_t n = 0; n <= events.size() + 1; ++n) {
            Keyboard keys;
            for (int vk : held) keys.press(vk, false, false);
            for (int vk : held) keys.alone[vk] = opens_menu(vk);  // the worst case
            bool pasted = false;
            for (size_t i = 0; i < events.size(); ++i) {
                if (i == n)
                    for (int vk : held) keys.press(vk, true, false);
                if (events[i].vk == 'V' && !events[i].up) {
                    pasted = true;
                    const bool ctrl_alone =
                        keys.down == std::set<int>{VK_LCONTROL} || keys.down == std::set<int>{VK_RCONTROL};
                    EXPECT_TRUE(ctrl_alone) << held.size() << " held, let go before event " << n;
                }
                keys.press(events[i].vk, events[i].up, true);
            }
            EXPECT_TRUE(pasted);
            // Whatever the user still holds is up until pressed anew; nothing
            // the user let go of comes back down.
            EXPECT_TRUE(keys.down.empty()) << held.size() << " held, let go before event " << n;
            EXPECT_FALSE(keys.menu_opened) << "a released Alt or Win opens a menu";
        }
    }
}
