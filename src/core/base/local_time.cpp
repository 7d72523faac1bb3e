#include "core/base/local_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tarvo {

std::string LocalIsoTime(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  int millis = static_cast<int>(ms % 1000);
  if (millis < 0) {
    millis += 1000;
    --seconds;
  }
  std::tm local{};
  localtime_r(&seconds, &local);
  const long offset = local.tm_gmtoff / 60;
  const long offsetMagnitude = std::labs(offset);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, millis, offset < 0 ? '-' : '+', offsetMagnitude / 60,
                offsetMagnitude % 60);
  return text;
}

}  // namespace tarvo
