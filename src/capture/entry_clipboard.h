#pragma once
// Putting a history entry back on the clipboard for a paste, telling the
// watcher first so the program does not record its own write as a new copy.

struct HistoryEntry;
class ClipboardWatcher;

// An image entry with image bytes goes on as its text and the picture (a PNG
// as a DIB); an entry with rich text or HTML as text, rich text and HTML;
// any other as plain text. Both the text and the picture are noted as the
// program's own (watcher may be null). The write waits a moment for a
// clipboard another program holds (write_clipboard_patiently); false when the
// clipboard does not hold the entry: a Ctrl+V would paste something else.
bool place_entry_on_clipboard(ClipboardWatcher* watcher, const HistoryEntry& entry);
