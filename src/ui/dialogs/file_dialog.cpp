#include "ui/dialogs/file_dialog.h"

#include "config/language.h"

#include <commdlg.h>

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

// Empty when it cannot be read.
std::wstring current_folder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

}  // namespace

// OFN_NOCHANGEDIR binds the Save dialog only: the Open dialog of Windows
// leaves the current folder wherever the user browsed, so it is put back here
// for both.
FileDialogAnswer ask_for_file(const FileDialogRequest& request) {
    const std::wstring folder = current_folder();
    FileDialogAnswer answer = g_dialog(request);
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    return answer;
}

FileDialog set_file_dialog(FileDialog dialog) {
    const FileDialog before = g_dialog;
    g_dialog = dialog ? dialog : system_file_dialog;
    return before;
}

std::wstring file_dialog_failure(DWORD error) { return tr_format(L"status.file_dialog_failed", error); }
