#include "app/app.h"
#include "capture/source_app.h"
#include "services/clipboard.h"
#include "services/focus.h"
#include "services/handles.h"
#include "services/ids.h"
#include "services/keystrokes.h"
#include "services/paste_threads.h"
#include "services/path_inside.h"
#include "services/proc_address.h"
#include "services/window_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// paste_target.exe in a process of its own, found by its window title.
class TargetProcess {
public:
    enum class Start { InFront, Minimized, MinimizedHung };

    // A target in front is found as soon as its window exists: keystrokes
    // wait_in_front() first.
    explicit TargetProcess(const std::wstring& title, const std::wstring& window_class = L"KorvaneTestPasteTarget",
                           Start start = Start::InFront) {
        std::wstring cmd = L"\"" + testsupport::binary_dir() +
                           L"\\tests\\helpers\\paste_target.exe\" ms=15000 \"title=" + title + L"\" class=" +
                           window_class + (start == Start::InFront ? L"" : L" minimized") +
                           (start == Start::MinimizedHung ? L" hung" : L"");
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
        // The helper says it is ready only on its output; here its window
        // shown (in front or minimized) with its edit control says the same.
        for (int i = 0; i < 400 && !edit_; ++i) {
            frame_ = FindWindowW(nullptr, title.c_str());
            HWND edit = frame_ ? FindWindowExW(frame_, nullptr, L"EDIT", nullptr) : nullptr;
            if (edit && IsWindowVisible(frame_)) edit_ = edit;
            else Sleep(25);
        }
        if (!edit_) frame_ = nullptr;
    }
    ~TargetProcess() {
        if (pi_.hProcess) {
            TerminateProcess(pi_.hProcess, 0);
            WaitForSingleObject(pi_.hProcess, 5000);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    HWND frame() const { return frame_; }
    // Waits until the target has been the foreground window, with the
    // keyboard focus in its edit control, for a moment on end: the window
    // manager may still move the focus once while it settles earlier
    // switches, and a focus change it makes between a Ctrl and its V drops
    // the Ctrl under Wine. No pumping meanwhile: a window of this thread
    // would take the activation back.
    bool wait_in_front(DWORD timeout_ms = 10000) const {
        const DWORD start = GetTickCount();
        DWORD held_since = 0;
        bool held = false;
        while (GetTickCount() - start < timeout_ms) {
            if (GetForegroundWindow() == frame_ && edit_has_focus()) {
                if (!held) held_since = GetTickCount();
                held = true;
                if (GetTickCount() - held_since >= 300) return true;
            } else {
                held = false;
            }
            Sleep(20);
        }
        return false;
    }
    // Whether the keyboard focus of the target's thread is in its edit control.
    bool edit_has_focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(frame_, nullptr), &info) && info.hwndFocus == edit_;
    }
    // What the edit control holds, once it holds something or after a while.
    std::wstring edit_text(int wait_ms = 3000) const {
        std::wstring text;
        for (int waited = 0; waited <= wait_ms; waited += 50) {
            wchar_t buf[512] = {};
            SendMessageTimeoutW(edit_, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
            text = buf;
            if (!text.empty()) break;
            Sleep(50);
        }
        return text;
    }

private:
    PROCESS_INFORMATION pi_{};
    HWND frame_ = nullptr;
    HWND edit_ = nullptr;
};

HWND own_window(const wchar_t* title) {
    return CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

bool take_message(HWND window, UINT msg) {
    MSG m;
    return PeekMessageW(&m, window, msg, msg, PM_REMOVE) != FALSE;
}

}  // namespace

TEST(Focus, OwnAndShellWindowsAreNeverTargets) {
    EXPECT_TRUE(is_own_or_shell_window(nullptr));
    ScopedWindow mine(own_window(L"own"));
    EXPECT_TRUE(is_own_or_shell_window(mine.get()));
    EXPECT_EQ(own_process_id(), GetCurrentProcessId());

    TargetProcess other(L"Another program");
    ASSERT_TRUE(other.frame());
    EXPECT_FALSE(is_own_or_shell_window(other.frame()));
    TargetProcess taskbar(L"Looks like the taskbar", L"Shell_TrayWnd");
    ASSERT_TRUE(taskbar.frame());
    EXPECT_TRUE(is_own_or_shell_window(taskbar.frame()));
    EXPECT_EQ(window_class_name(taskbar.frame()), L"Shell_TrayWnd");
    EXPECT_EQ(window_text(taskbar.frame()), L"Looks like the taskbar");

    // A click on the tray puts the taskbar in front: what opens the history
    // from there keeps the program the user was in as the target.
    App app;
    app.paste_target = other.frame();
    ASSERT_TRUE(taskbar.wait_in_front());
    app.remember_foreground(TargetRoad::Hotkey);
    EXPECT_EQ(app.paste_target, other.frame());
    // A hotkey pressed over the desktop pastes there.
    TargetProcess desktop(L"Looks like the desktop", L"Progman");
    ASSERT_TRUE(desktop.wait_in_front());
    app.remember_foreground();
    EXPECT_EQ(app.paste_target, other.frame());
    app.remember_foreground(TargetRoad::Hotkey);
    EXPECT_EQ(app.paste_target, desktop.frame());
}

TEST(SourceApp, NamesAnotherProgramAndKeepsNoHandle) {
    TargetProcess other(L"Some program");
    ASSERT_TRUE(other.frame());
    EXPECT_EQ(process_name_of_window(other.frame()), L"paste_target.exe");
    EXPECT_EQ(process_name_of_window(nullptr), L"");
    // Each lookup opens the other process; none may stay open. Windows
    // counts the handles; Wine reports 0, but gives a new handle the lowest
    // free number, which grows with every handle left open.
    const auto handles_in_use = [] {
        DWORD count = 0;
        if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
        constexpr UINT_PTR kHandleStep = 4;  // handle numbers come four apart
        ScopedHandle probe(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(probe.get()) / kHandleStep);
    };
    const DWORD before = handles_in_use();
    for (int i = 0; i < 200; ++i) process_name_of_window(other.frame());
    EXPECT_LT(handles_in_use(), before + 5);
}

TEST(Focus, ForegroundAndCtrlVReachAnotherProgram) {
    // Another program in front, and one the user minimized earlier.
    TargetProcess in_front(L"In front first");
    ASSERT_TRUE(in_front.frame());
    ASSERT_TRUE(in_front.wait_in_front());
    TargetProcess target(L"Paste here", L"KorvaneTestPasteTarget", TargetProcess::Start::Minimized);
    ASSERT_TRUE(target.frame());
    ASSERT_TRUE(IsIconic(target.frame()));

    set_clipboard_text(L"pasted by keystrokes");
    EXPECT_FALSE(force_foreground(nullptr));
    EXPECT_TRUE(force_foreground(target.frame()));
    EXPECT_TRUE(target.wait_in_front()) << "in front: " << testing::PrintToString(window_text(GetForegroundWindow()))
                                        << ", target focus on its edit: " << target.edit_has_focus();
    EXPECT_FALSE(IsIconic(target.frame()));
    send_ctrl_v();
    EXPECT_EQ(target.edit_text(), L"pasted by keystrokes");
}

TEST(PasteThreads, MainWindowPasteShowsTheWindowAgainOnlyWhenAskedAndBeforeItsEnd) {
    TargetProcess target(L"Paste target of a thread");
    ASSERT_TRUE(target.frame());
    ASSERT_TRUE(target.wait_in_front());
    ScopedWindow main_window(own_window(L"main"));
    set_clipboard_text(L"list");

    paste_selected_thread(PasteRequest{target.frame(), main_window.get(), false});
    EXPECT_EQ(target.edit_text(), L"list");
    EXPECT_FALSE(take_message(main_window.get(), kMsgShowMain));

    // A worker given up on while it hung finds another paste pending: no keys.
    set_paste_turn(2);
    paste_selected_thread(PasteRequest{target.frame(), main_window.get(), false, 0, 1});
    set_paste_turn(0);
    MSG m{};
    while (PeekMessageW(&m, main_window.get(), 0, 0, PM_REMOVE)) continue;
    paste_text_thread(PasteRequest{target.frame(), main_window.get(), true});
    // Its window's return is its own: it comes before its end, where a paste queued behind it starts.
    PeekMessageW(&m, main_window.get(), 0, 0, PM_REMOVE);
    EXPECT_EQ(m.message, kMsgShowMain);
    EXPECT_EQ(target.edit_text(), L"listlist");
}

TEST(PasteThreads, AWorkerNeverWaitsOnAProgramThatHangs) {
    TargetProcess hung(L"Hangs", L"KorvaneTestPasteTarget", TargetProcess::Start::MinimizedHung);
    ASSERT_TRUE(hung.frame());
    ScopedWindow main_window(own_window(L"main"));
    // Its paste is not the pending one: it sends no keys to the hung program.
    ASSERT_TRUE(start_detached(quick_slot_paste_thread, PasteRequest{hung.frame(), main_window.get(), false, 0, 1}));
    bool done = false;
    for (int i = 0; i < 100 && !done; ++i, Sleep(50)) done = take_message(main_window.get(), kMsgPasteDone);
    EXPECT_TRUE(done);
}

TEST(Keystrokes, ModifierWaitAndPlainRepaste) {
    // Nothing held: no wait at all; Shift, or the hotkey's own key, held:
    // the wait runs to its time-out and says so.
    DWORD start = GetTickCount();
    EXPECT_TRUE(wait_modifiers_released(5000, VK_F13));
    EXPECT_LT(GetTickCount() - start, 2000u);
    for (BYTE held : {BYTE(VK_SHIFT), BYTE(VK_F13)}) {
        keybd_event(held, 0, 0, 0);
        start = GetTickCount();
        EXPECT_FALSE(wait_modifiers_released(300, VK_F13));
        const DWORD waited = GetTickCount() - start;
        // A zero or negative time-out returns at once, even with a key held.
        start = GetTickCount();
        wait_modifiers_released(-100, VK_F13);
        wait_modifiers_released(0, VK_F13);
        const DWORD no_wait = GetTickCount() - start;
        keybd_event(held, 0, KEYEVENTF_KEYUP, 0);
        EXPECT_GE(waited, 250u);
        EXPECT_LT(no_wait, 200u);
    }

    TargetProcess target(L"Plain paste target");
    ASSERT_TRUE(target.frame());
    ASSERT_TRUE(target.wait_in_front());
    ASSERT_TRUE(force_foreground(target.frame()));
    put_entry_on_clipboard(L"plain words", "{\\rtf1 {\\b plain} words}", "<b>plain</b> words", {});
    repaste_clipboard();
    EXPECT_EQ(target.edit_text(), L"plain words");
    EXPECT_FALSE(IsClipboardFormatAvailable(rtf_clipboard_format()));
    EXPECT_FALSE(IsClipboardFormatAvailable(html_clipboard_format()));
    EXPECT_EQ(get_clipboard_text(), L"plain words");

    // A copy that asked not to be recorded asks it still.
    set_clipboard_text(L" and a secret", true);
    repaste_clipboard();
    EXPECT_EQ(target.edit_text(), L"plain words and a secret");
    EXPECT_TRUE(has_exclusion_format());
}

// Every new thread takes the loader's lock before it runs: while the test
// holds it, the watch's thread cannot start, and the watch goes first. Its
// end does not wait for that thread, which works on what it shares with the
// watch alone: that outlives the watch, and goes with the thread.
TEST(Keystrokes, AWatchWhoseThreadNeverRanEndsAtOnce) {
    using LoaderLock = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
    using LoaderUnlock = LONG(NTAPI*)(ULONG, ULONG_PTR);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto lock = proc_address<LoaderLock>(ntdll, "LdrLockLoaderLock");
    const auto unlock = proc_address<LoaderUnlock>(ntdll, "LdrUnlockLoaderLock");
    ASSERT_TRUE(lock && unlock);
    ULONG_PTR cookie = 0;
    lock(0, nullptr, &cookie);
    std::optional<KeyWatch> watch(std::in_place);
    watch->watch(VK_F13);
    const std::weak_ptr<const void> state = watch->thread_state();
    const DWORD start = GetTickCount();
    watch.reset();
    const DWORD end_ms = GetTickCount() - start;
    const bool outlived = !state.expired();
    unlock(0, cookie);
    for (int i = 0; i < 100 && !state.expired(); ++i) Sleep(20);  // the thread runs now
    EXPECT_LT(end_ms, 100u);                                      // no wait for it
    EXPECT_TRUE(outlived);
    EXPECT_TRUE(state.expired());
}

TEST(WindowUtil, WidthForClientAndPaths) {
    const int frame_only = window_width_for_client(nullptr, 0);
    EXPECT_GT(frame_only, 0);
    EXPECT_EQ(window_width_for_client(nullptr, -40), frame_only);
    EXPECT_EQ(window_width_for_client(nullptr, 300), frame_only + 300);
    ScopedWindow popup(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(window_width_for_client(popup.get(), 300), 300);  // no frame at all
    EXPECT_EQ(window_text(popup.get()), L"");

    EXPECT_TRUE(is_path_inside(L"C:\\Shots\\a.png", L"C:\\Shots"));
    EXPECT_TRUE(is_path_inside(L"c:\\shots\\sub\\a.png", L"C:\\SHOTS\\\\"));
    EXPECT_TRUE(is_path_inside(L"C:/Shots/a.png", L"C:\\Shots"));
    EXPECT_FALSE(is_path_inside(L"C:\\Shots2\\a.png", L"C:\\Shots"));
    EXPECT_FALSE(is_path_inside(L"C:\\Shots", L"C:\\Shots"));
    EXPECT_FALSE(is_path_inside(L"C:\\Other\\a.png", L"C:\\Shots"));
    EXPECT_FALSE(is_path_inside(L"", L"C:\\Shots"));
    EXPECT_FALSE(is_path_inside(L"C:\\Shots\\a.png", L""));
    EXPECT_TRUE(is_path_inside(L"C:\\a.png", L"C:\\"));
}
