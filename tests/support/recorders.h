// Fakes of the core's seams that record every call, for tests of decoders and handlers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/audio/monitor_sink.h"
#include "core/base/clock.h"
#include "core/base/decode_health.h"
#include "core/base/event_pump.h"
#include "core/base/heard_lines_sink.h"
#include "core/base/interval_timer.h"
#include "core/base/notice.h"
#include "core/base/services.h"
#include "core/base/tracking_events.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/radio/receiver.h"

namespace tarvo::testing {

struct TuneCall {
  std::string frequencyText;
  int model;
};

class RecordingReceiver : public Receiver {
 public:
  void TuneReceiver(const std::string& frequencyText, int model) override {
    tunes.push_back({frequencyText, model});
    if (onTune) onTune(frequencyText, model);
  }
  void SetReceiverVolume(int level) override { volumes.push_back(level); }

  std::vector<TuneCall> tunes;
  std::vector<int> volumes;
  std::function<void(const std::string&, int)> onTune;
};

struct MonitorWrite {
  std::array<double, kBlockSamples> samples;  // as passed in, before processing
  bool deemphasis;
  bool silence;
};

class RecordingMonitor : public MonitorSink {
 public:
  void WriteMonitorBlock(double* samples, bool deemphasis, bool silence) override {
    MonitorWrite w{};
    for (int i = 0; i < kBlockSamples; ++i) w.samples[i] = samples[i];
    w.deemphasis = deemphasis;
    w.silence = silence;
    writes.push_back(w);
    if (silence) {
      for (int i = 0; i < kBlockSamples; ++i) samples[i] = 0.0;
    }
  }
  int SilentCount() const {
    int n = 0;
    for (const auto& w : writes) n += w.silence ? 1 : 0;
    return n;
  }

  std::vector<MonitorWrite> writes;
};

class RecordingEye : public EyePatternSink {
 public:
  bool IsShowing() const override { return showing; }
  void UpdateEyePattern(int pixelsPerSample) override { updates.push_back(pixelsPerSample); }

  bool showing = false;
  std::vector<int> updates;
};

class RecordingHeardLines : public HeardLinesSink {
 public:
  void AddChList(double frequencyMHz) override { added.push_back(frequencyMHz); }
  std::vector<double> added;
};

class CountingPump : public EventPump {
 public:
  void ProcessPendingEvents() override {
    ++count;
    if (onPump) onPump();
  }
  int count = 0;
  std::function<void()> onPump;
};

class RecordingNotice : public Notice {
 public:
  void Beep() override { ++beeps; }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  int beeps = 0;
  std::vector<std::string> errors;
};

// Time moves only when a test (or a sleep) moves it.
class FakeClock : public Clock {
 public:
  std::int64_t NowMs() override { return now; }
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  std::int64_t now = 0;
  std::vector<int> sleeps;
};

// A timer on the fake clock: fires when due, as often as its period allows.
class FakeTimer : public TimerDriver {
 public:
  void Restart(int intervalMs) override {
    period = intervalMs;
    due = clock->now + intervalMs;
    ++restarts;
  }
  void Stop() override { period = 0; }
  bool Running() const { return period > 0; }
  // Calls fire() for each tick due up to the clock's present time.
  void Advance(const std::function<void()>& fire) {
    while (period > 0 && clock->now >= due) {
      due += period;
      fire();
    }
  }

  FakeClock* clock = nullptr;
  int period = 0;
  std::int64_t due = 0;
  int restarts = 0;
};

class RecordingEventSink : public TrackingEventSink {
 public:
  void OnTrackingEvent(const TrackingEvent& event) override { events.push_back(event); }
  // The events of one kind, in order.
  std::vector<TrackingEvent> Of(const std::string& kind) const {
    std::vector<TrackingEvent> found;
    for (const auto& e : events) {
      if (e.event == kind) found.push_back(e);
    }
    return found;
  }
  std::vector<TrackingEvent> events;
};

// A fixed wall time, so events are stamped alike on every run.
inline std::chrono::system_clock::time_point FixedWallTime() {
  return std::chrono::system_clock::time_point(std::chrono::seconds(1796000000));
}

// All recorders together, wired as Services. Events are timed on the fake clock.
struct RecordingWorld {
  RecordingWorld() { events.AddSink(&eventLog); }
  RecordingWorld(const RecordingWorld&) = delete;
  RecordingWorld& operator=(const RecordingWorld&) = delete;

  RecordingReceiver receiver;
  RecordingMonitor monitor;
  RecordingEye eye;
  RecordingHeardLines heardLines;
  CountingPump pump;
  RecordingNotice notice;
  FakeClock clock;
  TrackingEvents events{&clock, FixedWallTime};
  RecordingEventSink eventLog;
  DecodeHealth health{&events};

  Services services() {
    Services s;
    s.receiver = &receiver;
    s.monitor = &monitor;
    s.eye = &eye;
    s.heardLines = &heardLines;
    s.pump = &pump;
    s.notice = &notice;
    s.clock = &clock;
    s.events = &events;
    s.health = &health;
    return s;
  }
};

}  // namespace tarvo::testing
