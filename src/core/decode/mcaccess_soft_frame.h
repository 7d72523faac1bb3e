// Soft-decision decoding of a McAccess frame: the most likely 60-bit word for 160 soft bits
// (sync word and frame body), and how many hard decisions disagree with that word sent again.
#pragma once

#include <cstdint>
#include <optional>

#include "core/decode/mcaccess_frame.h"

namespace tarvo {

inline constexpr int kMcAccessSyncBits = 15;
inline constexpr int kMcAccessSoftBits = kMcAccessSyncBits + 145;

// Soft bits: positive means 1, the magnitude how sure.
struct McAccessSoftDecision {
  McAccessWord word{};
  int syncErrors = 0;   // of the 15 sync bits
  int fixedErrors = 0;  // of the 18 fixed bits of the body
  int codeErrors = 0;   // of the other 126 body bits
  // The disagreeing soft bits summed by magnitude, in units of the mean magnitude: near-even
  // calls weigh little, firm ones fully.
  double softErrors = 0.0;
  // What flipping the least sure data bit would cost the word's agreement with the soft bits,
  // in units of their mean magnitude: small when another word is nearly as likely.
  double margin = 0.0;
};

// Hard disagreements of soft[0..14] with the sync word.
int McAccessSyncErrors(const double* soft);

// Decodes soft[0..159] (soft[159], the spare bit, is not used).
McAccessSoftDecision DecodeMcAccessSoftFrame(const double* soft);

}  // namespace tarvo
