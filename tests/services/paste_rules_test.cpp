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
        return [&log, name, starts_worker](unsigned) {
            log.push_back(name);
            return starts_worker;
        };
    };
    // Slot 1, slot 2 and two menu choices: slot 1 at once, the rest in turn
    // as each worker reports.
    EXPECT_TRUE(queue.submit({20, '1'}, paste("slot 1"), 0.0));
    EXPECT_TRUE(queue.submit({21, '2'}, paste("slot 2"), 0.05));
    EXPECT_TRUE(queue.submit({}, paste("menu"), 0.1));
    EXPECT_TRUE(queue.submit({}, paste("menu"), 0.1));  // no hotkey: never a repeat
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1"}));
    queue.finished(queue.current(), 1.2);
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1", "slot 2"}));
    queue.finished(queue.current(), 1.5);
    queue.finished(queue.current(), 1.6);
    EXPECT_EQ(log, (std::vector<std::string>{"slot 1", "slot 2", "menu", "menu"}));

    // A paste that starts no worker (an empty slot, a taken clipboard) lets
    // the next one run at once; a worker that never reports holds the
    // queue only for a while, and its end when it comes at last is not the
    // end of the paste that runs by then.
    queue.finished(queue.current(), 2.0);
    log.clear();
    queue.submit({22, '3'}, paste("empty slot", false), 3.0);
    queue.submit({20, '1'}, paste("slot 1"), 3.0);
    const unsigned lost = queue.current();
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1"}));
    EXPECT_TRUE(queue.submit({21, '2'}, paste("slot 2"), 3.1));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_TRUE(queue.submit({20, '1'}, paste("slot 1, later"), 30.0));
    EXPECT_EQ(log, (std::vector<std::string>{"empty slot", "slot 1", "slot 2"}));
    queue.finished(lost, 31.0);
    EXPECT_EQ(log.size(), 3u);
    queue.finished(queue.current(), 31.5);
    EXPECT_EQ(log.back(), "slot 1, later");
}

// Where the system repeats a held hotkey, a press is a repeat only while its
// key has stayed down since the last press of that hotkey, by the times of
// the presses and of the looks at the key (ms), whatever the order in which
// they are handled.
TEST(PasteQueue, OnePressOnePaste) {
    struct Step {
        PastePress press;
        std::vector<KeySeen> seen;  // told before the press is handled
        bool pasted;
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> cases{
        {"held until it repeats",
         {{{20, '1', 0}, {{'1', 2, true}}, true},
          {{20, '1', 500}, {{'1', 502, true}}, false},
          {{20, '1', 540}, {{'1', 542, true}}, false}}},
        {"tapped twice",
         {{{20, '1', 0}, {{'1', 2, true}}, true}, {{20, '1', 300}, {{'1', 60, false}, {'1', 302, true}}, true}}},
        {"1, 2, 1",
         {{{20, '1', 0}, {{'1', 2, true}}, true},
          {{21, '2', 300}, {{'1', 60, false}, {'2', 302, true}}, true},
          {{20, '1', 600}, {{'2', 360, false}, {'1', 602, true}}, true}}},
        {"2 let go, 1 still held",
         {{{20, '1', 0}, {{'1', 2, true}}, true},
          {{21, '2', 300}, {{'2', 302, true}}, true},
          {{20, '1', 600}, {{'2', 360, false}, {'1', 602, true}}, false}}},
        {"posted, no key down", {{{20, '1', 0}, {{'1', 2, false}}, true}, {{20, '1', 0}, {{'1', 3, false}}, true}}},
        {"its state read late",
         {{{20, '1', 0}, {{'1', 2, false}, {'1', 12, true}}, true}, {{20, '1', 500}, {{'1', 502, true}}, false}}},
        {"tapped again while the window was busy",
         {{{20, '1', 0}, {{'1', 2, true}}, true},
          {{20, '1', 120}, {{'1', 60, false}, {'1', 130, true}, {'1', 400, true}}, true}}},
        {"held from a press made while the window was busy",
         {{{20, '1', 100}, {{'1', 1500, true}}, true}, {{20, '1', 600}, {{'1', 1501, true}}, false}}},
        {"repeats handled after the key went up",
         {{{20, '1', 0}, {{'1', 2, true}}, true},
          {{20, '1', 500}, {{'1', 760, false}, {'1', 800, false}}, false},
          {{20, '1', 533}, {{'1', 801, false}}, false},
          {{20, '1', 566}, {{'1', 802, false}}, false}}},
    };
    for (const auto& [name, steps] : cases) {
        PasteQueue queue;
        for (size_t i = 0; i < steps.size(); ++i) {
            for (const KeySeen& seen : steps[i].seen) queue.key_seen(seen);
            const bool pasted = queue.submit(
                steps[i].press, [](unsigned) { return true; }, 0.1 * static_cast<double>(i));
            EXPECT_EQ(pasted, steps[i].pasted) << name << ", press " << i;
        }
    }
}
