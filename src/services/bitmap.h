#pragma once
// GDI bitmaps for drawing: scaled pictures for cards, previews and the view
// dialog, and the program's fallback icon. The caller owns what comes back
// (DeleteObject / DestroyIcon, or a ScopedBitmap / ScopedIcon).

#include "services/encoding.h"

#include <windows.h>

// A 32-bit bitmap of the DIB, opaque. When the picture is larger than the box,
// or force is set, it is scaled to fit the box keeping its proportions (force
// also enlarges small pictures); each side is at least 1. Null on failure.
HBITMAP dib_to_bitmap(const Bytes& dib, int box_width, int box_height, bool force);

// The same for image bytes that are either a PNG or a DIB.
HBITMAP image_to_thumbnail(const Bytes& image, int box_width, int box_height, bool force);

// The program's icon from its resources at the system size of the given
// metrics (SM_CXICON/SM_CYICON or SM_CXSMICON/SM_CYSMICON), or null. The icon
// is shared: it is never destroyed.
HICON load_app_icon(HINSTANCE module, int width_metric, int height_metric);

// The program's icon drawn by hand, for when the resource is missing: a white
// rounded plate with a black bar across its upper part.
HICON make_app_icon(int size);
