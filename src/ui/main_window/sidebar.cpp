// MainWindow, the sidebar: what its rows stand for.

#include "ui/main_window/sidebar.h"

#include "app/ids.h"
#include "ui/kit/list_box.h"
#include "ui/main_window/main_window.h"

std::wstring sidebar_group_name(const std::wstring& row_text) {
    const size_t tab = row_text.find(L'\t');
    const std::wstring rest = tab == std::wstring::npos ? row_text : row_text.substr(tab + 1);
    const size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    const size_t last = rest.find_last_not_of(L" \t");
    return rest.substr(first, last - first + 1);
}

void MainWindow::on_sidebar_selection() {
    if (!sidebar) return;
    const LRESULT row = SendMessageW(sidebar, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    const LRESULT data = SendMessageW(sidebar, LB_GETITEMDATA, row, 0);
    if (data < 0) return;
    if (data == kSidebarTemplates) {
        show_template_group(L"");
    } else if (data == kSidebarImages) {
        show_images_view();
    } else if (data < kSidebarFirstCategory) {
        set_view(static_cast<int>(data), -1);
    } else if (data < kSidebarFirstGroup) {
        set_view(kViewCategory, static_cast<int>(data - kSidebarFirstCategory));
    } else if (data == kSidebarUngrouped) {
        show_template_group(kUngroupedGroup);
    } else {
        show_template_group(sidebar_group_name(list_box_text(sidebar, static_cast<int>(row))));
    }
}
