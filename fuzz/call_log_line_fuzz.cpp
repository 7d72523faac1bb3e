// The call log's line reader on any bytes: a line it takes as an event writes back as a line
// that reads as the same event, so the history window shows what the log holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/base/tracking_event_json.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const auto event = tarvo::ParseEventJson(line);
  if (!event) return 0;
  FUZZ_CHECK(!event->event.empty());
  const std::string written = tarvo::FormatEventJson(*event);
  FUZZ_CHECK(written.find('\n') == std::string::npos);
  const auto again = tarvo::ParseEventJson(written);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(tarvo::FormatEventJson(*again) == written);
  return 0;
}
