// Converts image files for a Python test that checks them with ImageMagick.
//   image_probe png2dib <in.png> <out.dib>
//   image_probe dib2png <in.dib> <out.png>
// Exit code 0 when the conversion succeeded, 1 when it failed (nothing is
// written then), 2 for bad arguments.
#include "services/file_io.h"
#include "services/image.h"
#include "services/image_file.h"

#include "helpers/probe_util.h"
#include "support/test_support.h"

#include <windows.h>
#include <shellapi.h>

int main() {
    testsupport::install_crash_guard();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4) return probe::bad_arguments();
    const std::wstring command = argv[1];
    const std::string in = testsupport::read_bytes(argv[2]);
    const Bytes input(in.begin(), in.end());
    Bytes output;
    bool ok;
    if (command == L"png2dib") ok = png_to_dib(input, output);
    else if (command == L"dib2png") ok = dib_to_png(input, output);
    else return probe::bad_arguments();
    if (ok && output.empty()) return probe::give_up(3, "the conversion succeeded with no bytes");
    if (!ok) return probe::give_up(1, "the conversion failed");
    return write_file_atomic(argv[3], output) ? 0 : probe::give_up(1, "the output was not written");
}
