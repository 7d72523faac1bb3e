// Where the decoders and handlers send line audio for the operator to hear.
#pragma once

namespace tarvo {

inline constexpr int kBlockSamples = 512;

class MonitorSink {
 public:
  virtual ~MonitorSink() = default;
  // Plays one block of 512 samples in 16-bit units; samples is processed in place (a silent
  // write leaves it all zero).
  virtual void WriteMonitorBlock(double* samples, bool deemphasis, bool silence) = 0;
};

}  // namespace tarvo
