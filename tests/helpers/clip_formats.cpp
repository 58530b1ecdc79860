// Lists the clipboard's formats, one per line: the number and, for
// registered formats, the name.

#include "support/test_support.h"

#include <windows.h>

#include <cstdio>

int main() {
    testsupport::install_crash_guard();
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
    for (UINT fmt = EnumClipboardFormats(0); fmt != 0; fmt = EnumClipboardFormats(fmt)) {
        char name[256] = {};
        GetClipboardFormatNameA(fmt, name, sizeof name);
        std::printf("%u %s\n", fmt, name);
    }
    CloseClipboard();
    return 0;
}
