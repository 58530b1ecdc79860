#pragma once
// The notification-area icon: added when the main window is created, removed
// when it is destroyed, and used for short balloon messages.

#include <windows.h>
#include <shellapi.h>

#include <string>

class TrayIcon {
public:
    HWND hwnd = nullptr;  // the main window, which receives the icon's messages
    bool added = false;   // the icon is in the notification area

    void add(HWND window);
    void remove();
    // Does nothing unless the icon was added. Texts longer than the record's
    // fields are cut to fit.
    void show_balloon(const std::wstring& title, const std::wstring& text);
};

// The icon's record for adding it (message, icon, tip).
NOTIFYICONDATAW tray_icon_record(HWND window, HICON icon);
// The record for a balloon: title and text cut to their fields, always
// terminated, never splitting a surrogate pair.
NOTIFYICONDATAW tray_balloon_record(HWND window, const std::wstring& title, const std::wstring& text);
