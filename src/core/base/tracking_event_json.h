// Tracking events as one-line JSON objects: the call log's lines, standard output, MQTT payloads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/base/tracking_event.h"

namespace tarvo {

// One line without its line end; fields that are empty or unset are left out.
std::string FormatEventJson(const TrackingEvent& event);

// Reads a line written by FormatEventJson (or by hand): a flat JSON object of strings, numbers
// and booleans. Unknown fields are ignored; nullopt when the line is not such an object or has no
// "event".
std::optional<TrackingEvent> ParseEventJson(std::string_view line);

}  // namespace tarvo
