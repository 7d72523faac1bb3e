// Stand-ins that do nothing, for parts of the outside world the program runs without.
#pragma once

#include <string>

#include "core/audio/monitor_sink.h"
#include "core/base/event_pump.h"
#include "core/base/heard_lines_sink.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/radio/receiver.h"
#include "core/radio/rig_device.h"
#include "core/radio/serial_device.h"

namespace tarvo {

// For programs without a window: there are no pending events to run.
class NullEventPump : public EventPump {
 public:
  void ProcessPendingEvents() override {}
};

class NullReceiver : public Receiver {
 public:
  void TuneReceiver(const std::string&, int) override {}
  void SetReceiverVolume(int) override {}
};

// A port that lists nothing, opens without complaint and swallows every byte.
class NullSerialDevice : public SerialDevice {
 public:
  std::vector<SerialPort> ListPorts() override { return {}; }
  SerialOpenStep Open(const std::string&, int) override { return SerialOpenStep::kDone; }
  bool SetLineRate(int) override { return true; }
  int OutputQueueCount() override { return 0; }
  SerialWrite WriteByte(std::uint8_t) override { return SerialWrite::kWritten; }
  void Close() override {}
};

// For a program built without the rig-control library: no rig ever opens.
class NullRigDevice : public RigDevice {
 public:
  bool Open(const RigTarget&) override { return false; }
  bool SetModeFm() override { return false; }
  bool SetFrequency(std::int64_t) override { return false; }
  bool SetVolume(double) override { return false; }
  void Close() override {}
  std::string LastError() const override { return "built without hamlib"; }
};

class NullMonitor : public MonitorSink {
 public:
  void WriteMonitorBlock(double* samples, bool, bool silence) override {
    if (!silence) return;
    for (int i = 0; i < kBlockSamples; ++i) samples[i] = 0.0;
  }
};

class NullEyePattern : public EyePatternSink {
 public:
  bool IsShowing() const override { return false; }
  void UpdateEyePattern(int) override {}
};

class NullHeardLines : public HeardLinesSink {
 public:
  void AddChList(double) override {}
};

}  // namespace tarvo
