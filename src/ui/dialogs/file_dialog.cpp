#include "ui/dialogs/file_dialog.h"

#include "config/language.h"

#include <commdlg.h>

#include <filesystem>
#include <system_error>

namespace {

FileDialogAnswer system_file_dialog(const FileDialogRequest& request) {
    wchar_t buffer[MAX_PATH] = {};
    request.name.copy(buffer, MAX_PATH - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
    ofn.lpstrDefExt = request.extension;
    ofn.Flags = OFN_NOCHANGEDIR | (request.save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST);
    if (request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))
        return {FileDialogAnswer::Outcome::Chosen, buffer};
    const DWORD error = CommDlgExtendedError();
    return {error ? FileDialogAnswer::Outcome::Failed : FileDialogAnswer::Outcome::Cancelled, {}, error};
}

FileDialog g_dialog = system_file_dialog;

}  // namespace

// OFN_NOCHANGEDIR binds the Save dialog only: the Open dialog of Windows
// leaves the current folder wherever the user browsed, so it is put back here
// for both.
FileDialogAnswer ask_for_file(const FileDialogRequest& request) {
    std::error_code unreadable;
    const std::filesystem::path folder = std::filesystem::current_path(unreadable);
    FileDialogAnswer answer = g_dialog(request);
    if (!unreadable) std::filesystem::current_path(folder, unreadable);
    return answer;
}

FileDialog set_file_dialog(FileDialog dialog) {
    const FileDialog before = g_dialog;
    g_dialog = dialog ? dialog : system_file_dialog;
    return before;
}

std::wstring file_dialog_failure(DWORD error) { return tr_format(L"status.file_dialog_failed", error); }
