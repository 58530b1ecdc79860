#pragma once
// The notification-area icon: added when the main window is created, removed
// when it is destroyed, and used for short balloon messages. The icon can be
// refused (no taskbar yet at logon, a busy one) or lost (Explorer restarted):
// it is then added again, and the notices meant for the user wait for it.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

class TrayIcon {
public:
    HWND hwnd = nullptr;  // the main window, which receives the icon's messages
    bool added = false;   // the icon is in the notification area

    // Puts the icon in the notification area, or finds it still there. While
    // the area refuses it, the window gets timer kTimerTrayRetry, whose ticks
    // call this again; once the icon is there the waiting notices are shown.
    // Also the answer to "TaskbarCreated": a new taskbar knows no icons.
    void add(HWND window);
    void remove();
    // A notice the user must see: shown now, or as soon as the icon is there
    // again. Texts longer than the record's fields are cut to fit.
    void show_balloon(const std::wstring& title, const std::wstring& text);
    // A balloon about this moment only (a copy): dropped when there is no icon.
    void show_balloon_now(const std::wstring& title, const std::wstring& text);

private:
    struct Notice {
        std::wstring title, text;
        bool operator==(const Notice&) const = default;
    };
    // False when the icon is gone, which starts the retries.
    bool show(const Notice& notice);
    void wait_for_icon();

    std::vector<Notice> waiting;
};

// The message a new taskbar sends every top-level window ("TaskbarCreated").
UINT taskbar_created_message();

// The icon's record for adding it (message, icon, tip).
NOTIFYICONDATAW tray_icon_record(HWND window, HICON icon);
// The record for a balloon: title and text cut to their fields, always
// terminated, never splitting a surrogate pair.
NOTIFYICONDATAW tray_balloon_record(HWND window, const std::wstring& title, const std::wstring& text);
