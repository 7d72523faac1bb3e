#include "channel_models.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "core/dsp/short_fir.h"

namespace tarvo::sensitivity {
namespace {

constexpr int kChannelTaps = 63;
constexpr double kChannelBeta = 6.0;

std::int16_t ToSample(double value) {
  return static_cast<std::int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
}

}  // namespace

void AddAudioNoise(std::vector<std::int16_t>& stereo, int channel, std::size_t first,
                   std::size_t last, double sigma, std::mt19937& random) {
  std::normal_distribution<double> gauss(0.0, sigma);
  for (std::size_t n = first; n < last; ++n) {
    std::int16_t& x = stereo[2 * n + channel];
    x = ToSample(x + gauss(random));
  }
}

void PassFmChannel(const std::vector<double>& audio, const FmChannel& fm, std::mt19937& random,
                   std::vector<std::int16_t>& stereo, int channel) {
  // Unit carrier; complex noise whose power in the channel bandwidth sets C/N.
  const double noisePower =
      fm.sampleRate / fm.bandwidthHz / std::pow(10.0, fm.carrierToNoiseDb / 10.0);
  std::normal_distribution<double> gauss(0.0, std::sqrt(noisePower / 2.0));
  const auto taps =
      DesignShortLowPass<kChannelTaps>(fm.bandwidthHz / 2.0, fm.sampleRate, kChannelBeta);
  ShortFir<kChannelTaps> filterI(taps);
  ShortFir<kChannelTaps> filterQ(taps);
  const double radiansPerUnit = 2.0 * std::numbers::pi * fm.deviationHz / fm.sampleRate;
  const double levelPerRadian = fm.level / radiansPerUnit;
  double phase = 0.0;
  std::complex<double> previous(1.0, 0.0);
  // The channel filter delays by half its length; the audio comes back that much later.
  stereo.assign(2 * audio.size(), 0);
  for (std::size_t n = 0; n < audio.size(); ++n) {
    phase = std::remainder(phase + radiansPerUnit * audio[n], 2.0 * std::numbers::pi);
    const double i = filterI.Push(std::cos(phase) + gauss(random));
    const double q = filterQ.Push(std::sin(phase) + gauss(random));
    const std::complex<double> z(i, q);
    stereo[2 * n + channel] = ToSample(std::arg(z * std::conj(previous)) * levelPerRadian);
    previous = z;
  }
}

}  // namespace tarvo::sensitivity
