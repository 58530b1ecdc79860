#pragma once
// The shapes of the screenshot editor and the rules that make them from the
// pointer: what each tool starts, how a drag shapes it, when it is big
// enough to keep, the undo and redo lists, and the geometry drawing and
// compose share (arrow head, stamp, blur blocks). Pure: no window or DC.

#include "screenshot/shot_geometry.h"
#include "services/encoding.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class AnnotationKind : std::int32_t { Arrow, Pencil, Line, Rect, Text, Number, Blur };

// The overlay's tools, in toolbar order.
enum class CaptureTool : std::int32_t { Move, Arrow, Pencil, Line, Rect, Text, Number, Blur };

enum class CaptureAction : std::int32_t { Cancel, Done, Copy, Save };

// Colours are COLORREF values (0x00BBGGRR).
struct Annotation {
    AnnotationKind kind = AnnotationKind::Arrow;
    std::vector<PixelPoint> points;  // Arrow, Line (first and last), Pencil (all)
    std::uint32_t color = 0;
    std::int32_t thickness = 3;  // 1..24: pen, text size, stamp radius, blur block
    std::wstring text;
    std::int32_t value = 0;                   // the number of a stamp
    std::int32_t x = 0, y = 0, w = 0, h = 0;  // box of Rect, Blur, Text, Number
};

// What the overlay hands back to the screenshot command.
struct CaptureResult {
    bool ok = false;  // false: cancelled
    Bytes png;
    std::int32_t width = 0, height = 0;
    std::uint32_t color = 0;
    std::int32_t thickness = 3;
    CaptureAction action = CaptureAction::Cancel;
};

inline constexpr std::int32_t kMinThickness = 1;
inline constexpr std::int32_t kMaxThickness = 24;
inline constexpr std::uint32_t kDefaultShotColor = 0x004646E6;
inline constexpr size_t kMaxAnnotationText = 1023;

std::int32_t clamp_thickness(std::int32_t thickness);
// A stored colour of 0 means the default red.
std::uint32_t shot_color_or_default(std::uint32_t color);

// ---- the lists: committed shapes in drawing order, and the redo stack
void push_annotation(std::vector<Annotation>& list, Annotation annotation);
// Every new shape goes through here: redo is possible only until one is made.
void add_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo, Annotation annotation);
void undo_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo);
void redo_annotation(std::vector<Annotation>& shapes, std::vector<Annotation>& redo);

// ---- shapes from the pointer
// Whether the tool drags out a shape (Arrow, Pencil, Line, Rect, Blur).
bool tool_drags_shape(CaptureTool tool);
AnnotationKind kind_for_tool(CaptureTool tool);
// The shape a press with a dragging tool starts: points [p, p], and for
// Rect and Blur an empty box at p.
Annotation start_shape(CaptureTool tool, PixelPoint p, std::uint32_t color, std::int32_t thickness);
// One pointer move while dragging: a pencil grows by points at least 2
// pixels apart, a box follows p (a square with square), a line's end follows p.
void drag_shape(Annotation& shape, PixelPoint p, bool square);
// Whether a released shape is kept: lines and arrows at least 4 pixels long,
// pencils with two points, boxes of at least 3 × 3.
bool shape_worth_keeping(const Annotation& shape);

std::int32_t stamp_radius(std::int32_t thickness);
// A number stamp centred on p.
Annotation number_stamp(PixelPoint p, std::int32_t value, std::uint32_t color, std::int32_t thickness);
// A text shape at p whose text measured text_width × text_height pixels.
Annotation text_annotation(const std::wstring& text, PixelPoint p, std::int32_t text_width, std::int32_t text_height,
                           std::uint32_t color, std::int32_t thickness);

// ---- drawing geometry
// Character height of the text font for a thickness.
std::int32_t annotation_font_height(std::int32_t thickness);
// The far ends of the two head strokes drawn from last, for a line that
// runs from first to last.
std::array<PixelPoint, 2> arrow_head_ends(PixelPoint first, PixelPoint last, std::int32_t thickness);
// The mosaic of a blur: block side, and the small picture's size it is
// scaled through (at least one block each way).
struct BlurGrid {
    std::int32_t block = 0;
    std::int32_t columns = 0, rows = 0;
};
BlurGrid blur_grid(std::int32_t w, std::int32_t h, std::int32_t thickness);
