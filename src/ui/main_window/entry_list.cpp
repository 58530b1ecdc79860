// MainWindow, the entry list: its rows and their heights.

#include "ui/main_window/entry_list.h"

#include "ui/kit/list_box.h"
#include "ui/main_window/main_window.h"

namespace {

constexpr int kTextRowHeight = 30;
constexpr int kGroupRowHeight = 28;
constexpr int kTallRowHeight = 66;  // pictures and texts of several lines

}  // namespace

bool is_group_row(const std::wstring& row_text) { return row_text.starts_with(L"GRP\t"); }

int MainWindow::entry_row_height(int row) const {
    if (!entry_list) return kTextRowHeight;
    const LRESULT count = SendMessageW(entry_list, LB_GETCOUNT, 0, 0);
    if (row < 0 || count == LB_ERR || row >= count) return kTextRowHeight;
    const std::wstring text = list_box_text(entry_list, row);
    if (is_group_row(text)) return kGroupRowHeight;
    if (row_is_image(row) || text.find(L'\n') != std::wstring::npos) return kTallRowHeight;
    return kTextRowHeight;
}
