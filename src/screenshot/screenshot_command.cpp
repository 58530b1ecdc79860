#include "screenshot/screenshot.h"

// The screenshot tool (capture, overlay, annotations) is not built yet: a
// screenshot request does nothing.
void run_screenshot(App& app, ScreenshotMode mode) {}
