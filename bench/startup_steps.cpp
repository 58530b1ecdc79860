// Korvane's own start path with a recorder of its steps: bench_startup runs
// this program the way it would run Korvane.exe and prints the medians of the
// steps. Not to be run by hand:
//   bench_startup_steps.exe <counter reading before CreateProcessW> <output file>
// Once the start is over it writes one line per step, "<milliseconds> <step>"
// (to a second file first, then renamed, so that the file is whole when seen).

#include "app/startup_steps.h"
#include "app/program.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string out = argv[2];
    StartupSteps steps(std::atoll(argv[1]), [&out](const StartupSteps& done) {
        const std::string part = out + ".part";
        FILE* f = std::fopen(part.c_str(), "w");
        if (!f) return;
        for (const StartupSteps::Step& step : done.steps()) std::fprintf(f, "%.3f %s\n", step.ms, step.name);
        std::fclose(f);
        MoveFileExA(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
    });
    steps.mark("process start, libraries");
    return run_program(GetModuleHandleW(nullptr), &steps);
}
