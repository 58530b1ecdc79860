#include "ui/kit/list_box.h"

#include <windowsx.h>

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

int list_box_row_at(HWND list, POINT client) {
    // The high word tells whether the point is on the row given or only nearest to it. Rows of
    // different heights count: the list adds up the heights it measured.
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    if (hit == LB_ERR || HIWORD(hit) != 0) return -1;
    return LOWORD(hit);
}

bool list_box_pointer_on_selected_row(HWND list) {
    const DWORD at = GetMessagePos();
    POINT client{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ScreenToClient(list, &client);
    const int row = list_box_row_at(list, client);
    return row >= 0 && SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
}
