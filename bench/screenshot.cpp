// What the screenshot tool costs, each figure beside a bare baseline measured
// in the same run. Run it under Wine on a display (xvfb-run +
// scripts/lib/desktop-session.sh, as the tests do):
//   build/wine-run.sh build/bench/bench_screenshot.exe [passes]   (default 20)
//
//   capture   capture_virtual_screen   vs one bare BitBlt of the virtual screen
//   compose   a 1920 × 1080 selection with 50 shapes of every kind
//                                      vs one bare BitBlt of 1920 × 1080 pixels
//   encode    dib_to_png of that picture vs the bare WIC encode of the same pixels
//   paint     paint_scene of a 1920 × 1080 overlay with a selection, the toolbar
//             and the 50 shapes         vs one bare BitBlt of the picture
//   drag      one pointer move while drawing a pencil stroke, with its repaint
//                                      vs the same bare BitBlt
// paint and drag must each fit in one 16 ms frame.
//
// Then memory, each in a fresh process of its own (this program with
// "memory <phase>"), as the peak private bytes above what the process held
// before, counted in pictures of the whole virtual screen (width × height × 4):
//   bare      one bare capture: the screen BitBlt into one DIB section
//   open      the overlay open over the whole screen, all selected, painted
//   finish    that, finished with Done, then the copy to the clipboard
// Neither may pass three pictures.
// Wine reports no peak of private bytes (its peak equals the current figure);
// there the peak working set stands in for it. A larger screen gives clearer
// figures: xvfb-run -s "-screen 0 3840x2160x24".

#include "bench_child.h"
#include "bench_timing.h"

#include "screenshot/capture_overlay.h"
#include "screenshot/screen_capture.h"
#include "services/clipboard.h"
#include "services/com_ptr.h"
#include "services/handles.h"
#include "services/image.h"

#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

