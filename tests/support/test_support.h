#pragma once
// Shared by the test programs and the helper programs they start.

#include <string>
#include <vector>

namespace testsupport {

// A crash ends the process at once with exit code 3: Wine's crash handling
// would otherwise hang or report an unreliable exit code.
void install_crash_guard();

// A fresh, empty folder under the temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + name
    std::wstring file(const std::wstring& name) const;

private:
    std::wstring path_;
};

// The source and build folders as Windows paths (Z:\...).
std::wstring source_dir();
std::wstring binary_dir();

// The Linux path a Windows path stands for (drive Z: is the Linux root).
// Wine does not report the exit status of Linux programs it starts, so
// outside oracles (python3, sqlite3, ImageMagick) run from Python tests
// (*_test.py, *_e2e.py) that start the Windows side, not the other way round.
std::string linux_path(const std::wstring& windows_path);

// The program's command line as wide strings (argv[0] first); helper
// programs use main(), since -municode is for the program's own entry point.
std::vector<std::wstring> command_line_args();

bool write_bytes(const std::wstring& path, const std::string& bytes);
std::string read_bytes(const std::wstring& path);
bool file_exists(const std::wstring& path);

}  // namespace testsupport
