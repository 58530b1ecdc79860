#pragma once
// The screenshot editor: one borderless topmost window over the whole
// virtual screen showing the frozen picture, in which the user picks the part
// to keep, annotates it and leaves with done, copy, save or cancel. It runs
// its own modal loop and is used for one screenshot only.
//
// One class over several files: capture_overlay.cpp (window, loop, life),
// capture_overlay_input.cpp (mouse, keys, text box), annotation_draw.cpp
// (drawing shapes, undo and redo), capture_compose.cpp (the final picture),
// overlay_paint.cpp (painting and the toolbar).

#include "screenshot/annotation.h"
#include "screenshot/captured_image.h"
#include "screenshot/overlay_toolbar.h"
#include "screenshot/shot_geometry.h"
#include "services/handles.h"

#include <windows.h>

#include <optional>
#include <vector>

// A bitmap selected into a memory DC of its own; reset() (and the
// destructor) takes it out again before either is deleted.
struct BitmapDc {
    ScopedDc dc;
    ScopedBitmap bitmap;
    HGDIOBJ previous = nullptr;

    BitmapDc() = default;
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;
    ~BitmapDc() { reset(); }
    // Takes the bitmap into a new DC compatible with reference (null: the
    // screen); false, holding nothing, when either is missing.
    bool hold(HDC reference, ScopedBitmap made);
    void reset();
    HDC get() const { return dc.get(); }
    explicit operator bool() const { return dc && bitmap; }
};

// What the left button is doing.
enum class DragMode : std::int32_t { None, NewSelection, Move, Resize };

// Outside the selection the picture keeps 105/255 of its brightness.
inline constexpr BYTE kDimAlpha = 150;

class CaptureOverlay {
public:
    CaptureOverlay() = default;
    ~CaptureOverlay();
    CaptureOverlay(const CaptureOverlay&) = delete;
    CaptureOverlay& operator=(const CaptureOverlay&) = delete;

    // Shows the overlay over the picture and returns when it is gone. A null
    // colour means the default red; first, when it has an area, is selected
    // at the start. The overlay keeps the picture (moved in, it is never
    // copied). Throws std::bad_alloc when memory ran out on the way, after
    // the window is gone.
    CaptureResult run(HINSTANCE module, CapturedImage picture, bool dark_mode, bool editor_enabled,
                      std::optional<PixelRect> first, COLORREF start_color, int start_thickness);

    // ---- window and life (capture_overlay.cpp)
    // run's first steps: the state from the arguments.
    void set_up(HINSTANCE module, CapturedImage picture, bool dark_mode, bool editor_enabled,
                std::optional<PixelRect> first, COLORREF start_color, int start_thickness);
    // The fonts, the picture moved into a bitmap in a memory DC (its bytes in
    // capture are freed), the one-pixel dimmer and the monitors; false
    // without a picture, std::bad_alloc when there is no memory for its
    // bitmap. Enough to paint and compose, with or without a window.
    bool create_resources();
    // The resources when missing, then the window (not yet shown).
    bool create_window();
    // Cancels: drops an open text box and destroys the window.
    void close();
    // Closes when memory ran out in a message: exceptions must not pass
    // through the system's code that called the window procedure.
    void end_for_want_of_memory();
    void release_resources();
    // Asks for a repaint of the whole window, when there is one.
    void repaint() const;

    // ---- input (capture_overlay_input.cpp)
    void on_left_button_down(PixelPoint p);
    void on_mouse_move(PixelPoint p, bool shift);
    void on_left_button_up(PixelPoint p);
    void on_key_down(UINT vk, bool ctrl, bool shift);
    void on_mouse_wheel(int delta);
    void on_set_cursor(PixelPoint p);
    void set_tool(CaptureTool new_tool);
    void begin_text_edit(PixelPoint p);
    void commit_text();
    void cancel_text_edit();

    // ---- shapes (annotation_draw.cpp)
    // Draws one shape shifted by (dx, dy). A blur reads the unannotated
    // picture from blur_source, which holds it in picture coordinates.
    void draw_annotation(HDC dc, const Annotation& a, int dx, int dy) const;
    void draw_annotations(HDC dc, int dx, int dy) const;
    void undo();
    void redo();

