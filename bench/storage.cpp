// What the history database costs beside plain SQLite doing the same reads
// and writes in the same run. Prints figures and ratios; asserts nothing.
//
//   bench_storage.exe [folder]     (default: the temporary folder)
//
// The reads run twice: through the memory map the program opens the file
// with, and with plain reads (no map), the bare connection always set the same
// way. A bare read fills every field of the entries the list returns; the
// pictures are read by id, as one statement would carry each one through its
// sort. Ours and the bare baseline run in turns, so both see the same load.

#include "storage/history_db.h"

#include "services/encoding.h"
#include "services/file_io.h"
#include "storage/json.h"

#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
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

// Medians of ours and the bare baseline, run in turns so that both see the
// same load on a machine others share.
struct Pair {
    double ours, bare;
};
Pair compare_ms(int runs, const std::function<void()>& ours, const std::function<void()>& bare) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(time_ms(1, ours));
        b.push_back(time_ms(1, bare));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

void report(const char* what, double ours, double bare) {
    std::printf("%-50s %10.3f ms   bare SQLite %10.3f ms   ratio %6.2f\n", what, ours, bare,
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

// A bare connection, read the way HistoryDb reads: WAL, and the same memory map.
sqlite3* open_raw(const std::wstring& path, std::int64_t map_bytes = kHistoryMapBytes) {
    sqlite3* raw = nullptr;
    sqlite3_open(utf8_from_wide(path).c_str(), &raw);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, ("PRAGMA mmap_size=" + std::to_string(map_bytes)).c_str(), nullptr, nullptr, nullptr);
    return raw;
}

// 200 text entries beside 50 pictures of about 1 MB each.
std::vector<std::int64_t> fill_lists(const std::wstring& path) {
    remove_db(path);
    std::vector<std::int64_t> text_ids;
    HistoryDb db(path);
    Bytes image(1 << 20);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
    // Pinned, so that the cap spares them while the texts are added.
    std::vector<std::int64_t> image_ids;
    for (int i = 0; i < 50; ++i) {
        image[0] = static_cast<std::uint8_t>(i);
        image_ids.push_back(db.add_entry(L"", {}, {}, image, L"app.exe", true, true, std::nullopt, L"", L"", false));
    }
    db.set_pinned_many(image_ids, true);
    for (int i = 0; i < 200; ++i)
        text_ids.push_back(db.add_entry(L"Text entry number " + std::to_wstring(i) + L" with some words",
                                        "{\\rtf1 rich}", "<b>html</b>", {}, L"app.exe", false, false, std::nullopt,
                                        L"Window", L"http://example/", true));
    return text_ids;
}

std::wstring text_column(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? wide_from_utf8(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column))))
                : std::wstring();
}

template <typename Out>
void blob_column(sqlite3_stmt* stmt, int column, Out& out) {
    const auto* p = static_cast<const typename Out::value_type*>(sqlite3_column_blob(stmt, column));
    if (p) out.assign(p, p + sqlite3_column_bytes(stmt, column));
}

// The bare read of the "all" view: the same rows in one statement, every
// field of the entry filled as the list fills it.
void bare_all(sqlite3* raw) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT id, text, created_at, pinned, category_id, use_count, source_app, is_image, "
                       "source_title, source_url, is_browser_page, link_title, keep, rtf, html, image, custom_title "
                       "FROM history WHERE deleted_at IS NULL AND is_image=0 ORDER BY sort_order DESC",
                       -1, &stmt, nullptr);
    std::vector<HistoryEntry> out;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        HistoryEntry e;
        e.id = sqlite3_column_int64(stmt, 0);
        e.text = text_column(stmt, 1);
        e.created_at = text_column(stmt, 2);
        e.pinned = sqlite3_column_int(stmt, 3) == 1;
        if (sqlite3_column_type(stmt, 4) != SQLITE_NULL) e.category_id = sqlite3_column_int64(stmt, 4);
        e.use_count = sqlite3_column_int64(stmt, 5);
        e.source_app = text_column(stmt, 6);
        e.is_image = sqlite3_column_int(stmt, 7) == 1;
        e.source_title = text_column(stmt, 8);
        e.source_url = text_column(stmt, 9);
        e.is_browser_page = sqlite3_column_int(stmt, 10) == 1;
        e.link_title = text_column(stmt, 11);
        e.keep = sqlite3_column_int(stmt, 12) == 1;
        blob_column(stmt, 13, e.rtf);
        blob_column(stmt, 14, e.html);
        blob_column(stmt, 15, e.image);
        e.custom_title = text_column(stmt, 16);
        out.push_back(std::move(e));
    }
    sqlite3_finalize(stmt);
}

