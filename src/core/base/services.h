// The outside world as the core reaches it: receiver, monitor output, eye-pattern window,
// heard-lines list, event pump, operator notices and clock. The program wires real parts in,
// tests wire fakes and recorders.
#pragma once

namespace tarvo {

class Receiver;
class MonitorSink;
class EyePatternSink;
class HeardLinesSink;
class EventPump;
class Notice;
class Clock;

struct Services {
  Receiver* receiver = nullptr;
  MonitorSink* monitor = nullptr;
  EyePatternSink* eye = nullptr;
  HeardLinesSink* heardLines = nullptr;
  EventPump* pump = nullptr;
  Notice* notice = nullptr;
  Clock* clock = nullptr;
};

}  // namespace tarvo
