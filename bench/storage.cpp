// What the history database costs beside plain SQLite doing the same reads
// and writes in the same run. Prints figures and ratios; asserts nothing.
//
//   bench_storage.exe [folder]     (default: the temporary folder)

#include "storage/history_db.h"

#include "services/encoding.h"

#include <windows.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Median of several runs, in milliseconds.
double time_ms(int runs, const std::function<void()>& work) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void report(const char* what, double ours, double bare) {
    std::printf("%-48s %10.3f ms   bare SQLite %10.3f ms   ratio %6.2f\n", what, ours, bare,
                bare > 0 ? ours / bare : 0.0);
}

std::wstring fresh_folder(const std::wstring& base) {
    std::wstring folder = base + L"\\korvane-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void remove_db(const std::wstring& path) {
    for (const wchar_t* suffix : {L"", L"-wal", L"-shm"}) DeleteFileW((path + suffix).c_str());
}

sqlite3* open_raw(const std::wstring& path) {
    sqlite3* raw = nullptr;
    sqlite3_open(utf8_from_wide(path).c_str(), &raw);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    return raw;
}

// The list of 200 text entries beside 50 images of about 1 MB each.
void bench_lists(const std::wstring& folder) {
    const std::wstring path = folder + L"\\lists.db";
    remove_db(path);
    std::vector<std::int64_t> text_ids;
    {
        HistoryDb db(path);
        Bytes image(1 << 20);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
        // Pinned, so that the cap spares them while the texts are added.
        std::vector<std::int64_t> image_ids;
        for (int i = 0; i < 50; ++i) {
            image[0] = static_cast<std::uint8_t>(i);
            image_ids.push_back(
                db.add_entry(L"", {}, {}, image, L"app.exe", true, true, std::nullopt, L"", L"", false));
        }
        db.set_pinned_many(image_ids, true);
        for (int i = 0; i < 200; ++i)
            text_ids.push_back(db.add_entry(L"Text entry number " + std::to_wstring(i) + L" with some words",
                                            "{\\rtf1 rich}", "<b>html</b>", {}, L"app.exe", false, false, std::nullopt,
                                            L"Window", L"http://example/", true));
    }

    HistoryDb db(path);
    sqlite3* raw = open_raw(path);
    const double ours = time_ms(15, [&] { db.list_entries(L"all", false, false); });
    const double bare = time_ms(15, [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(
            raw,
            "SELECT id, text, created_at, pinned, category_id, use_count, source_app, is_image, source_title, "
            "source_url, is_browser_page, link_title, keep, rtf, html, image, custom_title FROM history "
            "WHERE deleted_at IS NULL AND is_image=0 ORDER BY sort_order DESC",
            -1, &stmt, nullptr);
        std::vector<HistoryEntry> out;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            HistoryEntry e;
            e.id = sqlite3_column_int64(stmt, 0);
            e.text = wide_from_utf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
            e.created_at = wide_from_utf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)));
            const auto* rtf = static_cast<const char*>(sqlite3_column_blob(stmt, 13));
            e.rtf.assign(rtf ? rtf : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 13)));
            const auto* html = static_cast<const char*>(sqlite3_column_blob(stmt, 14));
            e.html.assign(html ? html : "", static_cast<size_t>(sqlite3_column_bytes(stmt, 14)));
            out.push_back(std::move(e));
        }
        sqlite3_finalize(stmt);
    });
    report("list_entries(\"all\"), 200 texts beside 50 images", ours, bare);

    const double images = time_ms(5, [&] { db.list_entries(L"images", false, false); });
    const double images_bare = time_ms(5, [&] {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw,
                           "SELECT id, image FROM history WHERE deleted_at IS NULL AND is_image=1 "
                           "ORDER BY sort_order DESC",
                           -1, &stmt, nullptr);
        std::vector<Bytes> out;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt, 1));
            out.emplace_back(p, p + sqlite3_column_bytes(stmt, 1));
        }
        sqlite3_finalize(stmt);
    });
    report("list_entries(\"images\"), 50 images of 1 MB", images, images_bare);

    // A single-row read through the statement functions (get_keep is one query).
    const std::int64_t id = text_ids[100];
    constexpr int kReads = 2000;
    const double one_ours = time_ms(5,
                                    [&] {
                                        for (int i = 0; i < kReads; ++i) db.get_keep(id);
                                    }) /
                            kReads;
    const double one_bare =
        time_ms(5,
                [&] {
                    for (int i = 0; i < kReads; ++i) {
                        sqlite3_stmt* stmt = nullptr;
                        sqlite3_prepare_v2(raw, "SELECT keep FROM history WHERE id=?1", -1, &stmt, nullptr);
                        sqlite3_bind_int64(stmt, 1, id);
                        sqlite3_step(stmt);
                        sqlite3_finalize(stmt);
                    }
                }) /
        kReads;
    report("single-row query (get_keep), per call", one_ours, one_bare);
    sqlite3_close(raw);
}

// 10,000 distinct captures with the cap deleting one row per add past 200.
void bench_adds(const std::wstring& folder) {
    constexpr int kAdds = 10000;
    std::vector<std::wstring> texts;
    for (int i = 0; i < kAdds; ++i) texts.push_back(L"Captured text " + std::to_wstring(i) + L" lorem ipsum");

    const std::wstring ours_path = folder + L"\\adds.db";
    remove_db(ours_path);
    double ours = 0;
    {
        HistoryDb db(ours_path);
        const auto start = Clock::now();
        for (const auto& t : texts)
            db.add_entry(t, {}, {}, {}, L"app.exe", false, false, std::nullopt, L"", L"", false);
        ours = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    const std::wstring bare_path = folder + L"\\adds-bare.db";
    remove_db(bare_path);
    { HistoryDb schema(bare_path); }
    sqlite3* raw = open_raw(bare_path);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO history (text, created_at, sort_order, source_app) VALUES (?1,?2,?3,?4)", -1,
                       &insert, nullptr);
    const auto start = Clock::now();
    for (int i = 0; i < kAdds; ++i) {
        const std::string text = utf8_from_wide(texts[i]);
        sqlite3_bind_text(insert, 1, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, "2024-01-01T00:00:00", -1, SQLITE_STATIC);
        sqlite3_bind_int64(insert, 3, i + 1);
        sqlite3_bind_text(insert, 4, "app.exe", -1, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    const double bare = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    sqlite3_finalize(insert);
    sqlite3_close(raw);
    report("add_entry x 10000 with the cap", ours, bare);
    std::printf("%-48s %10.3f ms\n", "  per add_entry", ours / kAdds);

    // Moving one entry in the 200-entry view rewrites every row's order.
    HistoryDb db(ours_path);
    const auto shown = db.list_entries(L"all", false, false);
    const std::int64_t middle = shown[shown.size() / 2].id;
    int direction = 1;
    const double move = time_ms(21, [&] {
        db.move_entries({middle}, direction, false, make_view_scope(0, 0));
        direction = -direction;
    });
    std::printf("%-48s %10.3f ms\n", "move_entries, one entry in a 200-entry view", move);
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring base;
    if (argc > 1) {
        base = wide_from_utf8(argv[1]);
    } else {
        wchar_t tmp[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
        base.assign(tmp, n);
        while (!base.empty() && base.back() == L'\\') base.pop_back();
    }
    const std::wstring folder = fresh_folder(base);
    std::printf("History storage benchmark (SQLite %s)\n", sqlite3_libversion());
    bench_lists(folder);
    bench_adds(folder);
    for (const wchar_t* name : {L"lists.db", L"adds.db", L"adds-bare.db"}) remove_db(folder + L"\\" + name);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
