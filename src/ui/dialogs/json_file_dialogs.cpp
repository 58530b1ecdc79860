#include "ui/dialogs/json_file_dialogs.h"

#include "config/language.h"
#include "storage/history_db.h"

#include <commdlg.h>

namespace {

constexpr wchar_t kJsonFilter[] = L"JSON (*.json)\0*.json\0";

}  // namespace

bool ask_json_path(HWND owner, bool save, std::wstring& path) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kJsonFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"json";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    path = file;
    return true;
}

void export_history_json(HWND owner, HistoryDb& db) {
    std::wstring path;
    if (!ask_json_path(owner, true, path)) return;
    const int count = db.export_json(path);
    if (count == kExportOutOfMemory) {
        MessageBoxW(owner, tr_format(L"status.export_no_memory", path).c_str(), tr(L"title.export").c_str(),
                    MB_OK | MB_ICONERROR);
        return;
    }
    MessageBoxW(owner, tr_format(L"status.exported", count).c_str(), tr(L"title.export").c_str(), MB_OK);
}

bool import_history_json(HWND owner, HistoryDb& db) {
    std::wstring path;
    if (!ask_json_path(owner, false, path)) return false;
    const int count = db.import_json(path);
    MessageBoxW(owner, tr_format(L"status.imported", count).c_str(), tr(L"title.import").c_str(), MB_OK);
    return true;
}
