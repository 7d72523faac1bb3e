// A McAccess transmitter (the simulated system, the tests): continuous-phase two-tone FSK at
// 1200 bit/s (1200 Hz for a 1, 1800 Hz for a 0) carrying frames built from 60-bit words, rendered
// as interleaved 16-bit stereo at 11025, 22050 or 44100 samples per second, with seeded white
// noise.
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "core/decode/mcaccess_frame.h"

namespace tarvo::sim {

using Bits = std::vector<std::uint8_t>;

// Fields of a word: see support/mcaccess_words.h.

// The 15-bit sync word, first received first.
Bits McAccessSyncBits();

// One 30-bit half coded into 72 bits: offset 2k carries 1 - (x[k] XOR x[k-3]), offset 2k+1
// carries x[k-6], k = 0..35, with x = 0 outside 0..29.
Bits EncodeMcAccessHalf(const std::uint8_t* x);

// The 160 bits sent for a word: sync, half of D0..D29, half of D30..D59, one spare 0 bit.
Bits McAccessFrameBitsFor(const McAccessWord& word);

// The 145 bits after the sync word, as the receiver stores them.
Bits McAccessBodyFor(const McAccessWord& word);

// A word of pseudo-random bits.
McAccessWord RandomMcAccessWord(std::mt19937& random);

// "0101..." text of a word, D0 first.
std::string WordText(const McAccessWord& word);

struct ModulatorOptions {
  int sampleRate = 11025;
  double amplitude = 8000.0;  // peak, in 16-bit units
  double noiseRms = 0.0;      // white Gaussian noise added to the signal channel
  std::uint32_t seed = 1;
  bool leftChannel = true;  // the other channel carries silence
};

// Streams samples on demand: queued bits first, then an idle pattern of alternating bits
// (which never contains the sync word) for as long as samples are asked for.
class McAccessModulator {
 public:
  explicit McAccessModulator(const ModulatorOptions& options);

  void QueueBits(const Bits& bits);
  void QueueFrame(const McAccessWord& word) { QueueBits(McAccessFrameBitsFor(word)); }
  // Alternating bits, e.g. to let the receiver's bit clock settle.
  void QueueIdle(int bitCount);

  // Appends frames stereo frames (2 * frames int16 values) to out.
  void Emit(int frames, std::vector<std::int16_t>& out);
  // Writes frames stereo frames into out.
  void Emit(int frames, std::int16_t* out);

  int QueuedBits() const { return static_cast<int>(queue_.size()); }
  // Frames still needed to send every queued bit.
  int FramesUntilQueueSent() const;
  std::int64_t FramesEmitted() const { return sample_; }
  int SampleRate() const { return options_.sampleRate; }

 private:
  std::uint8_t NextBit();

  ModulatorOptions options_;
  std::deque<std::uint8_t> queue_;
  std::uint8_t idleBit_ = 0;
  std::uint8_t bit_ = 0;
  std::int64_t sample_ = 0;     // frames emitted
  std::int64_t bitIndex_ = -1;  // bit being sent
  double phase_ = 0.0;
  std::mt19937 random_;
  std::normal_distribution<double> noise_{0.0, 1.0};
};

// A whole recording: idleBits of idle, the frames back to back, then idleBits of idle again,
// rounded up to whole capture buffers (512/11025 s each).
std::vector<std::int16_t> ModulateFrames(const std::vector<McAccessWord>& words,
                                         const ModulatorOptions& options, int idleBits = 120);

}  // namespace tarvo::sim
