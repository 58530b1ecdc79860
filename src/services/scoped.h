#pragma once
// Scoped owners for every kind of handle the program holds. Each frees its
// handle exactly once, on every way out of the scope; none is copyable, all
// are movable. get() lends the handle, release() gives up ownership.

#include <windows.h>
#include <objbase.h>
#include <wininet.h>

#include <sqlite3.h>

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

namespace scoped_detail {

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
struct InternetTraits : NullInvalid<HINTERNET> {
    static void close(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
};
struct StmtTraits : NullInvalid<sqlite3_stmt*> {
    static void close(sqlite3_stmt* s) noexcept { ::sqlite3_finalize(s); }
};
struct ModuleTraits : NullInvalid<HMODULE> {
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};

}  // namespace scoped_detail

using ScopedHandle = UniqueHandle<HANDLE, scoped_detail::KernelTraits>;
using ScopedFindHandle = UniqueHandle<HANDLE, scoped_detail::FindTraits>;
using ScopedWindow = UniqueHandle<HWND, scoped_detail::WindowTraits>;
using ScopedDc = UniqueHandle<HDC, scoped_detail::DcTraits>;  // CreateCompatibleDC / CreateDC
template <typename G>
using ScopedGdi = UniqueHandle<G, scoped_detail::GdiTraits<G>>;
using ScopedBitmap = ScopedGdi<HBITMAP>;
using ScopedBrush = ScopedGdi<HBRUSH>;
using ScopedPen = ScopedGdi<HPEN>;
using ScopedFont = ScopedGdi<HFONT>;
using ScopedRegion = ScopedGdi<HRGN>;
using ScopedIcon = UniqueHandle<HICON, scoped_detail::IconTraits>;
using ScopedHGlobal = UniqueHandle<HGLOBAL, scoped_detail::GlobalTraits>;
using ScopedKey = UniqueHandle<HKEY, scoped_detail::KeyTraits>;
using ScopedInternet = UniqueHandle<HINTERNET, scoped_detail::InternetTraits>;
using ScopedStmt = UniqueHandle<sqlite3_stmt*, scoped_detail::StmtTraits>;
using ScopedModule = UniqueHandle<HMODULE, scoped_detail::ModuleTraits>;

// A window's or the screen's device context from GetDC, given back with ReleaseDC.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
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

// CoInitializeEx for the span of a scope; uninitialises only when it took.
class ScopedCoInit {
public:
    explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : hr_(::CoInitializeEx(nullptr, model)) {}
    ~ScopedCoInit() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ScopedCoInit(const ScopedCoInit&) = delete;
    ScopedCoInit& operator=(const ScopedCoInit&) = delete;
    bool ok() const noexcept { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

// A COM interface pointer, released once.
template <typename I>
class ComPtr {
public:
    ComPtr() noexcept = default;
    explicit ComPtr(I* p) noexcept : p_(p) {}  // takes over a reference
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& o) noexcept {
        if (o.p_) o.p_->AddRef();
        reset(o.p_);
        return *this;
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }

    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    I** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset(I* p = nullptr) noexcept {
        I* old = std::exchange(p_, p);
        if (old) old->Release();
    }
    I* release() noexcept { return std::exchange(p_, nullptr); }

private:
    I* p_ = nullptr;
};

// A BSTR, freed with SysFreeString.
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    ~ScopedBstr() { ::SysFreeString(b_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const noexcept { return b_; }
    BSTR* put() noexcept {
        ::SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }

private:
    BSTR b_ = nullptr;
};

// A VARIANT, cleared with VariantClear.
class ScopedVariant {
public:
    ScopedVariant() noexcept { ::VariantInit(&v_); }
    ~ScopedVariant() { ::VariantClear(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }

private:
    VARIANT v_;
};
