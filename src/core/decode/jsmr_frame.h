// A JSMR frame body: deinterleaving, single-error correction of the rate-1/2 code and the 10-bit
// check, plus the seam through which accepted words and line blocks leave the demodulator.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/audio/block_decoder.h"

namespace tarvo {

inline constexpr int kJsmrBodyBits = 76;
inline constexpr int kJsmrWordBits = 37;

// The 76 code bits as received, 0 or 1, interleaved 4 x 19.
using JsmrFrameBits = std::array<std::uint8_t, kJsmrBodyBits>;
// Information bits u[0..36] as sent (fields are read from their complements).
using JsmrWord = std::array<std::uint8_t, kJsmrWordBits>;

class JsmrWordSink {
 public:
  virtual ~JsmrWordSink() = default;
  virtual void InterpretJsmrWord(const JsmrWord& word) = 0;
  // Once per block with the block's unscaled input; the sink may overwrite it.
  virtual void SuperviseJsmrLine(InputBlock& monitorCopy) = 0;
};

// The check register's a value after each of its 27 advances, starting from 0x36E.
std::array<std::uint16_t, 27> JsmrCheckRegisterSequence();

// The check value c over the data bits u[0..26]; the complements of u[27..36] must spell it,
// u[27] as the most significant bit.
std::uint16_t JsmrCheckValue(const JsmrWord& word);

// Deinterleaves, repairs a single wrong information bit and checks the word; nullopt when the
// check fails.
std::optional<JsmrWord> DecodeJsmrFrame(const JsmrFrameBits& frame);

}  // namespace tarvo
