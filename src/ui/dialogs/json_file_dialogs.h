#pragma once
// The JSON history file through the standard file dialogs: export and
// import, each telling the user how many entries it wrote or read, or that
// memory ran out before the export could write anything.

#include <windows.h>

#include <string>

class HistoryDb;

// Asks for a file "*.json" to save (confirming a replacement) or to open (it
// must exist); false when the user cancelled.
bool ask_json_path(HWND owner, bool save, std::wstring& path);

// Asks for a file and exports the history into it; nothing when cancelled.
void export_history_json(HWND owner, HistoryDb& db);
// Asks for a file and imports it; false when the user cancelled (the lists
// then need no refresh).
bool import_history_json(HWND owner, HistoryDb& db);
