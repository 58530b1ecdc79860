#include "services/tray_icon.h"
#include "services/ids.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(TrayIconRecord, BalloonTextsAreCutToTheirFieldsAndTerminated) {
    const std::wstring title(200, L't');
    const std::wstring text(1000, L'x');
    NOTIFYICONDATAW nid = tray_balloon_record(nullptr, title, text);
    EXPECT_EQ(nid.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(nid.uID, 1u);
    EXPECT_EQ(std::wcslen(nid.szInfoTitle), 63u);
    EXPECT_EQ(std::wcslen(nid.szInfo), 255u);
    EXPECT_EQ(std::wstring(nid.szInfoTitle), title.substr(0, 63));

    // A surrogate pair across the cut is dropped whole, never halved.
    const std::wstring emoji_title = std::wstring(62, L'a') + L"\U0001F600";
    nid = tray_balloon_record(nullptr, emoji_title, L"short");
    EXPECT_EQ(std::wstring(nid.szInfoTitle), std::wstring(62, L'a'));
    EXPECT_EQ(std::wstring(nid.szInfo), L"short");

    // Texts that fit are kept whole.
    nid = tray_balloon_record(nullptr, std::wstring(63, L'a'), std::wstring(255, L'b'));
    EXPECT_EQ(std::wcslen(nid.szInfoTitle), 63u);
    EXPECT_EQ(std::wcslen(nid.szInfo), 255u);
}

TEST(TrayIconRecord, TheIconTalksBackWithTheTrayMessage) {
    NOTIFYICONDATAW nid = tray_icon_record(nullptr, nullptr);
    EXPECT_EQ(nid.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(nid.uFlags, 0x87u);
    EXPECT_EQ(nid.uCallbackMessage, kMsgTray);
    EXPECT_EQ(std::wstring(nid.szTip), L"Korvane");
}

// In the real notification area, where only an icon that is there takes a
// change of its tip.
TEST(TrayIcon, DoesNothingBeforeItWasAdded) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    auto icon_there = [&] {
        NOTIFYICONDATAW nid = tray_icon_record(window, nullptr);
        nid.uFlags = NIF_TIP;
        return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
    };
    TrayIcon tray;
    tray.add(window);
    EXPECT_TRUE(tray.added);
    EXPECT_TRUE(icon_there());

    // A record of the same window that never added its icon owns none.
    TrayIcon never;
    never.hwnd = window;
    never.show_balloon(L"title", L"text");
    never.remove();
    EXPECT_FALSE(never.added);
    EXPECT_TRUE(icon_there()) << "a record that never added the icon removed the one that is there";

    tray.remove();
    EXPECT_FALSE(tray.added);
    EXPECT_FALSE(icon_there());
    DestroyWindow(window);
}
