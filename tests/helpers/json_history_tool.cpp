// Drives the history file for the Python tests, which check its results with
// outside oracles (json, base64, sqlite3) after this program has closed the
// database.
//   json_history_tool <db> init                 create and migrate the file
//   json_history_tool <db> sample               add entries through the real operations
//   json_history_tool <db> export <file>        prints the number written, or "failed"
//   json_history_tool <db> import <file>...     prints the number imported, or "failed", one line per file
//   json_history_tool <db> refuse <bytes> ...   first makes every allocation of that size or more
//                                               fail, as with memory exhausted, then runs the rest

#include "storage/history_db.h"
#include "support/test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

// A large value then runs out of memory at a size a test can afford.
std::size_t refuse_from = SIZE_MAX;

}  // namespace

void* operator new(std::size_t size) {
    if (size >= refuse_from) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A tiny but complete PNG file (1x1, one grey pixel).
const Bytes kPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
                    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
                    0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x08,
                    0xD7, 0x63, 0x68, 0x00, 0x00, 0x00, 0x82, 0x00, 0x81, 0xDD, 0x43, 0x6A, 0xF4, 0x00,
                    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

void add_sample(HistoryDb& db) {
    const std::int64_t work = db.add_category(L"  \u0420\u0430\u0431\u043e\u0442\u0430  ");
    const std::int64_t misc = db.add_category(L"Misc \"quoted\"");
    db.toggle_category_pin(work);
    const std::int64_t a = db.add_entry(L"\u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600 \"q\" \\ end", "", "", {},
                                        L"app.exe", false, false, work, L"", L"", false);
    const std::int64_t b = db.add_entry(L"plain entry", "", "", {}, L"", false, false, std::nullopt, L"", L"", false);
    db.add_entry(L"in misc", "", "", {}, L"", false, false, misc, L"", L"", false);
    db.add_entry(L"", "", "", kPng, L"", true, true, misc, L"", L"", false);
    db.add_entry(L"pic", "", "", kPng, L"", true, true, std::nullopt, L"", L"", false);
    db.set_pinned_many({b}, true);
    // Trashed entries stay out of the file.
    const std::int64_t gone =
        db.add_entry(L"trashed one", "", "", {}, L"", false, false, std::nullopt, L"", L"", false);
    db.trash_entry(gone);
    std::printf("%lld %lld\n", static_cast<long long>(a), static_cast<long long>(b));
}

void print_result(int result) {
    if (result == kJsonFileFailed) std::printf("failed\n");
    else std::printf("%d\n", result);
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: json_history_tool <db> init|sample|export <file>|import <file>...\n");
        return 2;
    }
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    if (args.size() >= 4 && args[1] == L"refuse") {
        const std::size_t limit = std::stoull(args[2]);
        args.erase(args.begin() + 1, args.begin() + 3);
        refuse_from = limit;
    }

    HistoryDb db(args[0]);
    const std::wstring& command = args[1];
    if (command == L"init") {
        std::printf("ok\n");
    } else if (command == L"sample") {
        add_sample(db);
    } else if (command == L"export" && args.size() == 3) {
        print_result(db.export_json(args[2]));
    } else if (command == L"import" && args.size() >= 3) {
        for (size_t i = 2; i < args.size(); ++i) print_result(db.import_json(args[i]));
    } else {
        std::fprintf(stderr, "unknown command\n");
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
