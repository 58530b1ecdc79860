#include "ui/dialogs/json_file_dialogs.h"

#include "config/language.h"
#include "storage/history_db.h"
#include "ui/dialogs/file_dialog.h"

namespace {

constexpr UINT kFailed = MB_OK | MB_ICONERROR;

// The title is looked up here, after the file dialog: while that dialog was
// open the settings window may have switched the language, which frees every
// text looked up before.
void tell(HWND owner, const std::wstring& text, const wchar_t* title_key, UINT type) {
    MessageBoxW(owner, text.c_str(), tr(title_key).c_str(), type);
}

// A file "*.json" to save (confirming a replacement) or to open (it must
// exist); empty when there is none, the user told when the dialog failed.
std::wstring chosen_file(HWND owner, bool save, const wchar_t* title_key) {
    const FileDialogAnswer answer =
        ask_for_file({.owner = owner, .save = save, .filter = L"JSON (*.json)\0*.json\0", .extension = L"json"});
    if (answer.outcome == FileDialogAnswer::Outcome::Failed)
        tell(owner, file_dialog_failure(answer.error), title_key, kFailed);
    return answer.outcome == FileDialogAnswer::Outcome::Chosen ? answer.path : std::wstring();
}

}  // namespace

void export_history_json(HWND owner, HistoryDb& db) {
    const wchar_t* title = tr_key(L"title.export");
    const std::wstring path = chosen_file(owner, true, title);
    if (path.empty()) return;
    const int count = db.export_json(path);
    if (count == kExportOutOfMemory) tell(owner, tr_format(L"status.export_no_memory", path), title, kFailed);
    else if (count == kJsonFileFailed) tell(owner, tr_format(L"status.export_failed", path), title, kFailed);
    else tell(owner, tr_format(L"status.exported", count), title, MB_OK);
}

bool import_history_json(HWND owner, HistoryDb& db) {
    const wchar_t* title = tr_key(L"title.import");
    const std::wstring path = chosen_file(owner, false, title);
    if (path.empty()) return false;
    const int count = db.import_json(path);
    if (count == kJsonFileFailed) tell(owner, tr_format(L"status.import_failed", path), title, kFailed);
    else tell(owner, tr_format(L"status.imported", count), title, MB_OK);
    return true;
}
