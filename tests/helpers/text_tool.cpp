// Converts files with the program's own text functions, for tests that
// compare the results with an outside implementation.
//   text_tool base64 <dir>   for every <name>.bin writes <name>.b64 (encoded)
//                            and for every <name>.txt writes <name>.dec (decoded)
//   text_tool utf8 <dir>     for every <name>.u8 writes <name>.u16 (UTF-16LE)
//                            and for every <name>.w16 writes <name>.w8 (UTF-8)
#include "helpers/probe_util.h"
#include "services/encoding.h"
#include "support/test_support.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

template <typename Fn>
int for_each_file(const std::wstring& dir, const std::wstring& ext, Fn fn) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*" + ext).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do {
        std::wstring name = fd.cFileName;
        fn(dir + L"\\" + name.substr(0, name.size() - ext.size()));
        ++n;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

}  // namespace

int main() {
    install_crash_guard();
    const std::vector<std::wstring> args = command_line_args();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: text_tool base64|utf8 <dir>\n");
        return 2;
    }
    const std::wstring& mode = args[1];
    const std::wstring& dir = args[2];
    int n = 0;
    if (mode == L"base64") {
        n += for_each_file(dir, L".bin", [](const std::wstring& base) {
            const std::string raw = read_bytes(base + L".bin");
            write_bytes(base + L".b64", base64_encode(Bytes(raw.begin(), raw.end())));
        });
        n += for_each_file(dir, L".txt", [](const std::wstring& base) {
            const Bytes dec = base64_decode(read_bytes(base + L".txt"));
            write_bytes(base + L".dec", std::string(dec.begin(), dec.end()));
        });
    } else if (mode == L"utf8") {
        n += for_each_file(dir, L".u8", [](const std::wstring& base) {
            const std::wstring w = wide_from_utf8(read_bytes(base + L".u8"));
            write_bytes(base + L".u16", std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2));
        });
        n += for_each_file(dir, L".w16", [](const std::wstring& base) {
            const std::string raw = read_bytes(base + L".w16");
            const std::wstring w(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / 2);
            write_bytes(base + L".w8", utf8_from_wide(w));
        });
    } else {
        return probe::bad_arguments();
    }
    std::printf("%d\n", n);
    return 0;
}
