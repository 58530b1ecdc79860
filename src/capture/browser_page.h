#pragma once
// The address and title of the page shown by the browser in front, read
// through Microsoft Active Accessibility.

#include "capture/page_url.h"

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

// Bounds on one walk of an accessibility tree, beyond its depth and width:
// a browser tree can hold many thousand nodes, and each visit is a call into
// another process on the UI thread.
struct AccessibleWalkBudget {
    int nodes_left = 4000;
    DWORD deadline_tick = 0;  // GetTickCount value; 0 for no time limit

    static AccessibleWalkBudget with_time_limit(DWORD ms, int nodes = 4000);
    // Counts one node; false once the walk must stop.
    bool take_node();
};

// Depth first, a node before its children: (role, value) of every node with
// a non-empty value. Stops below depth 14, at more than 3000 values, at
// nodes with more than 499 children, and when the budget runs out.
void collect_accessible_values(IAccessible* object, int depth, std::vector<AccessibleValue>& values,
                               AccessibleWalkBudget& budget);

namespace winutil {

// For a foreground browser window: the page's address (from its address
// bar) and title (the document's name, else the window title). Both stay
// empty for any other program.
void get_browser_page_info(std::wstring& title, std::wstring& address);

// The same for a given window, whatever its program.
void get_page_info_of_window(HWND window, std::wstring& title, std::wstring& address);

}  // namespace winutil
