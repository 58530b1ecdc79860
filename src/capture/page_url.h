#pragma once
// Choosing a browser page's address among the values its accessibility tree
// shows. Pure text work: the walk itself lives in browser_page.h.

#include <cstdint>
#include <string>
#include <vector>

struct AccessibleValue {
    std::uint32_t role = 0xFFFFFFFF;  // ROLE_SYSTEM_*, or all ones when unknown
    std::wstring value;
};

constexpr std::uint32_t kRoleLink = 30;  // ROLE_SYSTEM_LINK

// Browser-internal pages (chrome://, about:, edge://, view-source:...).
bool is_internal_url(const std::wstring& text);

// The first value, in tree order, that is not a link's and looks like a page
// address (a scheme, or a dotted host name without blanks); "https://" is put
// in front of an address without scheme. Empty when there is none.
std::wstring pick_page_url(const std::vector<AccessibleValue>& values);
