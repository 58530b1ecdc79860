#pragma once
// The six hotkey fields of the settings window and the check each applies
// to a new combination: no other field may hold it already, and no other
// program (nor the program's own fixed hotkeys) may have registered it.

#include "config/settings.h"
#include "ui/kit/hotkey_recording.h"

#include <windows.h>

#include <span>
#include <string>

struct HotkeyFieldRow {
    int id;                           // the field's control id
    const wchar_t* label_key;         // its label
    std::wstring Settings::*setting;  // the combination it edits
};

// In the order the clash check looks at them.
std::span<const HotkeyFieldRow> hotkey_fields();
const HotkeyFieldRow* hotkey_field_row(int id);

// "hotkey_field.busy_own" and the label of the first other field whose
// stored combination equals the candidate, or the name of the program's
// fixed hotkey (the quick menu, a quick slot) that is the candidate; empty
// when none is.
std::wstring hotkey_clash_message(const std::wstring& candidate, int own_id, const Settings* settings);

// The clash check, then a registration probe on window: "hotkey_field.busy_other"
// when the system refuses the combination.
HotkeyValidator make_hotkey_validator(HWND window, const Settings* settings, int own_id);
