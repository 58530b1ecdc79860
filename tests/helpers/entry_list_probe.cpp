// Looks at and drives the entry list of a running Korvane from outside, as
// the user's mouse would. One command per run; prints "key value" lines.
//
//   entry_list_probe rows                    "row <index> <item data> <selected> <hex of UTF-8 text>"
//                                            for every row, then "visible <0|1>"
//   entry_list_probe select <data>...        exactly the rows with these item data become selected
//   entry_list_probe click <data> left|right|double
//                                            a real click on the row (scrolled into view first)
//   entry_list_probe click-blank right       a real click on the list below its last row
//   entry_list_probe view <sidebar data>     chooses the sidebar row with that item data
//   entry_list_probe box <class> <button id> <timeout ms> [text=<hex>]
//                                            waits for a box of the class, prints "title <hex>",
//                                            "text <hex>" for its static texts and "field <length>"
//                                            for its edit field, fills the field when text= is
//                                            given, then clicks the button; "no-box" when none came
//   entry_list_probe no-box <class> <ms>     "none" when no box of the class shows for ms
//   entry_list_probe target-text             "text <hex>": what the paste target's edit holds now

#include "app/ids.h"
#include "services/encoding.h"
#include "support/desktop_input.h"
#include "support/remote_window.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND main_window() { return FindWindowW(kMainWindowClass, nullptr); }
HWND child(int id) {
    HWND main = main_window();
    return main ? GetDlgItem(main, id) : nullptr;
}

std::string hex(const std::wstring& text) {
    std::string out;
    char digits[3];
    for (unsigned char c : utf8_from_wide(text)) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out.empty() ? "-" : out;
}

std::string unhex(const std::string& h) {
    std::string out;
    for (size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return out;
}

// LB_GETTEXT reaches into the other process: Wine and Windows carry list-box texts across.
std::wstring row_text(HWND list, int row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

int row_of(HWND list, long long data) {
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        if (static_cast<long long>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == data)
            return static_cast<int>(row);
    return -1;
}

int rows() {
    HWND list = child(kIdEntryList);
    if (!list) {
        std::printf("no-list\n");
        return 1;
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        const auto data = static_cast<long long>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
        const bool selected = SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
        std::printf("row %d %lld %d %s\n", static_cast<int>(row), data, selected ? 1 : 0,
                    hex(row_text(list, static_cast<int>(row))).c_str());
    }
    std::printf("visible %d\n", IsWindowVisible(main_window()) ? 1 : 0);
    return 0;
}

int select(int argc, char** argv) {
    HWND list = child(kIdEntryList);
    if (!list) return 1;
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    int first = -1, n = 0;
    for (int i = 0; i < argc; ++i) {
        const int row = row_of(list, std::strtoll(argv[i], nullptr, 0));
        if (row < 0) continue;
        SendMessageW(list, LB_SETSEL, TRUE, row);
        if (first < 0) first = row;
        ++n;
    }
    if (first >= 0) SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(first), FALSE);
    std::printf("selected %d\n", n);
    return n == argc ? 0 : 1;
}

// The row's rectangle on the screen, after scrolling it into view.
bool row_on_screen(HWND list, int row, RECT& out) {
    RECT client{};
    GetClientRect(list, &client);
    RECT r{};
    if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return false;
    if (r.top < 0 || r.bottom > client.bottom) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
        Sleep(100);
        if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
            return false;
    }
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    out = r;
    return true;
}

void click(POINT at, const std::string& how) {
    if (how == "double") {
        testsupport::click_at(at);
        Sleep(50);
        testsupport::click_at(at);
    } else {
        testsupport::click_at(at, how == "right");
    }
    Sleep(200);
}

int click_row(long long data, const std::string& how) {
    HWND list = child(kIdEntryList);
    const int row = list ? row_of(list, data) : -1;
    RECT r{};
    if (row < 0 || !row_on_screen(list, row, r)) {
        std::printf("no-row\n");
        return 1;
    }
    click({r.left + 40, (r.top + r.bottom) / 2}, how);
    std::printf("clicked %d\n", row);
    return 0;
}

