#pragma once
// The decisions of the screenshot command that need no screen: the first
// selection of each mode, which file the history entry points at, when the
// picture goes to the clipboard, the program name the entry records, and
// which input after a shot is the user's own.

#include "screenshot/annotation.h"
#include "screenshot/screenshot.h"
#include "screenshot/shot_geometry.h"

#include <bitset>
#include <optional>
#include <string>

// The first word of screenshot file names: "Скриншот".
inline constexpr wchar_t kScreenshotBase[] = L"\u0421\u043a\u0440\u0438\u043d\u0448\u043e\u0442";

// The selection the overlay opens with (none for an area screenshot, and for
// a mode of no other name), in picture coordinates, for a picture
// of width × height whose top-left pixel is at screen (left, top). window is
// the foreground window's screen rectangle (all zero when none qualifies):
// a window reaching past the picture is cut to the picture's size and moved
// inside it; one wholly outside the picture gives none.
std::optional<PixelRect> first_selection(ScreenshotMode mode, const EdgeRect& window, std::int32_t width,
                                         std::int32_t height, std::int32_t left, std::int32_t top);

// The screen rectangle a window screenshot starts from: the window's visible
// frame where the system reports one with an area, its outer rectangle
// otherwise; all zeros for a minimized window and for one smaller than 8 × 8.
EdgeRect window_shot_rect(const EdgeRect& outer, const std::optional<EdgeRect>& visible, bool minimized);

// Which file the new history entry points at.
enum class ImagePathSource {
    None,       // no file of its own
    SavedFile,  // the file written through the Save dialog
    Autosave,   // a file to write now under an automatic name in the screenshot folder
};
// saved_inside_folder: a file was written through the Save dialog and lies
// inside the screenshot folder.
ImagePathSource image_path_source(bool saved_inside_folder, bool autosave, const std::wstring& folder);

// Copy always copies, Done when the setting says so, Save never.
bool copies_to_clipboard(CaptureAction action, bool copy_setting);

// Tells the user's own input after a shot from what the desktop does by
// itself: a press of a mouse button or of a key is the user's choice, and
// ends the hand-back of the keyboard. A release is not (the key or button
// that ended the shot is let go after it), nor a move or the wheel, nor the
// repeats of a key held since the shot ended, which belong to that press.
class ShotInputWatch {
public:
    // held: the keys (virtual-key codes) down when the shot ended.
    explicit ShotInputWatch(std::bitset<256> held = {}) : held_(held) {}
    // message: the WM_ code of a low-level keyboard or mouse event; key: the
    // virtual key of a keyboard event.
    bool is_choice(unsigned message, unsigned key);

private:
    std::bitset<256> held_;
};

// The file name part of a module path (after the last "\" or "/").
std::wstring program_file_name(const std::wstring& module_path);

// The name the Save dialog proposes for a picture taken at that local time.
std::wstring screenshot_file_name_at(int year, int month, int day, int hour, int minute, int second);
