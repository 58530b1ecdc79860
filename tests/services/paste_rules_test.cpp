// The rules of a paste that race the user's own keys: which window a hotkey
// pastes into, one paste after another, one press one paste.
#include "services/focus.h"
#include "services/paste_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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
    // Slot 1 held until it repeats, then slot 2 and two menu choices: slot 1
    // once, the rest in turn as each worker reports.
    EXPECT_TRUE(queue.submit({20, '1', true}, paste("slot 1"), 0.0));
    EXPECT_TRUE(queue.submit({21, '2', true}, paste("slot 2"), 0.05));
    EXPECT_TRUE(queue.submit({}, paste("menu"), 0.1));
    EXPECT_TRUE(queue.submit({}, paste("menu"), 0.1));  // no hotkey: never a repeat
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
    queue.submit({22, '3', false}, paste("empty slot", false), 3.0);
    queue.submit({20, '1', false}, paste("slot 1"), 3.0);
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1"}));
    EXPECT_TRUE(queue.submit({21, '2', false}, paste("slot 2"), 3.1));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_TRUE(queue.submit({20, '1', false}, paste("slot 1, later"), 30.0));
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1", "slot 2"}));
}

// Where the system repeats a held hotkey, a press is a repeat only while its
// key has stayed down since the last press of that hotkey.
TEST(PasteQueue, OnePressOnePaste) {
    struct Step {
        int hotkey;
        int key;
        bool down;
        int released;  // a key seen up before the press; 0: none
        bool pasted;
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> cases{
        {"held until it repeats", {{20, '1', true, 0, true}, {20, '1', true, 0, false}, {20, '1', true, 0, false}}},
        {"tapped twice", {{20, '1', true, 0, true}, {20, '1', true, '1', true}}},
        {"1, 2, 1", {{20, '1', true, 0, true}, {21, '2', true, '1', true}, {20, '1', true, '2', true}}},
        {"2 let go, 1 still held", {{20, '1', true, 0, true}, {21, '2', true, 0, true}, {20, '1', true, '2', false}}},
        {"posted, no key down", {{20, '1', false, 0, true}, {20, '1', false, 0, true}}},
        {"its state read late", {{20, '1', false, 0, true}, {20, '1', true, 0, false}}},
    };
    for (const auto& [name, steps] : cases) {
        PasteQueue queue;
        for (size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            if (step.released) queue.key_released(step.released);
            const bool pasted = queue.submit(
                {step.hotkey, step.key, step.down}, [] { return true; }, 0.1 * static_cast<double>(i));
            EXPECT_EQ(pasted, step.pasted) << name << ", press " << i;
        }
    }
}
