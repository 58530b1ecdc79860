#pragma once
// Drives the program's modal windows (the confirm, input and view boxes, the
// template editor, the system's message boxes and the popup menu) from a
// thread timer, one step a tick, while the window's own modal loop runs
// inside the call under test. For GoogleTest programs only.

#include "services/ids.h"
#include "support/desktop_input.h"
#include "ui/menu/popup_menu_layout.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The system's message box (MessageBoxW) has this class.
inline constexpr wchar_t kMessageBoxClass[] = L"#32770";

// The box of this thread that is shown, or null: a message box first (it
// stands over the window that opened it), then a confirm, input or view box,
// then the template editor.
inline HWND open_box() {
    for (const wchar_t* cls : {kMessageBoxClass, kConfirmBoxClass, kInputBoxClass, kViewDialogClass,
                               kSnippetEditorClass}) {
        const std::vector<HWND> boxes = visible_thread_windows(cls);
        if (!boxes.empty()) return boxes.front();
    }
    return nullptr;
}

// The popup menu of this thread that is shown, or null.
inline HWND open_menu() {
    const std::vector<HWND> menus = visible_thread_windows(kPopupMenuClass);
    return menus.empty() ? nullptr : menus.front();
}

// What a message box says: the texts of its static controls, in order.
inline std::wstring message_box_text(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16]{};
        GetClassNameW(child, cls, 16);
        if (_wcsicmp(cls, L"Static") != 0) continue;
        wchar_t buffer[2048]{};
        GetWindowTextW(child, buffer, 2048);
        text += buffer;
    }
    return text;
}

// A left click in the middle of a control of the open box.
inline void click_control(int id) { click_at(client_center(GetDlgItem(open_box(), id))); }

// A left click on the row of the open menu that follows rows_above rows and
// separators_above separators; false when no menu is open.
inline bool click_menu_row(int rows_above, int separators_above = 0) {
    HWND menu = open_menu();
    if (!menu) return false;
    RECT r{};
    GetWindowRect(menu, &r);
    const int y =
        kMenuMargin + rows_above * kMenuRowHeight + separators_above * kMenuSeparatorHeight + kMenuRowHeight / 2;
    click_at(POINT{(r.left + r.right) / 2, r.top + y});
    return true;
}

// Plays one step a tick. A box or menu still open well after the last step
// is closed, so that a failing test cannot hang, and noted as a failure.
class BoxScript {
public:
    explicit BoxScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, kTickMs, &BoxScript::tick);
    }
    ~BoxScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
        EXPECT_FALSE(left_open_) << "a box or menu was still open after the script";
    }
    BoxScript(const BoxScript&) = delete;
    BoxScript& operator=(const BoxScript&) = delete;

    bool done() const { return next_ >= steps_.size(); }

private:
    static constexpr UINT kTickMs = 150;
    static constexpr int kIdleTicksBeforeClosing = 20;

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        BoxScript* s = current_;
        if (!s) return;
        if (s->next_ < s->steps_.size()) {
            s->steps_[s->next_++]();
        } else if (++s->idle_ > kIdleTicksBeforeClosing) {
            if (HWND box = open_box()) {
                s->left_open_ = true;
                PostMessageW(box, WM_CLOSE, 0, 0);
            } else if (open_menu()) {
                s->left_open_ = true;
                send_key(VK_ESCAPE);
            }
        }
    }

    static inline BoxScript* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    int idle_ = 0;
    bool left_open_ = false;
    UINT_PTR timer_ = 0;
};

}  // namespace testsupport