int click_blank(const std::string& how) {
    HWND list = child(kIdEntryList);
    if (!list) return 1;
    RECT client{};
    GetClientRect(list, &client);
    POINT at{client.right / 2, client.bottom - 6};
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    if (HIWORD(hit) == 0) {
        std::printf("no-blank\n");
        return 1;
    }
    ClientToScreen(list, &at);
    click(at, how);
    std::printf("clicked blank\n");
    return 0;
}

int view(long long data) {
    HWND sidebar = child(kIdSidebar);
    const int row = sidebar ? row_of(sidebar, data) : -1;
    if (row < 0) {
        std::printf("no-view\n");
        return 1;
    }
    SendMessageW(sidebar, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(main_window(), WM_COMMAND, MAKEWPARAM(kIdSidebar, LBN_SELCHANGE), reinterpret_cast<LPARAM>(sidebar));
    std::printf("view %d\n", row);
    return 0;
}

// A visible top-level window of the class that belongs to the program.
HWND find_box(const std::wstring& cls) {
    struct Search {
        DWORD pid = 0;
        std::wstring cls;
        HWND found = nullptr;
    } search{0, cls, nullptr};
    HWND main = main_window();
    if (!main) return nullptr;
    GetWindowThreadProcessId(main, &search.pid);
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != s->pid || s->cls != name || !IsWindowVisible(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND wait_box(const std::wstring& cls, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND box = find_box(cls)) return box;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(30);
    }
}

int answer_box(const std::wstring& cls, int button, DWORD ms, const std::string& text_hex) {
    HWND box = wait_box(cls, ms);
    if (!box) {
        std::printf("no-box\n");
        return 1;
    }
    Sleep(150);  // let it finish showing
    std::printf("title %s\n", hex(testsupport::remote_text(box)).c_str());
    HWND field = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(c, name, 64);
        if (std::wstring(name) == L"Static") {
            const std::wstring text = testsupport::remote_text(c);
            if (!text.empty()) std::printf("text %s\n", hex(text).c_str());
        } else if (std::wstring(name) == L"Edit") {
            field = c;
            std::printf("field %ld\n", static_cast<long>(SendMessageW(c, WM_GETTEXTLENGTH, 0, 0)));
        }
    }
    if (!text_hex.empty() && field) {
        const std::wstring text = wide_from_utf8(unhex(text_hex));
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    HWND target = GetDlgItem(box, button);
    if (!target) {
        std::printf("no-button\n");
        return 1;
    }
    testsupport::click_at(testsupport::client_center(target));
    const DWORD start = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < 5000) Sleep(30);
    std::printf(IsWindow(box) && IsWindowVisible(box) ? "still-open\n" : "answered\n");
    return 0;
}

int no_box(const std::wstring& cls, DWORD ms) {
    std::printf(wait_box(cls, ms) ? "box\n" : "none\n");
    return 0;
}

int target_text() {
    HWND frame = FindWindowW(L"KorvaneTestPasteTarget", nullptr);
    HWND edit = frame ? GetWindow(frame, GW_CHILD) : nullptr;
    if (!edit) {
        std::printf("no-target\n");
        return 1;
    }
    std::printf("text %s\n", hex(testsupport::remote_text(edit)).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::install_crash_guard();
    if (argc < 2) return 2;
    const std::string cmd = argv[1];
    if (cmd == "rows") return rows();
    if (cmd == "select") return select(argc - 2, argv + 2);
    if (cmd == "click" && argc >= 4) return click_row(std::strtoll(argv[2], nullptr, 0), argv[3]);
    if (cmd == "click-blank" && argc >= 3) return click_blank(argv[2]);
    if (cmd == "view" && argc >= 3) return view(std::strtoll(argv[2], nullptr, 0));
    if (cmd == "box" && argc >= 5) {
        std::string text;
        if (argc >= 6 && std::string(argv[5]).rfind("text=", 0) == 0) text = std::string(argv[5]).substr(5);
        return answer_box(wide_from_utf8(argv[2]), std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 0), text);
    }
    if (cmd == "no-box" && argc >= 4) return no_box(wide_from_utf8(argv[2]), std::strtoul(argv[3], nullptr, 0));
    if (cmd == "target-text") return target_text();
    return 2;
}
