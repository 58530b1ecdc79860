#pragma once
// Whole files in and out, the one way every part of the program reads and
// writes them: the settings and language files, the JSON history file, the
// saved pictures, and the history file moved aside when it is damaged.

#include "services/encoding.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

enum class FileRead {
    Ok,
    Missing,  // no such file (or folder on its path)
    Failed,   // it exists but cannot be opened or read, or it is larger than allowed
};

// Reads the whole file into out (emptied first), allowing at most max_bytes.
FileRead read_whole_file(const std::wstring& path, std::string& out,
                         std::uint64_t max_bytes = std::numeric_limits<std::uint64_t>::max());

// Writes a file so that nobody ever finds it half-written: the bytes go to a
// new file of a unique name beside path, are flushed to the disk, and that
// file then takes path's place. Until the last step an existing file at path
// stays as it was, and after a failure it still does, with no temporary file
// left behind. Empty bytes are refused (false, the disk is not touched): no
// file of the program is empty on purpose.
bool write_file_atomic(const std::wstring& path, std::string_view bytes);
bool write_file_atomic(const std::wstring& path, const Bytes& bytes);
// The unique name of write_file_atomic's attempt-th try in process: in path's
// folder, and within the longest path Windows takes (MAX_PATH, the program
// not being long-path aware) whenever path is.
std::wstring temporary_path(const std::wstring& path, unsigned long process, int attempt);

// Creates a new file with the bytes and never replaces one: when path exists
// the call fails with GetLastError() ERROR_FILE_EXISTS and leaves it alone. A
// write that fails removes the new file again (the error is then
// ERROR_WRITE_FAULT). Empty bytes are refused, as above.
bool create_new_file(const std::wstring& path, std::string_view bytes);
bool create_new_file(const std::wstring& path, const Bytes& bytes);

// Gives a file a new name, never replacing another file: false, and the file
// left where it was, when to exists or the move fails (GetLastError() says
// why; ERROR_FILE_NOT_FOUND when there is no such file).
bool rename_file(const std::wstring& from, const std::wstring& to);
