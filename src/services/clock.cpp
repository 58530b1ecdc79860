#include "services/clock.h"

#include "services/encoding.h"

#include <chrono>

double now_seconds() {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<double>(ns.count()) / 1e9;
}

bool local_time(std::time_t t, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

void reread_time_zone() {
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

std::wstring now_iso() {
    std::tm tm{};
    if (!local_time(std::time(nullptr), tm)) return {};
    char buf[32];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    return wide_from_utf8(std::string(buf, n));
}
