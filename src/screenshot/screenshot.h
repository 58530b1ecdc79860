#pragma once
// The screenshot tool's one entry: capture the screen, let the user select
// and annotate in the overlay, then save, copy and file the picture. The App
// calls it (App::take_screenshot); nothing else of the tool is seen outside
// this folder.

struct AppParts;

// What the screenshot hotkeys, menus and buttons ask for. Also the kind of
// App::set_screenshot_hotkey.
enum ScreenshotMode : int {
    kShotArea = 0,
    kShotWindow = 1,
    kShotFullScreen = 2,
};

// Runs a whole screenshot on the UI thread, modal until the user is done.
void run_screenshot(AppParts& app, ScreenshotMode mode);
