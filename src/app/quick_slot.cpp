// Ctrl+Shift+1..9: paste a quick slot into the program that was in front.

#include "app/app.h"
#include "capture/entry_clipboard.h"
#include "config/settings.h"
#include "services/paste_threads.h"
#include "storage/history_db.h"

// Each slot's hotkey is its own, with its digit: a press of slot 1 while
// the 1 has stayed down since the last is the key repeating; slot 2 waits
// its turn.
void App::on_quick_slot(int slot) {
    const int id = static_cast<int>(slot_hotkey_base) + slot - 1;
    const int key = static_cast<int>(hotkey_pair(id).vk);
    queue_paste({id, key}, [this, slot, key](unsigned paste) { return paste_quick_slot(slot, key, paste); });
}

bool App::paste_quick_slot(int slot, int key, unsigned paste) {
    if (!db) return false;
    // Only this slot is read: the others may hold pictures of megabytes.
    const std::optional<HistoryEntry> found = db->find_slot(slot);
    if (!found) return false;
    const HistoryEntry& entry = *found;
    catch_up_clipboard();
    if (!place_entry_on_clipboard(watcher, entry)) {
        tell_paste_failed();
        return false;
    }
    db->increment_use_count(entry.id);
    play_paste_tone();

    HWND target = paste_target;
    if (!target || !IsWindow(target) || target == main_hwnd()) target = nullptr;
    // The main window is left as it is: a quick slot never shows or hides it.
    return start_detached(quick_slot_paste_thread, PasteRequest{target, main_hwnd(), false, key, paste});
}