// The bare read of the pictures: their ids in display order, then each
// picture by id (one statement carrying the pictures through the sort would
// copy every one of them into the sorter).
void bare_images(sqlite3* raw) {
    sqlite3_stmt* ids = nullptr;
    sqlite3_stmt* one = nullptr;
    sqlite3_prepare_v2(raw, "SELECT id FROM history WHERE deleted_at IS NULL AND is_image=1 ORDER BY sort_order DESC",
                       -1, &ids, nullptr);
    sqlite3_prepare_v2(raw, "SELECT image FROM history WHERE id=?1", -1, &one, nullptr);
    std::vector<Bytes> out;
    while (sqlite3_step(ids) == SQLITE_ROW) {
        sqlite3_bind_int64(one, 1, sqlite3_column_int64(ids, 0));
        if (sqlite3_step(one) == SQLITE_ROW) blob_column(one, 0, out.emplace_back());
        sqlite3_reset(one);
    }
    sqlite3_finalize(one);
    sqlite3_finalize(ids);
}

void bench_lists(const std::wstring& folder) {
    const std::wstring path = folder + L"\\lists.db";
    const std::vector<std::int64_t> text_ids = fill_lists(path);

    // Mapped reads, as the program opens the file, then plain reads.
    for (const std::int64_t map : {kHistoryMapBytes, std::int64_t(0)}) {
        const char* how = map ? "mapped" : "plain reads";
        char label[96];
        // Opening checks the whole file (quick_check) before anything else.
        const Pair open = compare_ms(
            5, [&] { HistoryDb check(path, map); },
            [&] {
                sqlite3* raw = open_raw(path, map);
                sqlite3_exec(raw, "SELECT count(*) FROM history", nullptr, nullptr, nullptr);
                sqlite3_close(raw);
            });
        std::snprintf(label, sizeof label, "open the 50 MB file (%s)", how);
        report(label, open.ours, open.bare);

        HistoryDb db(path, map);
        sqlite3* raw = open_raw(path, map);
        // Many runs: a list takes well under a millisecond.
        const Pair all = compare_ms(
            201, [&] { db.list_entries(L"all", false, false); }, [&] { bare_all(raw); });
        std::snprintf(label, sizeof label, "list_entries(\"all\"), 200 texts (%s)", how);
        report(label, all.ours, all.bare);

        const Pair images = compare_ms(
            7, [&] { db.list_entries(L"images", false, false); }, [&] { bare_images(raw); });
        std::snprintf(label, sizeof label, "list_entries(\"images\"), 50 x 1 MB (%s)", how);
        report(label, images.ours, images.bare);
        sqlite3_close(raw);
    }

    // A single-row read through the statement functions (get_keep is one query).
    HistoryDb db(path);
    sqlite3* raw = open_raw(path);
    const std::int64_t id = text_ids[100];
    constexpr int kReads = 2000;
    const Pair one = compare_ms(
        5,
        [&] {
            for (int i = 0; i < kReads; ++i) db.get_keep(id);
        },
        [&] {
            for (int i = 0; i < kReads; ++i) {
                sqlite3_stmt* stmt = nullptr;
                sqlite3_prepare_v2(raw, "SELECT keep FROM history WHERE id=?1", -1, &stmt, nullptr);
                sqlite3_bind_int64(stmt, 1, id);
                sqlite3_step(stmt);
                sqlite3_finalize(stmt);
            }
        });
    report("single-row query (get_keep), per call", one.ours / kReads, one.bare / kReads);
    sqlite3_close(raw);
}

