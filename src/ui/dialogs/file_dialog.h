#pragma once
// The system's Open and Save dialogs, the one way the program asks for a
// file. The process's current folder stays where it was, whatever folder the
// user browses to: a folder left current is one Windows holds in use (a USB
// stick then cannot be removed safely), and a relative path would resolve
// there.

#include <windows.h>

#include <string>

struct FileDialogRequest {
    HWND owner = nullptr;
    // A Save dialog, which asks before a file is replaced; otherwise Open,
    // for a file that exists. Either way the folder must exist.
    bool save = false;
    const wchar_t* filter = nullptr;     // pairs of texts ended by a NUL, as OPENFILENAMEW takes them
    const wchar_t* extension = nullptr;  // added to a name typed without one
    std::wstring folder;                 // where it opens; empty: the dialog's own choice
    std::wstring name;                   // the name proposed
};

struct FileDialogAnswer {
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Cancelled;
    std::wstring path;  // the file chosen
    // Why the dialog failed (CommDlgExtendedError): a path too long for it,
    // among others. Never a cancel: the user asked for a file.
    DWORD error = 0;
};

FileDialogAnswer ask_for_file(const FileDialogRequest& request);

// What ask_for_file shows, behind a seam so that tests can answer it
// themselves: puts another in place (null brings back the system's) and
// returns the one that was in place.
using FileDialog = FileDialogAnswer (*)(const FileDialogRequest& request);
FileDialog set_file_dialog(FileDialog dialog);

// What the user is told of a dialog that failed.
std::wstring file_dialog_failure(DWORD error);
