// Drives Settings from a Python test, which reads the files with its own
// INI parser. Values come in a UTF-8 file, not on the command line, so that
// no locale stands between Python and the program.
//   settings_probe save <ini> [<values.txt>]   defaults, then each key=value line set, saved to ini
//   settings_probe resave <from> <to>          loaded from one file, saved to another
#include "config/settings.h"
#include "services/encoding.h"

#include "helpers/probe_util.h"
#include "support/test_support.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

int save(const std::wstring& ini, const std::wstring& values_file) {
    Settings s;
    if (!values_file.empty()) {
        std::istringstream lines(testsupport::read_bytes(values_file));
        std::string line;
        while (std::getline(lines, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            if (!Settings::set(s, wide_from_utf8(line.substr(0, eq)), wide_from_utf8(line.substr(eq + 1)))) {
                std::fprintf(stderr, "unknown key %s\n", line.substr(0, eq).c_str());
                return 1;
            }
        }
    }
    Settings::save(s, ini);
    return 0;
}

}  // namespace

int main() {
    testsupport::install_crash_guard();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return probe::bad_arguments();
    const std::wstring command = argv[1];
    if (command == L"save") return save(argv[2], argc > 3 ? argv[3] : L"");
    if (command == L"resave" && argc > 3) {
        Settings s;
        Settings::load(s, argv[2]);
        Settings::save(s, argv[3]);
        return 0;
    }
    return probe::bad_arguments();
}