namespace {

void report(const char* name, double measured, const char* baseline_name, double baseline) {
    std::printf("%-9s %9.3f ms   %-16s %9.3f ms   ratio %6.2f\n", name, measured, baseline_name, baseline,
                measured / baseline);
}

CapturedImage made_up_picture(int width, int height) {
    CapturedImage image;
    image.width = width, image.height = height, image.ok = true;
    image.dib = make_capture_dib(width, height);
    for (size_t i = kCaptureHeaderBytes; i < image.dib.size(); ++i) image.dib[i] = std::uint8_t(i * 7 + i / 4096);
    return image;
}

// Fifty shapes spread over the picture, every kind in turn.
void add_fifty_shapes(CaptureOverlay& overlay) {
    for (int i = 0; i < 50; ++i) {
        const PixelPoint at{40 + (i * 173) % 1800, 40 + (i * 97) % 1000};
        const CaptureTool tool = static_cast<CaptureTool>(1 + i % 7);
        Annotation a;
        if (tool == CaptureTool::Number) {
            a = number_stamp(at, i + 1, 0x004646E6, 3);
        } else if (tool == CaptureTool::Text) {
            a = text_annotation(L"Note " + std::to_wstring(i), at, 80, 24, 0x004646E6, 3);
        } else {
            a = start_shape(tool, at, 0x00E8A400, 4);
            for (int step = 1; step <= 20; ++step) drag_shape(a, {at.x + step * 6, at.y + step * 4}, false);
        }
        overlay.shapes.push_back(a);
    }
}

double bare_screen_blit(int passes) {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    ScopedGetDc screen(nullptr);
    ScopedDc memory(CreateCompatibleDC(screen.get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    ScopedSelect keep(memory.get(), bitmap.get());
    return mean_ms(passes, [&] { BitBlt(memory.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY | CAPTUREBLT); });
}

double bare_blit(int passes, HDC source, int w, int h) {
    ScopedDc memory(CreateCompatibleDC(source));
    ScopedBitmap bitmap(CreateCompatibleBitmap(source, w, h));
    ScopedSelect keep(memory.get(), bitmap.get());
    return mean_ms(passes, [&] {
        BitBlt(memory.get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
        GdiFlush();
    });
}

// The PNG encoder of WIC fed the 32-bit pixels straight from memory.
double bare_wic_encode(int passes, const Bytes& dib, int w, int h) {
    ComPtr<IWICImagingFactory> factory;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
    if (!factory) return 0;
    return mean_ms(passes, [&] {
        ComPtr<IStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        ComPtr<IWICBitmap> bitmap;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
        factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
        encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
        encoder->CreateNewFrame(frame.put(), options.put());
        frame->Initialize(options.get());
        frame->SetSize(w, h);
        frame->SetPixelFormat(&format);
        factory->CreateBitmapFromMemory(w, h, GUID_WICPixelFormat32bppBGRA, w * 4, UINT(dib.size() - 40),
                                        const_cast<BYTE*>(dib.data() + 40), bitmap.put());
        frame->WriteSource(bitmap.get(), nullptr);
        frame->Commit();
        encoder->Commit();
    });
}

bool under_wine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// What the process holds now and the most it has held, in bytes.
std::pair<std::uint64_t, std::uint64_t> private_bytes() {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
    if (under_wine()) return {c.WorkingSetSize, c.PeakWorkingSetSize};
    return {c.PrivateUsage, c.PeakPagefileUsage};
}

// One screenshot's road through memory, up to the phase asked for.
void screenshot_road(const std::string& phase) {
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (phase == "bare") {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
        void* bits = nullptr;
        ScopedGetDc screen(nullptr);
        ScopedDc memory(CreateCompatibleDC(screen.get()));
        ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ScopedSelect keep(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), GetSystemMetrics(SM_XVIRTUALSCREEN),
               GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY | CAPTUREBLT);
        GdiFlush();
        return;
    }
    CaptureResult shot;
    {
        CapturedImage picture = capture_virtual_screen();
        CaptureOverlay overlay;
        overlay.set_up(GetModuleHandleW(nullptr), std::move(picture), true, true, PixelRect{0, 0, w, h}, 0, 3);
        if (!overlay.create_resources()) return;
        ScopedGetDc screen(nullptr);
        overlay.ensure_back_buffer(screen.get());
        overlay.paint_scene();
        if (phase != "finish") return;
        overlay.finish(CaptureAction::Done);
        overlay.release_resources();
        shot = overlay.result;
    }
    Bytes dib;
    if (png_to_dib(shot.png, dib)) put_entry_on_clipboard(L"", {}, {}, dib);
}

// The child side: prints the peak above the start of the phase, in bytes.
int measure_phase(const std::string& phase) {
    ensure_com();
    DpiAwarenessScope per_monitor;
    {
        // Everything loaded and set up once on a small picture, so that the
        // phase itself counts only what it holds.
        CaptureOverlay warm;
        warm.set_up(GetModuleHandleW(nullptr), made_up_picture(64, 64), true, true, PixelRect{0, 0, 64, 64}, 0, 3);
        warm.create_resources();
        ScopedGetDc screen(nullptr);
        warm.ensure_back_buffer(screen.get());
        warm.paint_scene();
        warm.finish(CaptureAction::Done);
        Bytes dib;
        png_to_dib(warm.result.png, dib);
    }
    const std::uint64_t start = private_bytes().first;
    screenshot_road(phase);
    std::printf("%llu\n", static_cast<unsigned long long>(private_bytes().second - start));
    return 0;
}

// Runs the phase in a fresh process of this program; its peak in bytes, or 0.
double phase_peak(const char* phase) {
    BenchChild child = start_self(L"memory " + std::wstring(phase, phase + std::strlen(phase)));
    if (!child.process) return 0;
    std::string out;
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(child.output.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    WaitForSingleObject(child.process.get(), INFINITE);
    return std::strtod(out.c_str(), nullptr);
}

void report_memory() {
    const double picture = 4.0 * GetSystemMetrics(SM_CXVIRTUALSCREEN) * GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const double mib = 1024.0 * 1024.0;
    std::printf("memory: peak %s above the start, one picture of the virtual screen %d x %d = %.1f MiB\n",
                under_wine() ? "working set (Wine keeps no peak of private bytes)" : "private bytes",
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), picture / mib);
    const double bare = phase_peak("bare");
    std::printf("%-9s %9.1f MiB   %5.2f pictures\n", "bare", bare / mib, bare / picture);
    for (const char* phase : {"open", "finish"}) {
        const double peak = phase_peak(phase);
        std::printf("%-9s %9.1f MiB   %5.2f pictures   %5.2f x bare capture\n", phase, peak / mib, peak / picture,
                    peak / bare);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "memory") return measure_phase(argv[2]);
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    ensure_com();
    DpiAwarenessScope per_monitor;

    report("capture", mean_ms(passes, [] { (void)capture_virtual_screen(); }), "bare BitBlt", bare_screen_blit(passes));

    CaptureOverlay overlay;
    overlay.set_up(GetModuleHandleW(nullptr), made_up_picture(1920, 1080), true, true, PixelRect{0, 0, 1920, 1080}, 0,
                   3);
    if (!overlay.create_resources()) {
        std::printf("the overlay could not be opened\n");
        return 1;
    }
    add_fifty_shapes(overlay);
    Bytes dib;
    int w = 0, h = 0;
    report("compose", mean_ms(passes, [&] { overlay.compose_selection(dib, w, h); }), "bare BitBlt",
           bare_blit(passes, overlay.picture.get(), 1920, 1080));

    Bytes png;
    report("encode", mean_ms(passes, [&] { dib_to_png(dib, png); }), "bare WIC encode",
           bare_wic_encode(passes, dib, w, h));
    std::printf("PNG of the composed picture: %zu bytes\n", png.size());

    // On screen: the back buffer is compatible with the display, as in WM_PAINT.
    overlay.selection = {200, 150, 1400, 800};
    ScopedGetDc screen(nullptr);
    if (!overlay.ensure_back_buffer(screen.get())) {
        std::printf("no back buffer\n");
        return 1;
    }
    const double blit = bare_blit(passes, overlay.picture.get(), 1920, 1080);
    const double paint = mean_ms(passes, [&] { overlay.paint_scene(); });
    report("paint", paint, "bare BitBlt", blit);
    overlay.current_shape = start_shape(CaptureTool::Pencil, {300, 300}, 0x004646E6, 3);
    overlay.drawing = true;
    int step = 0;
    const double drag = mean_ms(passes, [&] {
        ++step;
        drag_shape(overlay.current_shape, {300 + step * 3, 300 + (step * 7) % 400}, false);
        overlay.paint_scene();
    });
    report("drag", drag, "bare BitBlt", blit);
    std::printf("one 16 ms frame: paint %s, drag step %s\n", paint <= 16.0 ? "fits" : "MISSED",
                drag <= 16.0 ? "fits" : "MISSED");
    overlay.release_resources();
    report_memory();
    return 0;
}