    // ---- the result (capture_compose.cpp)
    // The selection with every committed shape as a 32-bit top-down DIB.
    bool compose_selection(Bytes& dib, int& width, int& height);
    // Composes, encodes and closes with the action; false (overlay left open
    // and unchanged) when that fails.
    bool finish(CaptureAction action);

    // ---- painting and toolbar (overlay_paint.cpp)
    // Throws std::bad_alloc when there is no memory for the back buffer.
    void on_paint(HDC paint_dc);
    // The whole scene into the back buffer (made on first use).
    void paint_scene();
    bool ensure_back_buffer(HDC reference);
    // The picture dimmed once, made on first use; false without memory for it.
    bool ensure_dimmed();
    // Where the toolbar, the size label and the tooltips stay: the work area
    // of the monitor that shows most of the selection.
    EdgeRect selection_work_area() const;
    void dim_rect(HDC dc, int x, int y, int w, int h, BYTE alpha) const;
    void draw_hint(HDC dc) const;
    void draw_selection_frame(HDC dc) const;
    void draw_size_label(HDC dc) const;
    void layout_toolbar();
    void draw_toolbar(HDC dc) const;
    int toolbar_hit_test(PixelPoint p) const;
    void on_toolbar_click(int index);

    HINSTANCE instance = nullptr;
    HWND window = nullptr;              // null once destroyed, which ends the loop
    CapturedImage capture;              // its bytes move into the picture bitmap
    std::vector<MonitorArea> monitors;  // in picture coordinates, the primary first
    bool dark = false;
    bool editor = true;  // off: no toolbar, and a new selection finishes at once
    PixelRect bounds;    // (0, 0, picture width, picture height)
    PixelRect selection;
    bool has_selection = false;
    DragMode drag = DragMode::None;
    ResizeHandle handle = ResizeHandle::None;
    PixelPoint press_point;
    PixelRect rect_at_press;
    std::vector<Annotation> shapes;
    std::vector<Annotation> redo_shapes;
    std::int32_t next_number = 1;
    CaptureTool tool = CaptureTool::Arrow;
    COLORREF color = kDefaultShotColor;
    std::int32_t thickness = 3;
    bool drawing = false;
    Annotation current_shape;
    HWND text_box = nullptr;
    PixelPoint text_position;
    bool committing = false;  // the text box is being closed

    BitmapDc back_buffer;                        // made on the first paint, the picture's size
    BitmapDc picture;                            // the screen picture, a top-down 32-bit DIB section
    const std::uint8_t* picture_bits = nullptr;  // its pixels
    BitmapDc dimmer;                             // one black pixel
    // The picture dimmed once, so that a paint (one per pointer move) copies
    // it instead of blending the whole screen again.
    BitmapDc dimmed;
    HDC blur_source = nullptr;  // the picture DC while painting or composing

    ScopedFont hint_font, label_font, icon_font, text_font;
    ScopedBrush edit_brush;

    std::vector<ToolbarButton> buttons;
    std::vector<int> separators;
    EdgeRect toolbar_rect;
    EdgeRect thickness_box;
    int hover = -1;
    int pressed = -1;
    bool laid_out = false;  // the toolbar is on screen and may be hit

    CaptureResult result;
    bool out_of_memory = false;  // the overlay ended for want of memory
};

LRESULT CALLBACK capture_overlay_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK text_edit_subclass_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR ref);

// The text font of a shape: "Segoe UI Variable Text" at 3 × thickness + 14 pixels.
ScopedFont make_annotation_font(int thickness);

// A top-down 32-bit DIB section of width × height, laid out as a capture;
// bits (when asked for) receives its pixels. Null when there is no memory for
// it. Sections hold the overlay's copies of the screen because their memory
// is the process's own and goes back to the system when they are deleted.
ScopedBitmap make_picture_section(int width, int height, void** bits = nullptr);
