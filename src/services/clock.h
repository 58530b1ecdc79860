#pragma once
// The two clocks: a monotonic one for short time windows, and the wall clock
// as the timestamp text stored everywhere ("%Y-%m-%dT%H:%M:%S", local time).
// Both are safe on any thread.

#include <ctime>
#include <string>

double now_seconds();
std::wstring now_iso();

// Local time of t, thread-safe; false when the conversion fails.
bool local_time(std::time_t t, std::tm& out);

// The C runtime reads the time zone once and keeps it: after the user
// changes the zone, local times follow only once this has read it again.
void reread_time_zone();
