#include "capture/app_filter.h"

#include <cwctype>

namespace {

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

}  // namespace

bool is_app_blocked(const std::wstring& mode, const std::vector<std::wstring>& list, const std::wstring& name) {
    if (name.empty()) return false;
    const std::wstring n = lower(name);
    bool listed = false;
    for (const auto& item : list) {
        if (lower(item) == n) {
            listed = true;
            break;
        }
    }
    return listed ? mode == L"blacklist" : mode == L"whitelist";
}
