#include "capture/entry_clipboard.h"

#include "capture/clipboard_watcher.h"
#include "services/clipboard.h"
#include "services/image.h"
#include "storage/history_records.h"

bool place_entry_on_clipboard(ClipboardWatcher* watcher, const HistoryEntry& entry) {
    if (watcher) watcher->note_own_text(entry.text);
    if (entry.is_image && !entry.image.empty()) {
        // The picture goes on as a DIB; noting that very DIB lets the watcher
        // recognise it when it reads the clipboard back.
        Bytes dib;
        if (is_png(entry.image)) {
            if (!png_to_dib(entry.image, dib)) dib.clear();
        } else {
            dib = entry.image;
        }
        if (watcher) watcher->note_own_image(dib);
        return put_entry_on_clipboard(entry.text, {}, {}, dib);
    }
    if (entry.rtf.empty() && entry.html.empty()) return set_clipboard_text(entry.text);
    return put_entry_on_clipboard(entry.text, entry.rtf, entry.html, {});
}
