#pragma once
// The message fetch every modal loop of the program uses (popup menu, boxes,
// editors). A WM_QUIT taken from the queue inside a nested loop would
// otherwise be lost and the program would keep running after it was told to
// end: the quit is posted again for the outer loop, and the modal loop is
// told to end.

#include <windows.h>

// GetMessageW for a modal loop: true with a message to handle; false when
// the loop must end (WM_QUIT, already posted again, or a failed fetch).
bool get_modal_message(MSG& msg);
