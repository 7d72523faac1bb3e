#include "core/audio/capture_front_end.h"

#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

constexpr double kBarScale = 0.02;  // pixels per unit of mean level
constexpr double kLimeFrom = 80.0;
constexpr double kRedAbove = 120.0;

}  // namespace

CaptureFormat SelectCaptureRate(int sampleRateIndex) {
  CaptureFormat format;
  switch (sampleRateIndex) {
    case 1:
      format.CaptureRate = 22050;
      break;
    case 2:
      format.CaptureRate = 44100;
      break;
    default:
      format.CaptureRate = 11025;
      break;
  }
  format.CaptureFrames = format.CaptureRate * kBlockSamples / 11025;
  return format;
}

CaptureFrontEnd::CaptureFrontEnd(MainState& state, const FilterDesigns& designs,
                                 BlockDecoder& mcaccess, BlockDecoder& jsmr)
    : state_(state),
      designs_(designs),
      mcaccess_(mcaccess),
      jsmr_(jsmr),
      decimation_(designs.decimation44) {}

void CaptureFrontEnd::ProcessInputBlock(const std::int16_t* interleavedStereo, int frames) {
  const int factor = frames / kBlockSamples;
  if (frames % kBlockSamples != 0 || (factor != 1 && factor != 2 && factor != 4)) return;

  const int offset = state_.LeftChannel ? 0 : 1;
  for (int i = 0; i < frames; ++i) work_[i] = interleavedStereo[2 * i + offset];

  if (factor == 1) {
    for (int i = 0; i < kBlockSamples; ++i) block_[i] = work_[i];
  } else {
    decimation_.SetCoefficients(factor == 4 ? designs_.decimation44 : designs_.decimation22);
    decimation_.Decimate(work_.data(), frames, factor, block_.data());
  }

  const double gain = std::pow(10.0, 0.05 * state_.TrackBar1.position);
  for (double& x : block_) x *= gain;

  double sum = 0.0;
  for (const double x : block_) sum += std::fabs(std::trunc(x));
  inputLevel_ = (1.0 / kBlockSamples) * sum;
  const double p = inputLevel_ * kBarScale;
  state_.Image1.length = static_cast<int>(p);
  state_.Image1.colour = p < kLimeFrom    ? Colour::kYellow
                         : p <= kRedAbove ? Colour::kLime
                                          : Colour::kRed;

  if (state_.McAccessSelected()) {
    mcaccess_.DecodeBlock(block_);
  } else {
    jsmr_.DecodeBlock(block_);
  }

  if (state_.TuneSettleBlocks > 0) {
    state_.Panel3 = Colour::kRed;
    --state_.TuneSettleBlocks;
  } else {
    state_.Panel3 = Colour::kBlack;
  }
}

}  // namespace tarvo
