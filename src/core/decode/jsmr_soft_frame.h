// Soft-decision decoding of a JSMR frame: the most likely information bits of the rate-1/2 code
// for 84 soft bits (sync word and interleaved body), checked by the frame's 10-bit check, and
// how many hard decisions disagree with that frame sent again.
#pragma once

#include <optional>

#include "core/decode/jsmr_frame.h"

namespace tarvo {

inline constexpr int kJsmrSyncBits = 8;
inline constexpr int kJsmrSoftBits = kJsmrSyncBits + kJsmrBodyBits;

// Soft bits: positive means 1, the magnitude how sure.
struct JsmrSoftDecision {
  std::optional<JsmrWord> word;  // nothing when the check fails
  int codeErrors = 0;            // of the 76 body bits
  // The soft bits of sync word and body that disagree with the decoded frame, summed by
  // magnitude in units of the mean magnitude: near-even calls weigh little, firm ones fully.
  double softErrors = 0.0;
};

// Hard disagreements of soft[0..7] with the sync word.
int JsmrSyncErrors(const double* soft);

// Decodes the body soft[8..83].
JsmrSoftDecision DecodeJsmrSoftFrame(const double* soft);

}  // namespace tarvo
