#include "core/sim/mcaccess_modulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo::sim {
namespace {

constexpr int kBitRate = 1200;
constexpr double kMarkHz = 1200.0;   // a 1
constexpr double kSpaceHz = 1800.0;  // a 0

}  // namespace

Bits McAccessSyncBits() {
  return {0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1};
}

Bits EncodeMcAccessHalf(const std::uint8_t* x) {
  auto at = [x](int k) -> std::uint8_t { return k >= 0 && k < 30 ? x[k] : 0; };
  Bits half(72);
  for (int k = 0; k < 36; ++k) {
    half[2 * k] = 1 - (at(k) ^ at(k - 3));
    half[2 * k + 1] = at(k - 6);
  }
  return half;
}

Bits McAccessBodyFor(const McAccessWord& word) {
  Bits body = EncodeMcAccessHalf(word.data());
  const Bits second = EncodeMcAccessHalf(word.data() + 30);
  body.insert(body.end(), second.begin(), second.end());
  body.push_back(0);
  return body;
}

Bits McAccessFrameBitsFor(const McAccessWord& word) {
  Bits bits = McAccessSyncBits();
  const Bits body = McAccessBodyFor(word);
  bits.insert(bits.end(), body.begin(), body.end());
  return bits;
}

McAccessWord RandomMcAccessWord(std::mt19937& random) {
  McAccessWord word{};
  for (auto& bit : word) bit = random() & 1u;
  return word;
}

std::string WordText(const McAccessWord& word) {
  std::string text;
  for (const auto bit : word) text += bit ? '1' : '0';
  return text;
}

McAccessModulator::McAccessModulator(const ModulatorOptions& options)
    : options_(options), random_(options.seed) {}

void McAccessModulator::QueueBits(const Bits& bits) {
  queue_.insert(queue_.end(), bits.begin(), bits.end());
}

void McAccessModulator::QueueIdle(int bitCount) {
  for (int n = 0; n < bitCount; ++n) {
    queue_.push_back(idleBit_);
    idleBit_ ^= 1;
  }
}

std::uint8_t McAccessModulator::NextBit() {
  if (queue_.empty()) {
    const std::uint8_t bit = idleBit_;
    idleBit_ ^= 1;
    return bit;
  }
  const std::uint8_t bit = queue_.front();
  queue_.pop_front();
  return bit;
}

int McAccessModulator::FramesUntilQueueSent() const {
  // Bit n occupies frames [n * rate / 1200, (n + 1) * rate / 1200).
  const std::int64_t lastBit = bitIndex_ + static_cast<std::int64_t>(queue_.size());
  const std::int64_t end = ((lastBit + 1) * options_.sampleRate + kBitRate - 1) / kBitRate;
  return static_cast<int>(std::max<std::int64_t>(0, end - sample_));
}

void McAccessModulator::Emit(int frames, std::vector<std::int16_t>& out) {
  const std::size_t start = out.size();
  out.resize(start + 2 * static_cast<std::size_t>(frames));
  Emit(frames, out.data() + start);
}

void McAccessModulator::Emit(int frames, std::int16_t* out) {
  const double rate = options_.sampleRate;
  const int signal = options_.leftChannel ? 0 : 1;
  for (int n = 0; n < frames; ++n, ++sample_) {
    const std::int64_t bitNow = sample_ * kBitRate / options_.sampleRate;
    while (bitIndex_ < bitNow) {
      bit_ = NextBit();
      ++bitIndex_;
    }
    double value = options_.amplitude * std::sin(phase_);
    if (options_.noiseRms > 0.0) value += options_.noiseRms * noise_(random_);
    phase_ += 2.0 * std::numbers::pi * (bit_ ? kMarkHz : kSpaceHz) / rate;
    if (phase_ > 2.0 * std::numbers::pi) phase_ -= 2.0 * std::numbers::pi;
    value = std::clamp(std::round(value), -32768.0, 32767.0);
    out[2 * n + signal] = static_cast<std::int16_t>(value);
    out[2 * n + 1 - signal] = 0;
  }
}

std::vector<std::int16_t> ModulateFrames(const std::vector<McAccessWord>& words,
                                         const ModulatorOptions& options, int idleBits) {
  McAccessModulator modulator(options);
  modulator.QueueIdle(idleBits);
  for (const auto& word : words) modulator.QueueFrame(word);
  modulator.QueueIdle(idleBits);
  const int buffer = options.sampleRate * 512 / 11025;
  int frames = modulator.FramesUntilQueueSent();
  frames = (frames + buffer - 1) / buffer * buffer;
  std::vector<std::int16_t> out;
  modulator.Emit(frames, out);
  return out;
}

}  // namespace tarvo::sim
