#include "test_support.h"

#include "services/encoding.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testsupport {

static LONG WINAPI crash_filter(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "\n*** unhandled exception 0x%08lx\n",
                 info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0ul);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

void install_crash_guard() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(crash_filter);
    std::set_terminate([] {
        std::fprintf(stderr, "\n*** std::terminate\n");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    });
}

TempDir::TempDir() {
    // Under Wine the Linux /tmp is Z:\tmp, where Linux programs used as
    // oracles see the same files under the plain path.
    std::wstring root = L"Z:\\tmp\\";
    if (GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        wchar_t base[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, base);
        root.assign(base, n);
    }
    static unsigned counter = 0;
    for (;;) {
        path_ = root + L"korvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() {
    // SHFileOperation wants a double-NUL-terminated list.
    std::wstring from = path_;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::wstring TempDir::file(const std::wstring& name) const { return path_ + L"\\" + name; }

static std::wstring windows_path_of(const char* linux_path) {
    std::wstring p = L"Z:" + wide_from_utf8(linux_path);
    for (auto& c : p)
        if (c == L'/') c = L'\\';
    return p;
}

std::wstring source_dir() { return windows_path_of(KORVANE_SOURCE_DIR); }
std::wstring binary_dir() { return windows_path_of(KORVANE_BINARY_DIR); }

std::string linux_path(const std::wstring& windows_path) {
    // Drive Z: is the Linux root; any other drive goes through Wine's own lookup.
    if (windows_path.size() >= 2 && (windows_path[0] == L'Z' || windows_path[0] == L'z') && windows_path[1] == L':') {
        std::string p = utf8_from_wide(windows_path.substr(2));
        for (auto& c : p)
            if (c == '\\') c = '/';
        return p;
    }
    using GetUnixName = char*(CDECL*)(const wchar_t*);
    static auto fn = reinterpret_cast<GetUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn) return {};
    char* unix_name = fn(windows_path.c_str());
    if (!unix_name) return {};
    std::string out = unix_name;
    HeapFree(GetProcessHeap(), 0, unix_name);
    return out;
}

std::vector<std::wstring> command_line_args() {
    std::vector<std::wstring> out;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return out;
    for (int i = 0; i < argc; ++i) out.emplace_back(argv[i]);
    LocalFree(argv);
    return out;
}

bool write_bytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream f(std::filesystem::path(path), std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

std::string read_bytes(const std::wstring& path) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace testsupport
