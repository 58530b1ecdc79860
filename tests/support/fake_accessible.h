#pragma once
// An accessibility tree of our own, standing in for a browser's (Wine has no
// browser, and its own accessible objects have no children).

#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

struct FakeNode {
    std::wstring name;
    std::wstring value;
    long role = ROLE_SYSTEM_CLIENT;
    DWORD delay_ms = 0;  // each visit (role query) takes this long
    std::vector<std::shared_ptr<FakeNode>> children;

    static std::shared_ptr<FakeNode> make(long role, std::wstring value = {}, std::wstring name = {});
    FakeNode& add(std::shared_ptr<FakeNode> child);
};

// A new IAccessible (one reference, owned by the caller) over the node. Every
// role query on it or its descendants counts one visit.
IAccessible* make_fake_accessible(std::shared_ptr<FakeNode> node, std::shared_ptr<std::atomic<int>> visits = nullptr);

}  // namespace testsupport
