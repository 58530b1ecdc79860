// How long a quick slot's paste holds the window when the slot holds a large
// picture: the UI thread's time from the slot's hotkey until the worker that
// sends the keys is started (the slot read, the picture put on the clipboard,
// its use counted), beside putting the same picture, already read, on the
// clipboard alone, in the same run. Pictures of noise, which PNG can hardly
// shrink: 1920 x 1200 (about 7 MB) and 3840 x 2160 (about 25 MB). The presses
// come a second apart, as a user's do. Run it under Wine on a display
// (xvfb-run + scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_paste.exe [passes]     (default 7)
// The goal: a hold no longer than the clipboard alone, give or take a read
// of the one slot.
// The history lives in a temporary folder; nothing of the profile is touched.

#include "bench_timing.h"

#include "app/app.h"
#include "capture/entry_clipboard.h"
#include "services/image.h"
#include "storage/history_db.h"
#include "ui/main_window/entry_format.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Between two presses of a slot.
constexpr DWORD kPressGapMs = 1000;
// The values a colour of the noise takes: about three bytes a pixel of PNG.
constexpr std::uint32_t kNoiseLevels = 96;
constexpr std::uint32_t kNoiseSeed = 0x9E3779B9u;

struct Picture {
    int width, height;
};

// A PNG of random pixels.
Bytes noise_png(int width, int height, std::uint32_t seed) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    Bytes dib(sizeof(BITMAPINFOHEADER) + stride * static_cast<std::size_t>(height));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    std::uint32_t state = seed;
    for (std::size_t i = sizeof(BITMAPINFOHEADER); i < dib.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        dib[i] = static_cast<std::uint8_t>(state % kNoiseLevels);
    }
    Bytes png;
    dib_to_png(dib, png);
    return png;
}

std::wstring temp_folder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"korvane-bench-paste-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::wstring folder = temp_folder();
    const std::wstring path = folder + L"\\history.db";
    const Picture pictures[] = {{1920, 1200}, {3840, 2160}};
    {
        App app;
        app.db = new HistoryDb(path);  // the App deletes it
        std::vector<std::int64_t> slots;
        for (const Picture& picture : pictures) {
            const Bytes png =
                noise_png(picture.width, picture.height, kNoiseSeed + static_cast<std::uint32_t>(slots.size()));
            slots.push_back(
                app.db->add_entry(L"", {}, {}, png, L"bench.exe", true, true, std::nullopt, L"", L"", false));
        }
        app.db->add_to_slots(slots, kQuickSlotCount);
        const std::vector<HistoryEntry> entries = app.db->list_slots();
        if (entries.size() != slots.size()) {
            std::printf("the pictures could not be stored\n");
            return 1;
        }
        // Each press ends its turn at once: the next press pastes, and its
        // worker, no longer the pending paste, sends no keys.
        const auto gap = [&] {
            app.paste_finished(app.pastes.current());
            Sleep(kPressGapMs);
        };
        std::printf("quick slot paste of a picture, median of %d passes\n", passes);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const HistoryEntry& entry = entries[i];
            const int slot = static_cast<int>(i) + 1;
            const double alone = median_ms(passes, gap, [&] { place_entry_on_clipboard(nullptr, entry); });
            const double hold = median_ms(passes, gap, [&] { app.on_quick_slot(slot); });
            std::printf("  %d x %d, %5.1f MB PNG\n", pictures[i].width, pictures[i].height,
                        static_cast<double>(entry.image.size()) / 1e6);
            std::printf("    on the clipboard alone          %8.1f ms\n", alone);
            std::printf("    the window's hold for the paste %8.1f ms  (%5.2f x alone)\n", hold, hold / alone);
        }
        gap();
    }
    for (const wchar_t* suffix : {L"", L"-wal", L"-shm"}) DeleteFileW((path + suffix).c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
