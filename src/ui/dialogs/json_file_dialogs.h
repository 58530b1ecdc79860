#pragma once
// The JSON history file through the standard file dialogs: export and
// import, each telling the user how many entries it wrote or read, or that it
// failed and with which file (memory that ran out before the export could
// write anything among the reasons), or that the dialog itself failed.

#include "ui/dialogs/file_dialog.h"

#include <windows.h>

class HistoryDb;

// Asks for a file "*.json" to save (confirming a replacement) or to open (it
// must exist).
FileDialogAnswer ask_json_path(HWND owner, bool save);

// The question the commands ask, behind a seam so that tests can answer it
// themselves: puts another in place (null brings back ask_json_path) and
// returns the one that was in place.
using JsonPathDialog = FileDialogAnswer (*)(HWND owner, bool save);
JsonPathDialog set_json_path_dialog(JsonPathDialog dialog);

// Asks for a file and exports the history into it; nothing when cancelled.
void export_history_json(HWND owner, HistoryDb& db);
// Asks for a file and imports it; false when no file was chosen (the lists
// then need no refresh).
bool import_history_json(HWND owner, HistoryDb& db);
