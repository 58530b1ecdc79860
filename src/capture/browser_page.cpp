#include "capture/browser_page.h"

#include "capture/app_names.h"
#include "capture/source_app.h"
#include "services/com_ptr.h"
#include "services/window_util.h"

namespace {

constexpr int kMaxDepth = 14;
constexpr size_t kMaxValues = 3000;
constexpr long kMaxChildren = 499;
constexpr size_t kMaxTitle = 511;
// Reading the page must not hold up the capture of the copy noticeably.
constexpr DWORD kWalkTimeMs = 400;

VARIANT self_id() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

VARIANT child_id(long index) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = index;
    return v;
}

}  // namespace

AccessibleWalkBudget AccessibleWalkBudget::with_time_limit(DWORD ms, int nodes) {
    AccessibleWalkBudget b;
    b.nodes_left = nodes;
    b.deadline_tick = GetTickCount() + ms;
    if (b.deadline_tick == 0) b.deadline_tick = 1;
    return b;
}

bool AccessibleWalkBudget::take_node() {
    if (nodes_left <= 0) return false;
    if (deadline_tick != 0 && static_cast<LONG>(GetTickCount() - deadline_tick) >= 0) {
        nodes_left = 0;
        return false;
    }
    --nodes_left;
    return true;
}

void collect_accessible_values(IAccessible* object, int depth, std::vector<AccessibleValue>& values,
                               AccessibleWalkBudget& budget) {
    if (!object || depth > kMaxDepth || values.size() > kMaxValues) return;
    if (!budget.take_node()) return;

    AccessibleValue item;
    ScopedVariant role;
    if (SUCCEEDED(object->get_accRole(self_id(), role.get())) && role.get()->vt == VT_I4)
        item.role = static_cast<std::uint32_t>(role.get()->lVal);
    ScopedBstr value;
    if (SUCCEEDED(object->get_accValue(self_id(), value.put())) && value.get() && SysStringLen(value.get()) > 0) {
        item.value.assign(value.get(), SysStringLen(value.get()));
        values.push_back(std::move(item));
    }

    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count < 1 || count > kMaxChildren) return;
    for (long i = 1; i <= count; ++i) {
        if (budget.nodes_left <= 0 || values.size() > kMaxValues) return;
        ComPtr<IDispatch> child;
        if (FAILED(object->get_accChild(child_id(i), child.put())) || !child) continue;
        ComPtr<IAccessible> accessible;
        if (FAILED(child->QueryInterface(__uuidof(IAccessible), accessible.put_void())) || !accessible) continue;
        collect_accessible_values(accessible.get(), depth + 1, values, budget);
    }
}

namespace winutil {

void get_page_info_of_window(HWND window, std::wstring& title, std::wstring& address) {
    title.clear();
    address.clear();
    if (!window) return;
    // A browser that does not answer would block every call into its tree.
    if (!IsHungAppWindow(window)) {
        ScopedCoInit com;
        ComPtr<IAccessible> root;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                 root.put_void())) &&
            root) {
            std::vector<AccessibleValue> values;
            AccessibleWalkBudget budget = AccessibleWalkBudget::with_time_limit(kWalkTimeMs);
            collect_accessible_values(root.get(), 0, values, budget);
            address = pick_page_url(values);
            ScopedBstr name;
            if (SUCCEEDED(root->get_accName(self_id(), name.put())) && name.get()) {
                const size_t len = SysStringLen(name.get());
                if (len > 0 && len <= kMaxTitle) title.assign(name.get(), len);
            }
        }
    }
    if (title.empty()) {
        std::wstring text = window_text(window);
        if (!text.empty() && text.size() <= kMaxTitle) title = std::move(text);
    }
}

void get_browser_page_info(std::wstring& title, std::wstring& address) {
    title.clear();
    address.clear();
    const HWND front = GetForegroundWindow();
    if (!front) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(front, &pid);
    if (!pid || !is_browser_process(process_name_of_window(front))) return;
    get_page_info_of_window(front, title, address);
}

}  // namespace winutil
