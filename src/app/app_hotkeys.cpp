// The global hotkeys of the running program: registered on the main window
// when it is created, freed when it is destroyed, and changed one at a time
// from the settings window.

#include "app/app.h"

#include "config/language.h"
#include "config/settings.h"
#include "services/tray_icon.h"
#include "ui/main_window/entry_format.h"

namespace {

// The area-screenshot combination used when the configured one is taken.
constexpr wchar_t kScreenshotFallbackHotkey[] = L"ctrl+shift+alt+p";

std::uint64_t id_bit(int id) { return id >= 0 && id <= kHotkeyLastId ? std::uint64_t(1) << id : 0; }

}  // namespace

// The settings window reaches the hotkeys through the parts record.
App::App() {
    pause_hotkeys = [this](bool paused) { return set_hotkeys_paused(paused); };
    set_hotkey = [this](int id, const std::wstring& text) {
        switch (id) {
        case kHotkeyOpenHistory: return set_main_hotkey(text);
        case kHotkeyPlainPaste: return set_plain_hotkey(text);
        case kHotkeyTemplates: return set_snippets_hotkey(text);
        case kHotkeyShotArea: return set_screenshot_hotkey(kShotArea, text);
        case kHotkeyShotWindow: return set_screenshot_hotkey(kShotWindow, text);
        case kHotkeyShotFull: return set_screenshot_hotkey(kShotFullScreen, text);
        default: return false;
        }
    };
}

// One press, one action: a key held until the keyboard repeats it would
// otherwise paste, or open a window, once for each repeat. A system that
// does not know the flag refuses it; the hotkey is then taken without it
// (the paste queue tells the repeats of a paste hotkey by its key, which
// stays down, and drops them all the same).
// Every road to a registration ends here, so a combination that must never
// be a hotkey (Ctrl+V) is refused here alone, as a text without a key is.
bool App::register_pair(HWND window, int id, const HotkeyPair& pair) {
    if (!is_usable_hotkey(pair)) return false;
    if (!RegisterHotKey(window, id, pair.modifiers | MOD_NOREPEAT, pair.vk) &&
        !RegisterHotKey(window, id, pair.modifiers, pair.vk))
        return false;
    registered_hotkeys |= id_bit(id);
    return true;
}

bool App::unregister_id(HWND window, int id) {
    registered_hotkeys &= ~id_bit(id);
    return UnregisterHotKey(window, id) != FALSE;
}

bool App::hotkey_registered(int id) const { return (registered_hotkeys & id_bit(id)) != 0; }

HotkeyPair App::hotkey_pair(int id) const {
    const int slot = id - static_cast<int>(slot_hotkey_base);
    if (slot >= 0 && slot < kQuickSlotCount) return quick_slot_hotkey(slot + 1);
    switch (id) {
    case kHotkeyOpenHistory: return main_hotkey;
    case kHotkeyQuickMenu: return kQuickMenuHotkey;
    case kHotkeyPlainPaste: return plain_hotkey;
    case kHotkeyTemplates: return templates_hotkey;
    case kHotkeyShotArea: return shot_area_hotkey;
    case kHotkeyShotWindow: return shot_window_hotkey;
    case kHotkeyShotFull: return shot_full_hotkey;
    default: return {};
    }
}

void App::register_hotkeys(HWND window) {
    register_pair(window, kHotkeyOpenHistory, main_hotkey);
    register_pair(window, kHotkeyQuickMenu, hotkey_pair(kHotkeyQuickMenu));
    register_pair(window, kHotkeyPlainPaste, plain_hotkey);
    register_pair(window, kHotkeyTemplates, templates_hotkey);
    if (is_usable_hotkey(shot_area_hotkey)) register_area_shot(window);
    register_pair(window, kHotkeyShotWindow, shot_window_hotkey);
    register_pair(window, kHotkeyShotFull, shot_full_hotkey);

    for (int id = static_cast<int>(slot_hotkey_base); id < static_cast<int>(slot_hotkey_base) + kQuickSlotCount; ++id)
        register_pair(window, id, hotkey_pair(id));
}

// Print Screen is often taken by another screenshot tool: fall back to a
// combination of our own and say so.
bool App::register_area_shot(HWND window) {
    if (register_pair(window, kHotkeyShotArea, shot_area_hotkey)) return true;
    if (!register_area_fallback(window)) return false;
    if (tray) tray->show_balloon(tr(L"tray.screenshots"), tr(L"tray.screenshot_hotkey_busy"));
    return true;
}

