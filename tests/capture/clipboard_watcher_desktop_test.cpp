#include "capture/clipboard_watcher.h"
#include "config/settings.h"
#include "services/clipboard.h"
#include "services/clock.h"
#include "services/dib.h"
#include "storage/history_db.h"
#include "storage/storage_fixture.h"
#include "support/test_support.h"

#include <sqlite3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

Bytes small_dib(std::uint8_t shade) {
    Bytes dib(40 + 4 * 4 * 4, shade);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 4;
    h.biHeight = 4;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biSizeImage = 64;
    std::memcpy(dib.data(), &h, sizeof h);
    return dib;
}

// The image_path column, read through a connection of its own.
std::wstring stored_image_path(const std::wstring& db_file) {
    sqlite3* db = nullptr;
    std::wstring path;
    if (sqlite3_open16(db_file.c_str(), &db) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare16_v2(db, L"SELECT image_path FROM history", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            path = static_cast<const wchar_t*>(sqlite3_column_text16(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return path;
}

void put_text(const std::wstring& text) { put_entry_on_clipboard(text, {}, {}, {}); }
void put_image(const Bytes& dib) { put_entry_on_clipboard(L"", {}, {}, dib); }

// A watcher that stores into settings and a history database in a folder of
// its own: no window, no tray.
class WatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        put_text(L"on the clipboard before start");
        watcher_.init({&db, &settings, &capture_category, {}}, nullptr);
    }
    std::vector<std::wstring> texts() {
        std::vector<std::wstring> out;
        // "any" names no view: every row, pictures too.
        for (const auto& e : db.list_entries(L"any", false, false)) out.push_back(e.is_image ? L"[image]" : e.text);
        return out;
    }
    ClipboardWatcher& watcher() { return watcher_; }

    testsupport::TempDir dir;
    Settings settings;
    HistoryDb db{dir.file(L"history.db")};
    std::optional<std::int64_t> capture_category;
    ClipboardWatcher watcher_;
};

}  // namespace

TEST_F(WatcherTest, NewCopiesOnlyAndNeverWhatWasThereAtStart) {
    watcher().check_clipboard(false);
    EXPECT_TRUE(texts().empty());
    put_text(L"first copy");
    watcher().poll();
    watcher().poll();
    put_text(L"second copy");
    watcher().poll();
    put_text(L"first copy");  // A, B, A: the third is a new copy (moved to the top)
    watcher().poll();
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"first copy", L"second copy"}));

    // The same picture twice is one entry; a text between does not change that.
    put_image(small_dib(1));
    watcher().poll();
    put_text(L"text between");
    watcher().poll();
    put_image(small_dib(1));
    watcher().poll();
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"text between", L"[image]", L"first copy", L"second copy"}));
}

TEST_F(WatcherTest, OwnWritesAreNotRecorded) {
    watcher().note_own_text(L"pasted from the history");
    put_text(L"pasted from the history");
    watcher().poll();
    Sleep(600);
    watcher().poll();
    EXPECT_TRUE(texts().empty());

    // The program's own picture is recognised even by a forced pass; another
    // picture is not.
    watcher().note_own_image(small_dib(7));
    put_image(small_dib(7));
    watcher().check_clipboard(true);
    EXPECT_TRUE(texts().empty());
    watcher().note_own_image(small_dib(8));
    put_image(small_dib(9));
    watcher().check_clipboard(true);
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"[image]"}));
}

TEST_F(WatcherTest, NothingCopiedWhileOffIsRecordedLater) {
    watcher().set_enabled(false);
    EXPECT_FALSE(watcher().is_enabled());
    put_text(L"copied while off");
    watcher().poll();
    watcher().check_clipboard(true);
    EXPECT_TRUE(texts().empty());
    watcher().set_enabled(true);
    watcher().poll();
    // A picture copied while off stays unrecorded too.
    watcher().set_enabled(false);
    put_image(small_dib(3));
    watcher().set_enabled(true);
    watcher().poll();
    EXPECT_TRUE(texts().empty());
    put_text(L"copied while on");
    watcher().poll();
    EXPECT_EQ(texts(), (std::vector<std::wstring>{L"copied while on"}));
}

TEST_F(WatcherTest, CategoryAndSavedPictures) {
    const std::int64_t category = db.add_category(L"Work");
    ASSERT_GT(category, 0);
    capture_category = category;
    settings.clipboard_images_autosave = true;
    settings.screenshot_folder = dir.file(L"pictures");
    const std::wstring before = now_iso();
    put_image(small_dib(5));
    watcher().poll();
    const auto entries = db.list_entries(L"any", false, false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].category_id, category);
    // The picture was saved as a PNG in the folder, and the entry knows where.
    std::vector<std::wstring> paths;
    for (const auto& f : std::filesystem::directory_iterator(std::filesystem::path(dir.file(L"pictures"))))
        paths.push_back(f.path().wstring());
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(stored_image_path(dir.file(L"history.db")), paths[0]);
    EXPECT_EQ(paths[0].rfind(dir.file(L"pictures\\"), 0), 0u);
    EXPECT_EQ(std::filesystem::path(paths[0]).extension(), L".png");
    // Named by the clock at the copy: "<base> 2024-03-01 09-05-07".
    auto as_name = [](std::wstring iso) {
        std::replace(iso.begin(), iso.end(), L':', L'-');
        return iso.replace(10, 1, L" ");
    };
    const std::wstring stem = std::filesystem::path(paths[0]).stem().wstring();
    const std::wstring stamp = stem.substr(stem.find(L' ') + 1);
    EXPECT_TRUE(as_name(before) <= stamp && stamp <= as_name(now_iso())) << stem << " after " << before;
    EXPECT_TRUE(testsupport::file_exists(paths[0]));
}

TEST_F(WatcherTest, APictureTheHistoryCannotTakeIsNotAnnounced) {
    sqlite3* raw = nullptr;
    sqlite3_open16(dir.file(L"history.db").c_str(), &raw);
    sqlite3_exec(raw, kRefusePictures, nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    bool announced = false;
    watcher().init({&db, &settings, &capture_category, [&](const std::wstring&) { announced = true; }}, nullptr);
    const std::vector<std::uint8_t> pixels(32 * 32 * 4, 9);
    put_image(make_dib32(pixels.data(), 32, 32));
    watcher().poll();
    EXPECT_EQ(texts().size(), 0u);
    EXPECT_FALSE(announced);
}
