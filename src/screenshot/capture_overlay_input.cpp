// CaptureOverlay: mouse, keys and the text box.
#include "screenshot/capture_overlay.h"

#include <commctrl.h>

void CaptureOverlay::cancel_text_edit() {
    if (!text_box) return;
    committing = true;
    RemoveWindowSubclass(text_box, text_edit_subclass_proc, 1);
    DestroyWindow(text_box);
    text_box = nullptr;
    text_font.reset();
    committing = false;
    repaint();
}

void CaptureOverlay::commit_text() {}

LRESULT CALLBACK text_edit_subclass_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR) {
    return DefSubclassProc(hwnd, message, wparam, lparam);
}
