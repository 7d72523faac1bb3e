#include "core/decode/mcaccess_soft_frame.h"

#include <array>
#include <cmath>

namespace tarvo {
namespace {

constexpr std::uint8_t kSync[kMcAccessSyncBits] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1};
constexpr int kHalfBits = 72;
constexpr int kHalfData = 30;
constexpr int kChains = 3;  // a data bit is tied only to the ones three before and after it
constexpr int kChainData = kHalfData / kChains;

// +metric when the soft bit agrees with bit.
double Agreement(double soft, int bit) {
  return bit != 0 ? soft : -soft;
}

// Pair k of a half carries 1 - (x[k] XOR x[k-3]) at 2k and x[k-6] at 2k+1, x = 0 outside 0..29.
std::array<std::uint8_t, kHalfBits> EncodeHalf(const std::uint8_t* x) {
  auto at = [x](int k) { return k >= 0 && k < kHalfData ? x[k] : 0; };
  std::array<std::uint8_t, kHalfBits> half{};
  for (int k = 0; k < kHalfBits / 2; ++k) {
    half[2 * k] = static_cast<std::uint8_t>(1 - (at(k) ^ at(k - 3)));
    half[2 * k + 1] = static_cast<std::uint8_t>(at(k - 6));
  }
  return half;
}

bool IsFixed(int offset) {
  return (offset % 2 == 1 && offset <= 11) || (offset % 2 == 0 && offset >= 66);
}

// Viterbi over one chain y[m] = x[c + 3m] of a half: two states (the previous chain bit), ten
// steps, ending in 0.
void DecodeChain(const double* half, int c, std::uint8_t* x) {
  double metric[2] = {0.0, -1e300};  // starts in 0
  std::uint16_t path[2] = {0, 0};
  for (int m = 0; m < kChainData; ++m) {
    const double parity = half[2 * (c + 3 * m)];
    const double systematic = half[2 * (c + 3 * m + 6) + 1];
    double next[2];
    std::uint16_t nextPath[2];
    for (int y = 0; y < 2; ++y) {
      const double from0 = metric[0] + Agreement(parity, 1 - y);
      const double from1 = metric[1] + Agreement(parity, y);
      const bool take1 = from1 > from0;
      next[y] = (take1 ? from1 : from0) + Agreement(systematic, y);
      nextPath[y] = static_cast<std::uint16_t>(path[take1 ? 1 : 0] | (y << m));
    }
    metric[0] = next[0];
    metric[1] = next[1];
    path[0] = nextPath[0];
    path[1] = nextPath[1];
  }
  // The parity after the last chain bit is 1 - y[9].
  const double tail = half[2 * (c + 3 * kChainData)];
  const int last = metric[1] + Agreement(tail, 0) > metric[0] + Agreement(tail, 1) ? 1 : 0;
  for (int m = 0; m < kChainData; ++m) x[c + 3 * m] = (path[last] >> m) & 1;
}

}  // namespace

int McAccessSyncErrors(const double* soft) {
  int errors = 0;
  for (int i = 0; i < kMcAccessSyncBits; ++i) errors += (soft[i] > 0.0 ? 1 : 0) != kSync[i];
  return errors;
}

McAccessSoftDecision DecodeMcAccessSoftFrame(const double* soft) {
  McAccessSoftDecision d;
  d.syncErrors = McAccessSyncErrors(soft);
  double magnitude = 0.0;
  for (int i = 0; i < kMcAccessSoftBits - 1; ++i) magnitude += std::fabs(soft[i]);
  magnitude /= kMcAccessSoftBits - 1;
  double weakest = 1e300;
  double wrongSum = 0.0;
  for (int i = 0; i < kMcAccessSyncBits; ++i) {
    if ((soft[i] > 0.0 ? 1 : 0) != kSync[i]) wrongSum += std::fabs(soft[i]);
  }
  for (int h = 0; h < 2; ++h) {
    const double* half = soft + kMcAccessSyncBits + kHalfBits * h;
    std::uint8_t* x = d.word.data() + kHalfData * h;
    for (int c = 0; c < kChains; ++c) DecodeChain(half, c, x);
    const auto sent = EncodeHalf(x);
    for (int i = 0; i < kHalfBits; ++i) {
      const bool wrong = (half[i] > 0.0 ? 1 : 0) != sent[i];
      (IsFixed(i) ? d.fixedErrors : d.codeErrors) += wrong ? 1 : 0;
      wrongSum += wrong ? std::fabs(half[i]) : 0.0;
    }
    // A data bit x[k] is sent in the parities of pairs k and k+3 and as pair k+6's second bit.
    for (int k = 0; k < kHalfData; ++k) {
      const int bits[3] = {2 * k, 2 * (k + 3), 2 * (k + 6) + 1};
      double cost = 0.0;
      for (const int i : bits) cost += 2.0 * Agreement(half[i], sent[i]);
      weakest = std::fmin(weakest, cost);
    }
  }
  d.margin = magnitude > 0.0 ? weakest / magnitude : 0.0;
  d.softErrors = magnitude > 0.0 ? wrongSum / magnitude : 0.0;
  return d;
}

}  // namespace tarvo
