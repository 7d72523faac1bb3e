#include "core/audio/monitor_output.h"

#include <algorithm>
#include <cmath>

#include "core/base/notice.h"

namespace tarvo {
namespace {

// Second-order low-pass at 1800 Hz (Q 0.5412); the input is scaled by 0.1 instead of the
// normalising 0.1345, which the operator is used to hearing.
constexpr double kDeemphasisInput = 0.1;
constexpr double kDeemphasisA1 = 0.57919375212;
constexpr double kDeemphasisA2 = -0.11728791562;

}  // namespace

MonitorOutput::MonitorOutput(MainState& state, const FilterDesigns& designs, Services services,
                             SoundOutputDevice& device)
    : state_(state),
      services_(services),
      device_(device),
      bandPass_(designs.monitorBandPass),
      bandStop_(designs.monitorBandStop) {}

bool MonitorOutput::OpenMonitorOutput() {
  const SoundOutputDevice::OpenResult result = device_.Open(state_.OutputDevice);
  if (result == SoundOutputDevice::OpenResult::kOk) {
    open_ = true;
    return true;
  }
  open_ = false;
  if (services_.notice != nullptr) {
    services_.notice->Beep();
    services_.notice->ShowError(result == SoundOutputDevice::OpenResult::kFailedOpen
                                    ? "再生デバイスをオープンできません"
                                    : "バッファを確保できません");
  }
  return false;
}

bool MonitorOutput::CloseMonitorOutput() {
  if (open_) device_.Close();
  open_ = false;
  return true;
}

void MonitorOutput::WriteMonitorBlock(double* samples, bool deemphasis, bool silence) {
  if (!open_) return;
  // A silent write runs zeros through the filters but leaves the caller's block all zero.
  double* x = samples;
  if (silence) {
    std::fill(samples, samples + kBlockSamples, 0.0);
    work_.fill(0.0);
    x = work_.data();
  }
  if (deemphasis) {
    for (int i = 0; i < kBlockSamples; ++i) {
      const double w0 = kDeemphasisInput * x[i] + kDeemphasisA1 * w1_ + kDeemphasisA2 * w2_;
      x[i] = w0 + 2.0 * w1_ + w2_;
      w2_ = w1_;
      w1_ = w0;
    }
  }
  if (state_.CheckBox4.checked) bandPass_.Process(x, x, kBlockSamples);
  if (state_.CheckBox5.checked) bandStop_.Process(x, x, kBlockSamples);
  const double gain = state_.MonitorGain;
  for (int i = 0; i < kBlockSamples; ++i) {
    const double v = x[i] * gain;
    x[i] = v;
    const auto s = static_cast<std::int16_t>(std::clamp(v, -kMonitorClamp, kMonitorClamp));
    frames_[2 * i] = s;
    frames_[2 * i + 1] = s;
  }
  device_.QueueBlock(frames_.data());
}

double MonitorGainFor(int trackBar3Position) {
  return std::pow(10.0, trackBar3Position * 0.05);
}

void WriteSilentBlocks(MonitorSink& monitor, bool deemphasis) {
  std::array<double, kBlockSamples> block{};
  for (int i = 0; i < 4; ++i) monitor.WriteMonitorBlock(block.data(), deemphasis, true);
}

}  // namespace tarvo
