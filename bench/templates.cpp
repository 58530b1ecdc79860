// What expanding a template costs when it is full of braces that open no
// variable: a template of 100,000 '{', beside one of as much plain text in
// the same run. Needs no display:
//   build/wine-run.sh build/bench/bench_templates.exe [passes]     (default 10)
// The goal: the braces cost what their length costs, a few times the plain
// text at most.

#include "bench_timing.h"

#include "services/text_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kTemplateLength = 100000;

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const TemplateValues values{L"05.03.2026", L"14:07", L"05.03.2026 14:07", L"2026", L"user"};
    const std::wstring braces(kTemplateLength, L'{');
    const std::wstring plain(kTemplateLength, L'a');
    const double plain_ms = mean_ms(passes, [&] { expand_template_with(plain, values); });
    const double braces_ms = mean_ms(passes, [&] { expand_template_with(braces, values); });
    std::printf("template expansion of %zu characters, mean of %d passes\n", kTemplateLength, passes);
    std::printf("  plain text   %10.3f ms\n", plain_ms);
    std::printf("  all '{'      %10.3f ms  (%.1f x plain)\n", braces_ms, braces_ms / plain_ms);
    return 0;
}
