#include "core/sim/jsmr_modulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo::sim {
namespace {

constexpr double kBitRate = 3600.0;
constexpr double kRollOff = 0.5;
constexpr int kPulseSpanBits = 6;  // raised-cosine pulse cut off this many bits either side
constexpr std::uint8_t kSync[8] = {1, 0, 1, 0, 1, 1, 0, 0};

// Fields are sent complemented, most significant bit first.
void PutComplemented(JsmrInformation& u, int first, int count, unsigned value) {
  for (int i = 0; i < count; ++i) {
    const unsigned bit = (value >> (count - 1 - i)) & 1u;
    u[first + i] = static_cast<std::uint8_t>(bit ^ 1u);
  }
}

// The check register as a shift register of its own: a runs through the states of a
// right-shifting generator, and every set data bit folds the current state into c.
unsigned CheckOver(const JsmrInformation& u) {
  unsigned state = 0x36E;
  unsigned check = 0x393;
  for (int k = 0; k < 27; ++k) {
    const unsigned low = state & 1u;
    state >>= 1;
    if (low != 0) state ^= 0x225;
    if (u[k] != 0) check ^= state;
  }
  return check;
}

double RaisedCosine(double t) {  // t in bit periods
  const double pi = std::numbers::pi;
  const double edge = 1.0 / (2.0 * kRollOff);
  double sinc = 1.0;
  if (std::fabs(t) > 1e-12) sinc = std::sin(pi * t) / (pi * t);
  if (std::fabs(std::fabs(t) - edge) < 1e-9) return pi / 4.0 * sinc;
  const double x = 2.0 * kRollOff * t;
  return sinc * std::cos(pi * kRollOff * t) / (1.0 - x * x);
}

}  // namespace

JsmrInformation JsmrInformationFor(const JsmrFields& fields, std::uint8_t lastBit) {
  JsmrInformation u{};
  const unsigned code = (static_cast<unsigned>(fields.id & 0xFF) << 8 |
                         static_cast<unsigned>(fields.station & 0xFF)) ^
                        0x33C7u;
  PutComplemented(u, 0, 16, code);
  PutComplemented(u, 16, 1, static_cast<unsigned>(fields.callKind & 1));
  PutComplemented(u, 17, 10, (static_cast<unsigned>(fields.channel) ^ 0x32Au) & 0x3FFu);
  PutComplemented(u, 27, 10, CheckOver(u));
  u[37] = lastBit;
  return u;
}

JsmrWord JsmrWordFor(const JsmrFields& fields) {
  const JsmrInformation u = JsmrInformationFor(fields);
  JsmrWord word{};
  std::copy_n(u.begin(), word.size(), word.begin());
  return word;
}

JsmrFrameBits JsmrBodyFor(const JsmrInformation& u) {
  std::array<std::uint8_t, 76> coded{};
  for (int j = 0; j < 38; ++j) {
    coded[2 * j] = u[j];
    coded[2 * j + 1] = static_cast<std::uint8_t>(u[j] ^ (j > 0 ? u[j - 1] : 0));
  }
  // Written into 4 rows of 19 column by column, read out row by row.
  JsmrFrameBits body{};
  int n = 0;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 19; ++column) body[n++] = coded[4 * column + row];
  }
  return body;
}

std::vector<std::uint8_t> JsmrFrameOnAir(const JsmrFields& fields) {
  const JsmrFrameBits body = JsmrBodyFor(JsmrInformationFor(fields));
  std::vector<std::uint8_t> bits(std::size(kSync) + body.size());
  std::copy(body.begin(), body.end(), std::copy(std::begin(kSync), std::end(kSync), bits.begin()));
  return bits;
}

JsmrModulator::JsmrModulator(const JsmrSignalOptions& options)
    : options_(options), random_(options.seed) {}

void JsmrModulator::QueueBits(const std::vector<std::uint8_t>& bits) {
  bits_.insert(bits_.end(), bits.begin(), bits.end());
}

void JsmrModulator::QueueIdle(int bitCount) {
  for (int i = 0; i < bitCount; ++i) bits_.push_back(BitAt(QueuedBits()));
}

double JsmrModulator::QueueFrame(const JsmrFields& fields) {
  QueueBits(JsmrFrameOnAir(fields));
  return (QueuedBits() - 0.5) / kBitRate;
}

void JsmrModulator::QueueBody(const JsmrFrameBits& body) {
  bits_.insert(bits_.end(), body.begin(), body.end());
}

std::uint8_t JsmrModulator::BitAt(long index) {
  if (index < first_) return static_cast<std::uint8_t>((index & 1) == 0 ? 1 : 0);
  if (index < QueuedBits()) return bits_[static_cast<std::size_t>(index - first_)];
  return static_cast<std::uint8_t>((index & 1) == 0 ? 1 : 0);
}

double JsmrModulator::Level(double seconds) {
  const double position = seconds * kBitRate - 0.5;  // in bits, 0 at the first bit's centre
  const long nearest = std::lround(position);
  double sum = 0.0;
  for (long k = nearest - kPulseSpanBits; k <= nearest + kPulseSpanBits; ++k) {
    if (k < 0) continue;
    const double symbol = BitAt(k) != 0 ? -1.0 : 1.0;
    sum += symbol * RaisedCosine(position - static_cast<double>(k));
  }
  // Bits rendered while nothing was queued become part of the record as idle bits.
  const long lastUsed = nearest + kPulseSpanBits;
  while (QueuedBits() <= lastUsed) bits_.push_back(BitAt(QueuedBits()));
  // Bits left behind are never read again: a transmitter that runs for hours stays small.
  const long behind = nearest - kPulseSpanBits - first_;
  if (behind > kForgetBits) {
    bits_.erase(bits_.begin(), bits_.begin() + behind);
    first_ += behind;
  }
  return (options_.inverted ? -1.0 : 1.0) * options_.amplitude * sum;
}

std::vector<std::int16_t> JsmrModulator::Render(int frames) {
  std::vector<std::int16_t> out(2 * static_cast<std::size_t>(frames), 0);
  const int channel = options_.rightChannel ? 1 : 0;
  for (int i = 0; i < frames; ++i) {
    double value = Level(static_cast<double>(sample_) / options_.sampleRate);
    if (options_.noise > 0.0) value += options_.noise * gauss_(random_);
    value = std::clamp(std::round(value), -32768.0, 32767.0);
    out[2 * i + channel] = static_cast<std::int16_t>(value);
    ++sample_;
  }
  return out;
}

InputBlock JsmrModulator::NextBlock() {
  const std::vector<std::int16_t> stereo = Render(kBlockSamples);
  const int channel = options_.rightChannel ? 1 : 0;
  InputBlock block{};
  for (int i = 0; i < kBlockSamples; ++i) block[i] = stereo[2 * i + channel];
  return block;
}

}  // namespace tarvo::sim
