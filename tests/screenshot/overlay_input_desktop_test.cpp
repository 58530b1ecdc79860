// The screenshot editor's mouse and key handlers, called as its window
// procedure calls them, on the overlay's own state: no overlay window, no
// picture on screen. Only the text box needs a window to live in; it gets a
// plain hidden one.

#include "screenshot/capture_overlay.h"
#include "services/ids.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>

namespace {

// Whether the left button is down is read from the thread's key state, as
// the window procedure would find it while a drag goes on.
void set_left_button(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

::testing::AssertionResult is_rect(const PixelRect& r, int x, int y, int w, int h) {
    if (r.x == x && r.y == y && r.w == w && r.h == h) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

class OverlayInput : public ::testing::Test {
protected:
    void SetUp() override {
        CapturedImage picture;
        picture.width = 800, picture.height = 600, picture.ok = true;
        picture.dib = make_capture_dib(picture.width, picture.height);
        overlay.set_up(GetModuleHandleW(nullptr), picture, true, true, std::nullopt, 0, 3);
    }
    void TearDown() override { set_left_button(false); }

    void press(int x, int y) {
        set_left_button(true);
        overlay.on_left_button_down({x, y});
    }
    void release(int x, int y) {
        overlay.on_left_button_up({x, y});
        set_left_button(false);
    }
    void drag(int x1, int y1, int x2, int y2, bool shift = false) {
        press(x1, y1);
        overlay.on_mouse_move({(x1 + x2) / 2, (y1 + y2) / 2}, shift);
        overlay.on_mouse_move({x2, y2}, shift);
        release(x2, y2);
    }
    void select(int x, int y, int w, int h) { drag(x, y, x + w, y + h); }
    // A press and release on a toolbar button, laid out as it is painted.
    void click_button(int id, int release_on = 0) {
        const EdgeRect& r = button(id);
        const EdgeRect& up = button(release_on ? release_on : id);
        press((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        release((up.left + up.right) / 2, (up.top + up.bottom) / 2);
    }
    const EdgeRect& button(int id) {
        if (!overlay.laid_out) overlay.layout_toolbar();
        for (const ToolbarButton& b : overlay.buttons)
            if (b.id == id) return b.rect;
        ADD_FAILURE() << "no button " << id;
        static const EdgeRect none;
        return none;
    }

    CaptureOverlay overlay;
};

}  // namespace

TEST_F(OverlayInput, ASelectionNeedsEightPixelsEachWay) {
    drag(100, 100, 107, 300);
    EXPECT_FALSE(overlay.has_selection) << "7 pixels wide";
    drag(100, 100, 300, 107);
    EXPECT_FALSE(overlay.has_selection) << "7 pixels high";
    select(100, 100, 8, 8);
    EXPECT_TRUE(overlay.has_selection);
    EXPECT_TRUE(is_rect(overlay.selection, 100, 100, 8, 8));
    // With Shift the drag is a square of the longer side, toward the pointer.
    drag(400, 300, 380, 250, true);
    EXPECT_TRUE(is_rect(overlay.selection, 350, 250, 50, 50));
    // A pointer that comes back with the button up ends the drag it was in.
    press(10, 10);
    set_left_button(false);
    overlay.on_mouse_move({200, 200}, false);
    EXPECT_EQ(overlay.drag, DragMode::None);
}

TEST_F(OverlayInput, AnEdgeWithinReachResizesWhateverTheTool) {
    select(100, 100, 200, 100);
    for (CaptureTool tool : {CaptureTool::Move, CaptureTool::Arrow, CaptureTool::Number, CaptureTool::Blur}) {
        overlay.selection = {100, 100, 200, 100};
        overlay.set_tool(tool);
        // 7 pixels right of the right edge, and then just inside it.
        drag(307, 150, 350, 170);
        EXPECT_TRUE(is_rect(overlay.selection, 100, 100, 250, 100)) << int(tool);
        drag(346, 150, 400, 150);
        EXPECT_TRUE(is_rect(overlay.selection, 100, 100, 300, 100)) << int(tool);
        EXPECT_TRUE(overlay.shapes.empty()) << "no shape from tool " << int(tool);
    }
    // Inside, off the edges, the tool acts: Move moves, Number stamps.
    overlay.set_tool(CaptureTool::Move);
    drag(200, 150, 230, 160);
    EXPECT_TRUE(is_rect(overlay.selection, 130, 110, 300, 100));
    overlay.set_tool(CaptureTool::Number);
    press(250, 150);
    release(250, 150);
    EXPECT_EQ(overlay.shapes.size(), 1u);
    // 8 pixels outside: a new selection.
    drag(438, 150, 600, 400);
    EXPECT_TRUE(is_rect(overlay.selection, 438, 150, 162, 250));
}

TEST_F(OverlayInput, KeysMoveTheSelectionAndCtrlATakesThePicture) {
    overlay.on_key_down(VK_RIGHT, false, false);
    EXPECT_FALSE(overlay.has_selection) << "nothing to move";
    select(100, 100, 50, 40);
    overlay.on_key_down(VK_RIGHT, false, false);
    overlay.on_key_down(VK_DOWN, true, false);  // with Ctrl as without
    EXPECT_TRUE(is_rect(overlay.selection, 101, 101, 50, 40));
    overlay.on_key_down(VK_LEFT, false, true);
    overlay.on_key_down(VK_UP, false, true);
    EXPECT_TRUE(is_rect(overlay.selection, 91, 91, 50, 40)) << "Shift moves by 10";
    for (int i = 0; i < 20; ++i) overlay.on_key_down(VK_UP, false, true);
    EXPECT_TRUE(is_rect(overlay.selection, 91, 0, 50, 40)) << "stops at the edge with its size";
    overlay.on_key_down('A', false, false);
    EXPECT_TRUE(is_rect(overlay.selection, 91, 0, 50, 40)) << "A without Ctrl";
    overlay.on_key_down('A', true, false);
    EXPECT_TRUE(is_rect(overlay.selection, 0, 0, 800, 600));
}

TEST_F(OverlayInput, ToolbarButtonsActOnReleaseOverThemselves) {
    select(100, 100, 400, 200);
    const PixelRect selected = overlay.selection;
    for (int i = 0; i < 30; ++i) click_button(kCaptureThicker);
    EXPECT_EQ(overlay.thickness, 24);
    for (int i = 0; i < 30; ++i) click_button(kCaptureThinner);
    EXPECT_EQ(overlay.thickness, 1);
    click_button(kCaptureThicker, kCaptureThinner);
    EXPECT_EQ(overlay.thickness, 1) << "released over another button";

    click_button(kCaptureToolFirst + int(CaptureTool::Number));
    ASSERT_EQ(overlay.tool, CaptureTool::Number);
    for (int x : {150, 200, 250}) press(x, 150), release(x, 150);
    click_button(kCaptureUndo);
    click_button(kCaptureUndo);
    click_button(kCaptureRedo);
    ASSERT_EQ(overlay.shapes.size(), 2u);
    EXPECT_EQ(overlay.shapes.back().value, 2);
    click_button(kCaptureUndo, kCaptureRedo);
    EXPECT_EQ(overlay.shapes.size(), 2u) << "released over another button";
    EXPECT_TRUE(is_rect(overlay.selection, selected.x, selected.y, selected.w, selected.h))
        << "presses on the toolbar never drag";
}

TEST_F(OverlayInput, TheTextBoxDropsItsTextOnEscAndKeepsItOnAClickAway) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvaneTestOverlayHost";
    RegisterClassW(&wc);
    HWND host =
        CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host, nullptr);
    overlay.window = host;
    select(100, 100, 400, 200);
    overlay.set_tool(CaptureTool::Text);
    const auto type = [&](const wchar_t* text) {
        for (const wchar_t* c = text; *c; ++c) SendMessageW(overlay.text_box, WM_CHAR, *c, 1);
    };

    press(150, 150);
    release(150, 150);
    ASSERT_NE(overlay.text_box, nullptr);
    type(L"dropped");
    SendMessageW(overlay.text_box, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(overlay.text_box, nullptr);
    EXPECT_TRUE(overlay.shapes.empty());
    EXPECT_EQ(overlay.window, host) << "Esc in the box leaves the editor open";

    press(160, 170);
    release(160, 170);
    ASSERT_NE(overlay.text_box, nullptr);
    type(L"kept");
    // The last word still being composed with an input method: Wine's own
    // stands in for one.
    HIMC ime = ImmGetContext(overlay.text_box);
    ASSERT_NE(ime, nullptr);
    ImmSetOpenStatus(ime, TRUE);
    ImmSetCompositionStringW(ime, SCS_SETSTR, const_cast<wchar_t*>(L" word"), 5 * sizeof(wchar_t), nullptr, 0);
    ImmReleaseContext(overlay.text_box, ime);
    // A press outside the selection: the text is committed with the word
    // finished, and the press then starts a new selection as it would
    // without a box.
    press(600, 450);
    EXPECT_EQ(overlay.text_box, nullptr);
    ASSERT_EQ(overlay.shapes.size(), 1u);
    EXPECT_EQ(overlay.shapes[0].kind, AnnotationKind::Text);
    EXPECT_EQ(overlay.shapes[0].text, L"kept word");
    ime = ImmGetContext(host);
    EXPECT_EQ(ImmGetCompositionStringW(ime, GCS_COMPSTR, nullptr, 0), 0) << "nothing left composing";
    ImmReleaseContext(host, ime);
    EXPECT_EQ(overlay.shapes[0].x, 160);
    EXPECT_EQ(overlay.shapes[0].y, 170);
    EXPECT_EQ(overlay.drag, DragMode::NewSelection);
    release(600, 450);

    overlay.window = nullptr;
    DestroyWindow(host);
}
