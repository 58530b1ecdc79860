#pragma once
// Owners for COM: the apartment of a scope, interface pointers, BSTRs and
// VARIANTs. Each releases what it holds exactly once.

#include <objbase.h>
#include <oleauto.h>

#include <utility>

// CoInitializeEx for the span of a scope; uninitialises only when it took.
class ScopedCoInit {
public:
    explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept : hr_(::CoInitializeEx(nullptr, model)) {}
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
