// Wall-clock time as the event log writes it: local time, ISO 8601, milliseconds, UTC offset.
#pragma once

#include <chrono>
#include <string>

namespace tarvo {

// For example "2026-12-11T15:23:49.123+09:00".
std::string LocalIsoTime(std::chrono::system_clock::time_point when);

}  // namespace tarvo
