// Stand-ins that do nothing, for parts of the outside world the program runs without.
#pragma once

#include <string>

#include "core/audio/monitor_sink.h"
#include "core/decode/eye_pattern_sink.h"
#include "core/dialogs/heard_lines_sink.h"
#include "core/radio/receiver.h"

namespace tarvo {

class NullReceiver : public Receiver {
 public:
  void TuneReceiver(const std::string&, int) override {}
  void SetReceiverVolume(int) override {}
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
