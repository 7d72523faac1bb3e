#include "core/decode/jsmr_frame.h"

namespace tarvo {
namespace {

constexpr std::uint16_t kCheckStart = 0x36E;
constexpr std::uint16_t kCheckSeed = 0x393;
constexpr std::uint16_t kCheckPolynomial = 0x225;
constexpr int kDataBits = 27;
constexpr int kCheckBits = 10;
constexpr int kCodedInformationBits = 38;  // u[37] is sent but carries nothing
constexpr int kInterleaveColumns = 19;
constexpr int kInterleaveRows = 4;

std::uint16_t Advance(std::uint16_t a) {
  return (a & 1) != 0 ? static_cast<std::uint16_t>((a >> 1) ^ kCheckPolynomial)
                      : static_cast<std::uint16_t>(a >> 1);
}

}  // namespace

std::array<std::uint16_t, 27> JsmrCheckRegisterSequence() {
  std::array<std::uint16_t, 27> sequence{};
  std::uint16_t a = kCheckStart;
  for (int k = 0; k < kDataBits; ++k) {
    a = Advance(a);
    sequence[k] = a;
  }
  return sequence;
}

std::uint16_t JsmrCheckValue(const JsmrWord& word) {
  std::uint16_t a = kCheckStart;
  std::uint16_t c = kCheckSeed;
  for (int k = 0; k < kDataBits; ++k) {
    a = Advance(a);
    if (word[k] != 0) c ^= a;
  }
  return c;
}

std::optional<JsmrWord> DecodeJsmrFrame(const JsmrFrameBits& frame) {
  std::array<std::uint8_t, kJsmrBodyBits> code{};
  for (int c = 0; c < kInterleaveColumns; ++c) {
    for (int r = 0; r < kInterleaveRows; ++r) {
      code[kInterleaveRows * c + r] = frame[c + kInterleaveColumns * r];
    }
  }

  std::array<std::uint8_t, kCodedInformationBits> u{};
  std::array<std::uint8_t, kCodedInformationBits> syndrome{};
  std::uint8_t previous = 0;
  for (int j = 0; j < kCodedInformationBits; ++j) {
    u[j] = code[2 * j];
    syndrome[j] = code[2 * j + 1] ^ u[j] ^ previous;
    previous = u[j];
  }
  // A wrong information bit upsets the two parity checks it enters; a wrong parity bit only one.
  for (int j = 0; j + 1 < kCodedInformationBits; ++j) {
    if (syndrome[j] != 0 && syndrome[j + 1] != 0) {
      u[j] ^= 1;
      syndrome[j] = 0;
      syndrome[j + 1] = 0;
    }
  }

  JsmrWord word{};
  for (int k = 0; k < kJsmrWordBits; ++k) word[k] = u[k];
  const std::uint16_t c = JsmrCheckValue(word);
  for (int k = 0; k < kCheckBits; ++k) {
    if (((c >> k) & 1) != (word[kJsmrWordBits - 1 - k] ^ 1)) return std::nullopt;
  }
  return word;
}

}  // namespace tarvo
