#include "services/image_file.h"
#include "services/clock.h"
#include "services/dib.h"
#include "services/file_io.h"
#include "services/image.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>

using testsupport::TempDir;

namespace {

Bytes tiny_dib() {
    const std::uint8_t px[4] = {1, 2, 3, 0};
    return make_dib32(px, 1, 1);
}

std::string as_string(const Bytes& b) { return std::string(b.begin(), b.end()); }

}  // namespace

TEST(WriteFile, WritesExactlyOrLeavesNothing) {
    TempDir dir;
    const std::wstring path = dir.file(L"a.bin");
    EXPECT_FALSE(write_file_atomic(path, Bytes{}));
    EXPECT_FALSE(testsupport::file_exists(path));

    const Bytes bytes = {0, 1, 2, 0xFF, 0};
    ASSERT_TRUE(write_file_atomic(path, bytes));
    EXPECT_EQ(testsupport::read_bytes(path), as_string(bytes));
    ASSERT_TRUE(write_file_atomic(path, Bytes{7}));  // replaces, does not append
    EXPECT_EQ(testsupport::read_bytes(path), "\x07");

    EXPECT_FALSE(write_file_atomic(dir.file(L"missing\\folder\\x.bin"), bytes));
    EXPECT_FALSE(write_file_atomic(dir.path(), bytes));  // a folder is not a file
}

// A file in a folder as deep as the path limit lets it be: the temporary
// file beside it keeps within the limit too, and each try has its own name.
TEST(WriteFile, TheTemporaryFileKeepsWithinThePathLimit) {
    TempDir dir;
    const std::wstring folder = dir.path() + L"\\" + std::wstring(MAX_PATH - 6 - dir.path().size(), L'f');
    const std::wstring path = folder + L"\\ab";
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_LT(temporary_path(path, 4294967295ul, 99).size(), size_t(MAX_PATH));
    EXPECT_NE(temporary_path(path, 1, 0), temporary_path(path, 1, 1));
    ASSERT_TRUE(write_file_atomic(path, Bytes{1, 2}));
    DeleteFileW(path.c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "no temporary file is left behind";
}

TEST(SaveImageFile, NamesCountersAndFolders) {
    TempDir dir;
    const Bytes dib = tiny_dib();
    std::wstring folder, first, second;
    // Two saves within one second: the second gets the counter. Retry in a
    // fresh folder when the clock ticked between them.
    for (int attempt = 0; attempt < 5; ++attempt) {
        folder = dir.file(L"Изображения\\" + std::to_wstring(2024 + attempt));  // created with its parent
        const std::time_t before = std::time(nullptr);
        ASSERT_TRUE(save_image_file(folder, L"Изображение", dib, first));
        ASSERT_TRUE(save_image_file(folder, L"Изображение", dib, second));
        if (std::time(nullptr) == before) break;
    }
    ASSERT_EQ(first.substr(0, folder.size() + 1), folder + L"\\");
    EXPECT_EQ(first.size(), folder.size() + std::wstring(L"\\Изображение 2024-01-02 03-04-05.png").size());
    EXPECT_EQ(second, first.substr(0, first.size() - 4) + L" (2).png");

    // A DIB was converted: the files are PNGs of the picture.
    const std::string saved = testsupport::read_bytes(first);
    Bytes back;
    ASSERT_TRUE(png_to_dib(Bytes(saved.begin(), saved.end()), back));
    EXPECT_EQ(back.size(), dib.size());

    // PNG bytes are written as they are.
    Bytes png;
    ASSERT_TRUE(dib_to_png(dib, png));
    std::wstring third;
    ASSERT_TRUE(save_image_file(folder + L"\\", L"Скриншот", png, third));
    EXPECT_EQ(testsupport::read_bytes(third), as_string(png));
    EXPECT_EQ(third.find(L"\\\\"), std::wstring::npos);
}

TEST(SaveImageFile, NeverReplacesAFile) {
    TempDir dir;
    const std::time_t now = std::time(nullptr);
    // Take the first names of this second and the next few, as if saved before.
    for (std::time_t t = now; t < now + 3; ++t) {
        std::tm local{};
        ASSERT_TRUE(local_time(t, local));
        testsupport::write_bytes(image_file_name(dir.path(), L"pic", local, 1), "keep me");
    }
    std::wstring path;
    ASSERT_TRUE(save_image_file(dir.path(), L"pic", tiny_dib(), path));
    EXPECT_NE(path.find(L" (2).png"), std::wstring::npos) << testsupport::linux_path(path);
    for (std::time_t t = now; t < now + 3; ++t) {
        std::tm local{};
        local_time(t, local);
        EXPECT_EQ(testsupport::read_bytes(image_file_name(dir.path(), L"pic", local, 1)), "keep me");
    }
}

TEST(SaveImageFile, RefusesWhatCannotBeSaved) {
    TempDir dir;
    std::wstring path = L"stale";
    EXPECT_FALSE(save_image_file(L"", L"x", tiny_dib(), path));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(save_image_file(dir.path(), L"", tiny_dib(), path));
    EXPECT_FALSE(save_image_file(dir.path(), L"x", {}, path));
    EXPECT_FALSE(save_image_file(dir.path(), L"x", Bytes{1, 2, 3}, path));  // neither PNG nor DIB
    // A file where the folder should be.
    testsupport::write_bytes(dir.file(L"file"), "x");
    EXPECT_FALSE(save_image_file(dir.file(L"file"), L"x", tiny_dib(), path));
    EXPECT_TRUE(path.empty());
}
