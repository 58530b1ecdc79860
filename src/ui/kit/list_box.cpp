#include "ui/kit/list_box.h"

#include <algorithm>
#include <vector>

std::wstring list_box_text(HWND list, int row) {
    if (!list || row < 0) return {};
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length < 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    if (got == LB_ERR || got < 0) return {};
    return std::wstring(buffer.data(), std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
}