bool App::register_area_fallback(HWND window) {
    const HotkeyPair fallback = parse_hotkey(std::wstring(kScreenshotFallbackHotkey));
    if (!register_pair(window, kHotkeyShotArea, fallback)) return false;
    shot_area_hotkey = fallback;
    if (settings) settings->screenshot_hotkey = kScreenshotFallbackHotkey;
    return true;
}

void App::unregister_hotkeys(HWND window) {
    for (int id = 0; id <= kHotkeyLastId; ++id) unregister_id(window, id);
    paused_hotkeys = 0;
}

// Back come exactly the ids that were registered, with the combinations in
// effect, a hotkey turned off not. One that another program took meanwhile
// is handled as at start: the area screenshot falls back, the others stay
// unregistered.
std::vector<int> App::set_hotkeys_paused(bool paused) {
    std::vector<int> lost;
    HWND window = main_hwnd();
    if (!window) return lost;
    for (int id = 0; id <= kHotkeyLastId; ++id) {
        if (paused && hotkey_registered(id)) {
            unregister_id(window, id);
            paused_hotkeys |= id_bit(id);
        } else if (!paused && (paused_hotkeys & id_bit(id))) {
            const bool back =
                id == kHotkeyShotArea ? register_area_shot(window) : register_pair(window, id, hotkey_pair(id));
            if (!back) lost.push_back(id);
        }
    }
    if (!paused) paused_hotkeys = 0;
    return lost;
}

// Moves hotkey id to the combination in text. A combination that cannot be
// registered (taken by another program) leaves the previous one registered
// and stored: the user keeps a working hotkey and a settings text that works.
// An empty text turns the hotkey off, through unregister_id, so that what is
// shown as registered (the shortcut help) follows.
bool App::change_hotkey(int id, HotkeyPair& current, std::wstring& stored_text, const std::wstring& text) {
    HWND window = main_hwnd();
    if (text.empty()) {
        if (window) unregister_id(window, id);
        current = HotkeyPair{};
        stored_text.clear();
        return true;
    }
    const HotkeyPair next = parse_hotkey(text);
    if (!is_usable_hotkey(next) || !window) return false;
    if (current.vk != 0) unregister_id(window, id);
    if (register_pair(window, id, next)) {
        current = next;
        stored_text = text;
        return true;
    }
    register_pair(window, id, current);
    return false;
}

bool App::set_main_hotkey(const std::wstring& text) {
    if (!settings) return false;
    return change_hotkey(kHotkeyOpenHistory, main_hotkey, settings->hotkey, text);
}

bool App::set_plain_hotkey(const std::wstring& text) {
    if (!settings) return false;
    return change_hotkey(kHotkeyPlainPaste, plain_hotkey, settings->plain_hotkey, text);
}

bool App::set_snippets_hotkey(const std::wstring& text) {
    if (!settings) return false;
    return change_hotkey(kHotkeyTemplates, templates_hotkey, settings->snippets_hotkey, text);
}

bool App::set_screenshot_hotkey(int kind, const std::wstring& text) {
    if (!settings) return false;
    switch (kind) {
    case kShotArea: break;
    case kShotWindow:
        return change_hotkey(kHotkeyShotWindow, shot_window_hotkey, settings->screenshot_window_hotkey, text);
    case kShotFullScreen:
        return change_hotkey(kHotkeyShotFull, shot_full_hotkey, settings->screenshot_full_hotkey, text);
    default: return false;
    }
    if (change_hotkey(kHotkeyShotArea, shot_area_hotkey, settings->screenshot_hotkey, text)) return true;

    // The previous area combination is back in place when it still works.
    // Only when there is none that works does the fallback step in, as at
    // start-up; the requested combination is still not in effect.
    HWND window = main_hwnd();
    if (!window || !is_usable_hotkey(parse_hotkey(text))) return false;
    if (shot_area_hotkey.vk != 0 && unregister_id(window, kHotkeyShotArea)) {
        register_pair(window, kHotkeyShotArea, shot_area_hotkey);
        return false;
    }
    register_area_fallback(window);
    return false;
}
