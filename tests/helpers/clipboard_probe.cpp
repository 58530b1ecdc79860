// The clipboard as the program sees it, for a Python test that uses Linux
// programs (xclip) on the same X display. Text goes through UTF-8 files so
// that no locale stands between them.
//   clipboard_probe read <out.txt>            read_clipboard's text, as UTF-8
//   clipboard_probe write <in.txt> <seconds>  set_clipboard_text, then stays
//                                             alive so that X can still ask Wine for it;
//                                             prints "ready" once the text is there
//   clipboard_probe starved <bytes>           "before" on the clipboard, the address space used
//                                             up (the test limits it), a picture of that size put;
//                                             prints "put 0|1" and "clipboard <text there>"
#include "services/clipboard.h"
#include "services/encoding.h"

#include "helpers/probe_util.h"
#include "support/test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int starved(size_t picture_bytes) {
    set_clipboard_text(L"before");
    const Bytes picture(picture_bytes, 0x5A);
    // Half the picture's size at a time, so that less than the picture is left.
    std::vector<void*> reserved;
    for (int i = 0; i < 4096; ++i) {
        void* range = VirtualAlloc(nullptr, picture_bytes / 2, MEM_RESERVE, PAGE_NOACCESS);
        if (!range) break;
        reserved.push_back(range);
    }
    const bool put = put_entry_on_clipboard(L"", {}, {}, picture);
    for (void* range : reserved) VirtualFree(range, 0, MEM_RELEASE);
    std::printf("put %d\nclipboard %s\n", put ? 1 : 0, utf8_from_wide(get_clipboard_text()).c_str());
    return 0;
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return probe::bad_arguments();
    const std::wstring command = argv[1];
    if (command == L"read") {
        const std::string text = utf8_from_wide(read_clipboard().text);
        // An empty read writes an empty file; write_file refuses empty bytes.
        return testsupport::write_bytes(argv[2], text) ? 0 : probe::give_up(1, "the text file was not written");
    }
    if (command == L"write" && argc > 3) {
        if (!set_clipboard_text(wide_from_utf8(testsupport::read_bytes(argv[2]))))
            return probe::give_up(1, "the clipboard stayed open in another program");
        std::printf("ready\n");
        std::fflush(stdout);
        // A message loop keeps Wine's clipboard owner answering X requests.
        const DWORD end = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3])) * 1000;
        while (GetTickCount() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(20);
        }
        return 0;
    }
    if (command == L"starved") return starved(std::stoul(argv[2]));
    return probe::bad_arguments();
}
