#include "core/decode/jsmr_soft_frame.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace tarvo {
namespace {

constexpr std::uint8_t kSync[kJsmrSyncBits] = {1, 0, 1, 0, 1, 1, 0, 0};
constexpr int kInformationBits = 38;
constexpr int kColumns = 19;
constexpr int kRows = 4;

double Agreement(double soft, int bit) {
  return bit != 0 ? soft : -soft;
}

// Code bit n (information at 2j, parity at 2j+1) is sent as body bit c + 19 r, n = 4c + r.
int BodyIndex(int n) {
  return n / kRows + kColumns * (n % kRows);
}

}  // namespace

int JsmrSyncErrors(const double* soft) {
  int errors = 0;
  for (int i = 0; i < kJsmrSyncBits; ++i) errors += (soft[i] > 0.0 ? 1 : 0) != kSync[i];
  return errors;
}

JsmrSoftDecision DecodeJsmrSoftFrame(const double* soft) {
  const double* body = soft + kJsmrSyncBits;
  // Viterbi over u[j] with parity u[j] XOR u[j-1]: two states, u[-1] = 0, free end.
  double metric[2] = {0.0, -1e300};
  std::uint64_t path[2] = {0, 0};
  for (int j = 0; j < kInformationBits; ++j) {
    const double information = body[BodyIndex(2 * j)];
    const double parity = body[BodyIndex(2 * j + 1)];
    double next[2];
    std::uint64_t nextPath[2];
    for (int u = 0; u < 2; ++u) {
      const double from0 = metric[0] + Agreement(parity, u);
      const double from1 = metric[1] + Agreement(parity, u ^ 1);
      const bool take1 = from1 > from0;
      next[u] = (take1 ? from1 : from0) + Agreement(information, u);
      nextPath[u] = path[take1 ? 1 : 0] | (static_cast<std::uint64_t>(u) << j);
    }
    metric[0] = next[0];
    metric[1] = next[1];
    path[0] = nextPath[0];
    path[1] = nextPath[1];
  }
  const std::uint64_t best = path[metric[1] > metric[0] ? 1 : 0];

  // Sent again, the frame's own decoder has nothing to repair and gives the check's verdict.
  JsmrFrameBits sent{};
  std::uint8_t previous = 0;
  for (int j = 0; j < kInformationBits; ++j) {
    const auto u = static_cast<std::uint8_t>((best >> j) & 1);
    sent[BodyIndex(2 * j)] = u;
    sent[BodyIndex(2 * j + 1)] = u ^ previous;
    previous = u;
  }
  JsmrSoftDecision d;
  double magnitude = 0.0;
  double wrong = 0.0;
  for (int i = 0; i < kJsmrSoftBits; ++i) {
    magnitude += std::fabs(soft[i]);
    const int bit = i < kJsmrSyncBits ? kSync[i] : sent[i - kJsmrSyncBits];
    if ((soft[i] > 0.0 ? 1 : 0) != bit) {
      wrong += std::fabs(soft[i]);
      d.codeErrors += i < kJsmrSyncBits ? 0 : 1;
    }
  }
  d.softErrors = magnitude > 0.0 ? wrong * kJsmrSoftBits / magnitude : 0.0;
  d.word = DecodeJsmrFrame(sent);
  return d;
}

}  // namespace tarvo
