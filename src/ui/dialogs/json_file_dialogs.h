#pragma once
// The JSON history file through the standard file dialogs: export and
// import, each telling the user how many entries it wrote or read, or that it
// failed and with which file (memory that ran out before the export could
// write anything among the reasons), or that the dialog itself failed.

#include <windows.h>

class HistoryDb;

// Asks for a file and exports the history into it; nothing when cancelled.
void export_history_json(HWND owner, HistoryDb& db);
// Asks for a file and imports it; false when no file was chosen (the lists
// then need no refresh).
bool import_history_json(HWND owner, HistoryDb& db);
