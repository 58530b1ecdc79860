#include "app/app.h"

// The screenshot tool (capture, overlay, annotations) is not built yet: a
// screenshot request does nothing.
void App::take_screenshot(int mode) {}
