#include "fake_accessible.h"

namespace testsupport {

std::shared_ptr<FakeNode> FakeNode::make(long role, std::wstring value, std::wstring name) {
    auto n = std::make_shared<FakeNode>();
    n->role = role;
    n->value = std::move(value);
    n->name = std::move(name);
    return n;
}

FakeNode& FakeNode::add(std::shared_ptr<FakeNode> child) {
    children.push_back(std::move(child));
    return *children.back();
}

namespace {

HRESULT bstr_out(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    if (text.empty()) {
        *out = nullptr;
        return S_FALSE;
    }
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

bool is_self(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

class FakeAccessible final : public IAccessible {
public:
    FakeAccessible(std::shared_ptr<FakeNode> node, std::shared_ptr<std::atomic<int>> visits)
        : node_(std::move(node)), visits_(std::move(visits)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = static_cast<long>(node_->children.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (child.vt != VT_I4 || child.lVal < 1 || size_t(child.lVal) > node_->children.size()) return E_INVALIDARG;
        *out = new FakeAccessible(node_->children[size_t(child.lVal) - 1], visits_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (!is_self(child)) return E_INVALIDARG;
        return bstr_out(node_->name, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (!is_self(child)) return E_INVALIDARG;
        return bstr_out(node_->value, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out || !is_self(child)) return E_INVALIDARG;
        if (visits_) ++*visits_;
        if (node_->delay_ms) Sleep(node_->delay_ms);
        VariantInit(out);
        out->vt = VT_I4;
        out->lVal = node_->role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accLocation(long*, long*, long*, long*, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accHitTest(long, long, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    std::shared_ptr<FakeNode> node_;
    std::shared_ptr<std::atomic<int>> visits_;
    std::atomic<ULONG> refs_{1};
};

}  // namespace

IAccessible* make_fake_accessible(std::shared_ptr<FakeNode> node, std::shared_ptr<std::atomic<int>> visits) {
    return new FakeAccessible(std::move(node), std::move(visits));
}

}  // namespace testsupport
