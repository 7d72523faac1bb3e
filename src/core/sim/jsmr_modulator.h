// A JSMR control-channel transmitter (the simulated system, the tests): builds words from their
// fields with their own framing code, and sends them as band-limited 3600 bit/s two-level baseband
// (a 1 is the negative level) in interleaved 16-bit stereo at 11025, 22050 or 44100 samples/s.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "core/audio/block_decoder.h"
#include "core/decode/jsmr_frame.h"

namespace tarvo::sim {

struct JsmrFields {
  int id = 0x1F;
  int station = 0;
  int callKind = 0;
  int channel = 0;
};

// u[0..37]: the data bits for the fields, the ten check bits and the unused last bit.
using JsmrInformation = std::array<std::uint8_t, 38>;

JsmrInformation JsmrInformationFor(const JsmrFields& fields, std::uint8_t lastBit = 0);
// u[0..36] as the decoder hands them on.
JsmrWord JsmrWordFor(const JsmrFields& fields);
// The 76 coded and interleaved body bits in sending order.
JsmrFrameBits JsmrBodyFor(const JsmrInformation& information);
// Sync word and body, 84 bits in sending order.
std::vector<std::uint8_t> JsmrFrameOnAir(const JsmrFields& fields);

struct JsmrSignalOptions {
  int sampleRate = 11025;
  double amplitude = 7000.0;  // 16-bit units
  bool inverted = false;      // a 1 sent as the positive level
  bool rightChannel = false;  // the other channel stays silent
  double noise = 0.0;         // standard deviation of added white noise, 16-bit units
  std::uint32_t seed = 1;
};

class JsmrModulator {
 public:
  explicit JsmrModulator(const JsmrSignalOptions& options = {});

  // Appends bits after everything queued or already sent; gaps are filled with 1, 0, 1, 0...
  void QueueBits(const std::vector<std::uint8_t>& bits);
  void QueueIdle(int bitCount);
  // Queues sync word and body; returns the time in seconds at the centre of its last bit.
  double QueueFrame(const JsmrFields& fields);
  // Queues a frame body given bit by bit, without sync word.
  void QueueBody(const JsmrFrameBits& body);

  // The next frames of interleaved stereo.
  std::vector<std::int16_t> Render(int frames);
  // The next 512 samples of the signal channel as a decoder block (11025 samples/s only).
  InputBlock NextBlock();

  long QueuedBits() const { return first_ + static_cast<long>(bits_.size()); }
  double Seconds() const { return static_cast<double>(sample_) / options_.sampleRate; }

 private:
  double Level(double seconds);
  std::uint8_t BitAt(long index);

  JsmrSignalOptions options_;
  static constexpr long kForgetBits = 1 << 16;
  std::vector<std::uint8_t> bits_;  // from bit first_ on
  long first_ = 0;
  long sample_ = 0;
  std::mt19937 random_;
  std::normal_distribution<double> gauss_;
};

}  // namespace tarvo::sim
