#pragma once
// The hotkey field, window class kHotkeyFieldClass: shows a global hotkey as a
// row of key caps, records a new combination after a click, Enter or Space,
// checks it with the validator its owner gives and tells the parent about
// accepted changes and clears with WM_COMMAND (the control id and
// kHotkeyFieldChanged, the code of EN_CHANGE, so a parent treats it like an
// edit). It also tells the parent when it starts and stops listening
// (kHotkeyFieldRecordingStarted and kHotkeyFieldRecordingEnded, the end
// before the validator judges the combination), whichever way the
// recording ends. Refusals are shown inside the field instead of the caps. The
// value is the hotkey's stored text ("ctrl+shift+v"; empty for none),
// read and written with WM_GETTEXT and WM_SETTEXT.

#include "services/ids.h"
#include "ui/kit/hotkey_recording.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Registers the class once per process; false when it is not registered.
bool register_hotkey_chip_class();

// A visible tab-stop field with the given value, font (not owned), theme and
// validator (may be empty); null when it cannot be created.
HWND create_hotkey_chip(HWND parent, int id, int x, int y, int width, int height, HFONT font, const std::wstring& value,
                        bool dark, HotkeyValidator validator);

void set_hotkey_chip_dark(HWND chip, bool dark);
void set_hotkey_chip_validator(HWND chip, HotkeyValidator validator);
// Shows message instead of the caps until the next change, as a refusal is.
void set_hotkey_chip_message(HWND chip, const std::wstring& message);

// WM_COMMAND (control id, kHotkeyFieldChanged) to the chip's parent, if any.
void notify_hotkey_changed(HWND chip);

// The modifiers the keyboard holds now (kModControl, kModShift, kModAlt);
// the Windows keys are not read.
std::uint32_t current_hotkey_modifiers();

LRESULT CALLBACK hotkey_chip_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
