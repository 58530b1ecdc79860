#include "services/tray_icon.h"

#include "services/bitmap.h"
#include "services/ids.h"
#include "services/text_util.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr UINT kIconId = 1;
constexpr UINT kRetryMs = 3000;
// Notices kept while there is no icon; the oldest go first.
constexpr size_t kMostWaiting = 8;

template <size_t N>
void copy_into_field(wchar_t (&field)[N], const std::wstring& text) {
    const std::wstring cut = cut_code_units(text, N - 1);
    std::wmemcpy(field, cut.c_str(), cut.size());
    field[cut.size()] = L'\0';
}

NOTIFYICONDATAW base_record(HWND window) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = kIconId;
    return nid;
}

HICON load_tray_icon() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    HICON icon = load_app_icon(module, SM_CXSMICON, SM_CYSMICON);
    if (!icon) icon = LoadIconW(module, MAKEINTRESOURCEW(kAppIconResource));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    return icon;
}

}  // namespace

NOTIFYICONDATAW tray_icon_record(HWND window, HICON icon) {
    NOTIFYICONDATAW nid = base_record(window);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    nid.uCallbackMessage = kMsgTray;
    nid.hIcon = icon;
    copy_into_field(nid.szTip, L"Korvane");
    return nid;
}

NOTIFYICONDATAW tray_balloon_record(HWND window, const std::wstring& title, const std::wstring& text) {
    NOTIFYICONDATAW nid = base_record(window);
    nid.uFlags = NIF_INFO;
    nid.dwInfoFlags = NIIF_NONE;
    copy_into_field(nid.szInfoTitle, title);
    copy_into_field(nid.szInfo, text);
    return nid;
}

UINT taskbar_created_message() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::add(HWND window) {
    hwnd = window;
    NOTIFYICONDATAW nid = tray_icon_record(window, load_tray_icon());
    // A taskbar that announces itself again may still hold the icon, and
    // refuses to add it twice.
    added = Shell_NotifyIconW(NIM_ADD, &nid) || Shell_NotifyIconW(NIM_MODIFY, &nid);
    if (!added) return wait_for_icon();
    KillTimer(window, kTimerTrayRetry);
    std::vector<Notice> notices;
    notices.swap(waiting);
    for (const Notice& notice : notices) show_balloon(notice.title, notice.text);
}

void TrayIcon::remove() {
    if (hwnd) KillTimer(hwnd, kTimerTrayRetry);
    waiting.clear();
    if (!added) return;
    NOTIFYICONDATAW nid = base_record(hwnd);
    Shell_NotifyIconW(NIM_DELETE, &nid);
    added = false;
}

void TrayIcon::show_balloon(const std::wstring& title, const std::wstring& text) {
    const Notice notice{title, text};
    if (added && show(notice)) return;
    if (std::find(waiting.begin(), waiting.end(), notice) != waiting.end()) return;
    if (waiting.size() == kMostWaiting) waiting.erase(waiting.begin());
    waiting.push_back(notice);
}

void TrayIcon::show_balloon_now(const std::wstring& title, const std::wstring& text) {
    if (added) show({title, text});
}

bool TrayIcon::show(const Notice& notice) {
    NOTIFYICONDATAW nid = tray_balloon_record(hwnd, notice.title, notice.text);
    if (Shell_NotifyIconW(NIM_MODIFY, &nid)) return true;
    wait_for_icon();
    return false;
}

void TrayIcon::wait_for_icon() {
    added = false;
    if (hwnd) SetTimer(hwnd, kTimerTrayRetry, kRetryMs, nullptr);
}
