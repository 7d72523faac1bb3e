// The two channels of the sensitivity run: white Gaussian noise added to the receiver's audio,
// and a simulated FM receiver (the audio modulates a carrier, complex noise is added in the
// channel, a channel filter and a discriminator give the audio back).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace tarvo::sensitivity {

// Adds noise of the given standard deviation to one channel of the interleaved stereo frames
// [first, last).
void AddAudioNoise(std::vector<std::int16_t>& stereo, int channel, std::size_t first,
                   std::size_t last, double sigma, std::mt19937& random);

struct FmChannel {
  double sampleRate = 44100.0;
  double deviationHz = 2500.0;  // for an audio value of 1
  double level = 8000.0;        // what an audio value of 1 comes back as, in 16-bit units
  double bandwidthHz = 12500.0;
  double carrierToNoiseDb = 20.0;  // in the channel bandwidth
};

// Sends audio (1 = the nominal deviation) through the FM channel into one channel of
// interleaved stereo.
void PassFmChannel(const std::vector<double>& audio, const FmChannel& fm, std::mt19937& random,
                   std::vector<std::int16_t>& stereo, int channel);

}  // namespace tarvo::sensitivity
