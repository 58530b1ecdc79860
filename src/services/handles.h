#pragma once
// Scoped owners for kernel, window, GDI, registry, module and hook handles,
// and for the paired calls of painting, selection, global memory and the
// clipboard.
// Each frees its handle exactly once, on every way out of the scope; none is
// copyable, the handle owners are movable. get() lends the handle, release()
// gives up ownership. Owners of other kinds of handle build on UniqueHandle
// where the handle belongs: the SQLite statement beside storage/sql_stmt.h,
// the WinINet handle inside link_fetch, COM pointers in services/com_ptr.h.

#include <windows.h>

#include <utility>

// A handle of type T, freed by Traits::close unless it equals Traits::invalid().
template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept : h_(Traits::invalid()) {}
    explicit UniqueHandle(T h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }

    T get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return Traits::valid(h_); }

    T release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(T h = Traits::invalid()) noexcept {
        T old = std::exchange(h_, h);
        if (Traits::valid(old)) Traits::close(old);
    }
    // For out-parameters of creation functions: frees the old handle first.
    T* put() noexcept {
        reset();
        return &h_;
    }

private:
    T h_;
};

namespace handle_traits {

template <typename T>
struct NullInvalid {
    static T invalid() noexcept { return nullptr; }
    static bool valid(T h) noexcept { return h != nullptr; }
};

struct KernelTraits {
    static HANDLE invalid() noexcept { return nullptr; }
    // Kernel functions report failure with either value.
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

struct FindTraits {
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};

struct WindowTraits : NullInvalid<HWND> {
    static void close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct DcTraits : NullInvalid<HDC> {
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};
template <typename G>
struct GdiTraits : NullInvalid<G> {
    static void close(G h) noexcept { ::DeleteObject(h); }
};
struct IconTraits : NullInvalid<HICON> {
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
struct GlobalTraits : NullInvalid<HGLOBAL> {
    static void close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};
struct KeyTraits : NullInvalid<HKEY> {
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct ModuleTraits : NullInvalid<HMODULE> {
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
struct HookTraits : NullInvalid<HHOOK> {
    static void close(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
};

}  // namespace handle_traits

using ScopedHandle = UniqueHandle<HANDLE, handle_traits::KernelTraits>;
using ScopedFindHandle = UniqueHandle<HANDLE, handle_traits::FindTraits>;
using ScopedWindow = UniqueHandle<HWND, handle_traits::WindowTraits>;
using ScopedDc = UniqueHandle<HDC, handle_traits::DcTraits>;  // CreateCompatibleDC / CreateDC
template <typename G>
using ScopedGdi = UniqueHandle<G, handle_traits::GdiTraits<G>>;
using ScopedBitmap = ScopedGdi<HBITMAP>;
using ScopedBrush = ScopedGdi<HBRUSH>;
using ScopedPen = ScopedGdi<HPEN>;
using ScopedFont = ScopedGdi<HFONT>;
using ScopedRegion = ScopedGdi<HRGN>;
using ScopedIcon = UniqueHandle<HICON, handle_traits::IconTraits>;
using ScopedHGlobal = UniqueHandle<HGLOBAL, handle_traits::GlobalTraits>;
using ScopedKey = UniqueHandle<HKEY, handle_traits::KeyTraits>;
using ScopedModule = UniqueHandle<HMODULE, handle_traits::ModuleTraits>;
using ScopedHook = UniqueHandle<HHOOK, handle_traits::HookTraits>;  // SetWindowsHookEx

// A window's or the screen's device context from GetDC (or GetWindowDC, for
// the whole window with its frame), given back with ReleaseDC.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND hwnd, bool whole_window = false) noexcept
        : hwnd_(hwnd), dc_(whole_window ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
    ~ScopedGetDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~ScopedPaint() { ::EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& info() const noexcept { return ps_; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// Selects a GDI object into a DC and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// GlobalLock / GlobalUnlock. size() is what GlobalSize reports, the only
// trustworthy bound for a block another program filled.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL h) noexcept : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
    ~ScopedGlobalLock() {
        if (p_) ::GlobalUnlock(h_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    void* get() const noexcept { return p_; }
    SIZE_T size() const noexcept { return p_ ? ::GlobalSize(h_) : 0; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    HGLOBAL h_;
    void* p_;
};

// OpenClipboard / CloseClipboard. Opening never waits: when another program
// holds the clipboard, opened() is false.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) noexcept : open_(::OpenClipboard(owner) != FALSE) {}
    ~ScopedClipboard() {
        if (open_) ::CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool opened() const noexcept { return open_; }

private:
    bool open_;
};