// 10,000 distinct captures with the cap deleting one row per add past 200.
void bench_adds(const std::wstring& folder) {
    constexpr int kAdds = 10000;
    std::vector<std::wstring> texts;
    for (int i = 0; i < kAdds; ++i) texts.push_back(L"Captured text " + std::to_wstring(i) + L" lorem ipsum");

    // Both histories grow side by side, a hundred adds at a time in turns.
    const std::wstring ours_path = folder + L"\\adds.db";
    const std::wstring bare_path = folder + L"\\adds-bare.db";
    remove_db(ours_path);
    remove_db(bare_path);
    double ours = 0, bare = 0;
    {
        HistoryDb db(ours_path);
        { HistoryDb schema(bare_path); }
        sqlite3* raw = open_raw(bare_path);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(raw, "INSERT INTO history (text, created_at, sort_order, source_app) VALUES (?1,?2,?3,?4)",
                           -1, &insert, nullptr);
        constexpr int kTurn = 100;
        for (int first = 0; first < kAdds; first += kTurn) {
            auto start = Clock::now();
            for (int i = first; i < first + kTurn; ++i)
                db.add_entry(texts[i], {}, {}, {}, L"app.exe", false, false, std::nullopt, L"", L"", false);
            ours += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            start = Clock::now();
            for (int i = first; i < first + kTurn; ++i) {
                const std::string text = utf8_from_wide(texts[i]);
                sqlite3_bind_text(insert, 1, text.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(insert, 2, "2024-01-01T00:00:00", -1, SQLITE_STATIC);
                sqlite3_bind_int64(insert, 3, i + 1);
                sqlite3_bind_text(insert, 4, "app.exe", -1, SQLITE_STATIC);
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
            bare += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        sqlite3_finalize(insert);
        sqlite3_close(raw);
    }
    report("add_entry x 10000 with the cap", ours, bare);
    report("  per add_entry, beside a bare INSERT", ours / kAdds, bare / kAdds);

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

// A history file of count text entries, a quarter without a category and the
// rest spread over 20 categories, every tenth one pinned, as an export writes it.
struct ImportFile {
    std::wstring path;
    std::vector<std::string> texts, categories;
};
ImportFile write_import_file(const std::wstring& path, int count) {
    ImportFile file{path, {}, {}};
    JsonValue array = JsonValue::make_array();
    for (int i = 0; i < count; ++i) {
        file.texts.push_back("Imported entry " + std::to_string(i) + " with a few words of text");
        file.categories.push_back(i % 4 == 0 ? "" : "Category " + std::to_string(i % 20));
        JsonValue object = JsonValue::make_object();
        object.add_member("text", JsonValue(file.texts.back()));
        object.add_member("created_at", JsonValue("2024-01-02T03:04:05"));
        object.add_member("pinned", JsonValue::make_bool(i % 10 == 0));
        object.add_member("category", JsonValue(file.categories.back()));
        object.add_member("category_pinned", JsonValue::make_bool(false));
        array.items.push_back(std::move(object));
    }
    write_file_atomic(path, json_write(array, 0));
    return file;
}

// The same rows inserted into a new history through one prepared statement in
// one transaction, each category inserted once.
void bare_import(const std::wstring& path, const ImportFile& file) {
    sqlite3* raw = open_raw(path);
    sqlite3_exec(raw, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* category = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO categories (name, cat_order) VALUES (?1, ?2)", -1, &category, nullptr);
    sqlite3_prepare_v2(raw, "INSERT INTO history (text, created_at, pinned, category_id) VALUES (?1,?2,?3,?4)", -1,
                       &insert, nullptr);
    std::map<std::string, std::int64_t> ids;
    for (size_t i = 0; i < file.texts.size(); ++i) {
        const std::string& name = file.categories[i];
        sqlite3_bind_text(insert, 1, file.texts[i].c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, "2024-01-02T03:04:05", -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 3, i % 10 == 0 ? 1 : 0);
        if (name.empty()) {
            sqlite3_bind_null(insert, 4);
        } else {
            auto found = ids.find(name);
            if (found == ids.end()) {
                sqlite3_bind_text(category, 1, name.c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_int64(category, 2, static_cast<std::int64_t>(ids.size()) + 1);
                sqlite3_step(category);
                sqlite3_reset(category);
                found = ids.emplace(name, sqlite3_last_insert_rowid(raw)).first;
            }
            sqlite3_bind_int64(insert, 4, found->second);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(category);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

// Importing a history file into a new history, beside the bare inserts of
// its rows; one run each, as the larger one takes long.
void bench_import(const std::wstring& folder) {
    const std::wstring ours_path = folder + L"\\import.db";
    const std::wstring bare_path = folder + L"\\import-bare.db";
    for (const int count : {10000, 100000}) {
        const ImportFile file = write_import_file(folder + L"\\import.json", count);
        remove_db(ours_path);
        remove_db(bare_path);
        { HistoryDb schema(bare_path); }
        HistoryDb db(ours_path);
        int imported = 0;
        const Pair pair = compare_ms(
            1, [&] { imported = db.import_json(file.path); }, [&] { bare_import(bare_path, file); });
        char label[96];
        std::snprintf(label, sizeof label, "import_json, %d entries (%d imported)", count, imported);
        report(label, pair.ours, pair.bare);
        DeleteFileW(file.path.c_str());
    }
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
    bench_import(folder);
    for (const wchar_t* name : {L"lists.db", L"adds.db", L"adds-bare.db", L"import.db", L"import-bare.db"})
        remove_db(folder + L"\\" + name);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
