// CaptureOverlay: mouse, keys and the text box.
#include "screenshot/capture_overlay.h"

#include "services/ids.h"
#include "services/scope_exit.h"

#include <commctrl.h>
#include <imm.h>

#include <new>

namespace {

constexpr int kTextBoxWidth = 320;

void set_cursor(const wchar_t* shape) { SetCursor(LoadCursorW(nullptr, shape)); }

// A word still being composed with an input method is not in the box's text
// yet: it is finished first, as an edit box finishes it when the user clicks
// elsewhere. The finished word reaches the box as characters posted to it,
// which it takes before it is read. Without an input method the box has no
// context.
void finish_composition(HWND box) {
    HIMC context = ImmGetContext(box);
    if (!context) return;
    const ScopeExit release([box, context] { ImmReleaseContext(box, context); });
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    MSG msg;
    for (UINT kind : {WM_IME_CHAR, WM_CHAR})
        while (PeekMessageW(&msg, box, kind, kind, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

void CaptureOverlay::on_left_button_down(PixelPoint p) {
    if (editor && laid_out && edge_rect_contains(toolbar_rect, p)) {
        // The toolbar acts on release; a press there never starts a drag.
        pressed = toolbar_hit_test(p);
        repaint();
        return;
    }
    commit_text();
    if (window) SetCapture(window);
    press_point = p;
    drag = DragMode::None;

    if (has_selection && has_area(selection)) {
        const ResizeHandle edge = hit_test_handles(selection, p, kHandleReach);
        if (edge != ResizeHandle::None) {
            // Edges win over every tool.
            drag = DragMode::Resize;
            handle = edge;
            rect_at_press = selection;
            return;
        }
        if (rect_contains(selection, p)) {
            if (tool == CaptureTool::Move) {
                drag = DragMode::Move;
                rect_at_press = selection;
            } else if (tool == CaptureTool::Text) {
                begin_text_edit(p);
            } else if (tool == CaptureTool::Number) {
                add_annotation(shapes, redo_shapes, number_stamp(p, next_number++, color, thickness));
                repaint();
            } else {
                current_shape = start_shape(tool, p, color, thickness);
                drawing = true;
            }
            return;
        }
    }
    // A press outside the selection replaces it; the shapes stay.
    drag = DragMode::NewSelection;
    selection = {p.x, p.y, 0, 0};
    has_selection = true;
    repaint();
}

void CaptureOverlay::on_mouse_move(PixelPoint p, bool shift) {
    if (GetKeyState(VK_LBUTTON) >= 0) {
        // The button went up somewhere we did not hear of.
        drag = DragMode::None;
        handle = ResizeHandle::None;
        drawing = false;
    }
    switch (drag) {
    case DragMode::NewSelection:
        selection = clamp_rect(rect_from_points(press_point, p, shift), bounds);
        has_selection = has_area(selection);
        break;
    case DragMode::Move:
        selection = clamp_rect({rect_at_press.x + p.x - press_point.x, rect_at_press.y + p.y - press_point.y,
                                rect_at_press.w, rect_at_press.h},
                               bounds);
        break;
    case DragMode::Resize: selection = clamp_rect(resize_rect(rect_at_press, handle, p), bounds); break;
    case DragMode::None:
        if (drawing) drag_shape(current_shape, p, shift);
        break;
    }
    hover = laid_out ? toolbar_hit_test(p) : -1;
    on_set_cursor(p);
    repaint();
}

void CaptureOverlay::on_left_button_up(PixelPoint p) {
    if (pressed >= 0) {
        const int index = pressed;
        pressed = -1;
        if (toolbar_hit_test(p) == index) on_toolbar_click(index);
        repaint();
        return;
    }
    if (drag == DragMode::NewSelection) {
        if (selection.w < kMinSelectionSide || selection.h < kMinSelectionSide) {
            has_selection = false;
        } else if (!editor && finish(CaptureAction::Copy)) {
            return;
        }
    }
    if (drawing) {
        if (shape_worth_keeping(current_shape)) add_annotation(shapes, redo_shapes, current_shape);
        drawing = false;
    }
    drag = DragMode::None;
    handle = ResizeHandle::None;
    if (window && GetCapture() == window) ReleaseCapture();
    repaint();
}

void CaptureOverlay::on_key_down(UINT vk, bool ctrl, bool shift) {
    const int step = shift ? 10 : 1;
    int dx = 0, dy = 0;
    switch (vk) {
    case VK_ESCAPE:
        if (text_box) cancel_text_edit();
        else close();
        return;
    case VK_RETURN:
        if (has_selection) finish(CaptureAction::Done);
        return;
    case VK_LEFT: dx = -step; break;
    case VK_RIGHT: dx = step; break;
    case VK_UP: dy = -step; break;
    case VK_DOWN: dy = step; break;
    default:
        if (!ctrl) return;
        if (vk == 'C' && has_selection) finish(CaptureAction::Copy);
        if (vk == 'S' && has_selection) finish(CaptureAction::Save);
        if (vk == 'A') {
            selection = bounds;
            has_selection = true;
            repaint();
        }
        if (vk == 'Z') undo(), repaint();
        if (vk == 'Y') redo(), repaint();
        return;
    }
    if (!has_selection) return;
    selection = clamp_rect({selection.x + dx, selection.y + dy, selection.w, selection.h}, bounds);
    repaint();
}

void CaptureOverlay::on_mouse_wheel(int delta) {
    thickness = clamp_thickness(thickness + (delta > 0 ? 1 : -1));
    repaint();
}

void CaptureOverlay::on_set_cursor(PixelPoint p) {
    if (laid_out && edge_rect_contains(toolbar_rect, p)) return set_cursor(IDC_HAND);
    if (has_selection) {
        switch (hit_test_handles(selection, p, kHandleReach)) {
        case ResizeHandle::TopLeft:
        case ResizeHandle::BottomRight: return set_cursor(IDC_SIZENWSE);
        case ResizeHandle::Top:
        case ResizeHandle::Bottom: return set_cursor(IDC_SIZENS);
        case ResizeHandle::TopRight:
        case ResizeHandle::BottomLeft: return set_cursor(IDC_SIZENESW);
        case ResizeHandle::Left:
        case ResizeHandle::Right: return set_cursor(IDC_SIZEWE);
        case ResizeHandle::None: break;
        }
        if (rect_contains(selection, p) && tool == CaptureTool::Move) return set_cursor(IDC_SIZEALL);
    }
    set_cursor(IDC_CROSS);
}

void CaptureOverlay::set_tool(CaptureTool new_tool) {
    tool = new_tool;
    repaint();
}

void CaptureOverlay::begin_text_edit(PixelPoint p) {
    commit_text();
    if (!window) return;
    text_position = p;
    text_font = make_annotation_font(thickness);
    text_box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, p.x, p.y, kTextBoxWidth,
                               3 * thickness + 24, window, reinterpret_cast<HMENU>(INT_PTR(kIdCaptureTextBox)),
                               instance, nullptr);
    if (!text_box) {
        text_font.reset();
        return;
    }
    SendMessageW(text_box, WM_SETFONT, reinterpret_cast<WPARAM>(text_font.get()), TRUE);
    // What is typed beyond this would not be kept.
    SendMessageW(text_box, EM_LIMITTEXT, kMaxAnnotationText, 0);
    SetWindowSubclass(text_box, text_edit_subclass_proc, kCaptureTextSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetFocus(text_box);
    repaint();
}

void CaptureOverlay::commit_text() {
    if (!text_box || committing) return;
    committing = true;
    finish_composition(text_box);
    wchar_t buffer[kMaxAnnotationText + 1] = {};
    GetWindowTextW(text_box, buffer, int(kMaxAnnotationText + 1));
    RemoveWindowSubclass(text_box, text_edit_subclass_proc, kCaptureTextSubclassId);
    DestroyWindow(text_box);
    text_box = nullptr;
    text_font.reset();
    committing = false;
    if (window) SetFocus(window);

    const std::wstring text = buffer;
    if (!text.empty()) {
        SIZE size{};
        if (window) {
            ScopedGetDc dc(window);
            ScopedFont font = make_annotation_font(thickness);
            if (dc) {
                ScopedSelect keep(dc.get(), font.get());
                GetTextExtentPoint32W(dc.get(), text.c_str(), int(text.size()), &size);
            }
        }
        add_annotation(shapes, redo_shapes, text_annotation(text, text_position, size.cx, size.cy, color, thickness));
    }
    repaint();
}

void CaptureOverlay::cancel_text_edit() {
    if (!text_box) return;
    committing = true;
    RemoveWindowSubclass(text_box, text_edit_subclass_proc, kCaptureTextSubclassId);
    DestroyWindow(text_box);
    text_box = nullptr;
    text_font.reset();
    committing = false;
    repaint();
}

LRESULT CALLBACK text_edit_subclass_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR ref) {
    auto* overlay = reinterpret_cast<CaptureOverlay*>(ref);
    try {
        if (message == WM_KEYDOWN && wparam == VK_RETURN) return overlay->commit_text(), 0;
        if (message == WM_KEYDOWN && wparam == VK_ESCAPE) return overlay->cancel_text_edit(), 0;
        if (message == WM_KILLFOCUS && overlay->text_box) return overlay->commit_text(), 0;
    } catch (const std::bad_alloc&) {
        overlay->end_for_want_of_memory();
        return 0;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}
