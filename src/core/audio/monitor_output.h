// The monitor output: de-emphasis, band-pass and band-elimination filters, gain and clamp on
// each line-audio block, played as 16-bit stereo through the sound output device.
#pragma once

#include <array>
#include <cstdint>

#include "core/audio/monitor_sink.h"
#include "core/audio/sound_output_device.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/dsp/filter_designs.h"
#include "core/dsp/fir51.h"

namespace tarvo {

inline constexpr double kMonitorClamp = 32000.0;

class MonitorOutput : public MonitorSink {
 public:
  MonitorOutput(MainState& state, const FilterDesigns& designs, Services services,
                SoundOutputDevice& device);

  // Opens device OutputDevice (0 = default, n = device n - 1); on failure beeps, shows the
  // error and stays closed.
  bool OpenMonitorOutput();
  bool CloseMonitorOutput();
  bool IsOpen() const { return open_; }

  // Filters, scales and queues one block; samples end up filtered and scaled by MonitorGain
  // (unclamped), or all zero for a silent write. Does nothing while closed.
  void WriteMonitorBlock(double* samples, bool deemphasis, bool silence) override;

 private:
  MainState& state_;
  Services services_;
  SoundOutputDevice& device_;
  bool open_ = false;
  // Filter state survives switching a filter off and on, and re-opening the device.
  double w1_ = 0.0;
  double w2_ = 0.0;
  Fir51 bandPass_;
  Fir51 bandStop_;
  std::array<double, kBlockSamples> work_{};
  std::array<std::int16_t, 2 * kBlockSamples> frames_{};
};

// 10^(position x 0.05): position is the monitor gain in decibels.
double MonitorGainFor(int trackBar3Position);

// Writes four silent blocks, as every opening or switching of the WAVE path does.
void WriteSilentBlocks(MonitorSink& monitor, bool deemphasis);

}  // namespace tarvo
