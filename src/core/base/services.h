// The outside world as the core reaches it: receiver, monitor output, eye-pattern window,
// heard-lines list, event pump, operator notices, clock, tracking events and decode health. The
// program wires real parts in, tests wire fakes and recorders.
#pragma once

namespace tarvo {

class Receiver;
class MonitorSink;
class EyePatternSink;
class HeardLinesSink;
class EventPump;
class Notice;
class Clock;
class TrackingEvents;
class DecodeHealth;

struct Services {
  Receiver* receiver = nullptr;
  MonitorSink* monitor = nullptr;
  EyePatternSink* eye = nullptr;
  HeardLinesSink* heardLines = nullptr;
  EventPump* pump = nullptr;
  Notice* notice = nullptr;
  Clock* clock = nullptr;
  TrackingEvents* events = nullptr;  // where every tracking decision is reported
  DecodeHealth* health = nullptr;    // frames accepted and rejected by the demodulators
};

}  // namespace tarvo
