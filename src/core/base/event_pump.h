// Lets pending window events (repaints, clicks, timer ticks) run once from inside a handler.
#pragma once

namespace tarvo {

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace tarvo
