#include "ui/kit/modal_loop.h"

bool get_modal_message(MSG& msg) {
    const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
    if (result == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    return result > 0;
}
