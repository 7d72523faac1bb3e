#include "core/decode/jsmr_fields.h"

#include "core/decode/bit_fields.h"

namespace tarvo {
namespace {

constexpr int kCodeValueMask = 0x33C7;
constexpr int kChannelMask = 0x32A;

int ComplementedField(const JsmrWord& word, int first, int count) {
  return static_cast<int>(FieldValue(word, first, count) ^ ((1u << count) - 1));
}

}  // namespace

JsmrWordFields ParseJsmrWord(const JsmrWord& word) {
  const int code = ComplementedField(word, 0, 16) ^ kCodeValueMask;
  JsmrWordFields fields;
  fields.id = code >> 8;
  fields.station = code & 0xFF;
  fields.callKind = ComplementedField(word, 16, 1);
  fields.channel = ComplementedField(word, 17, 10) ^ kChannelMask;
  return fields;
}

double JsmrLineFrequency(int channel, double rasterOffset) {
  return 849.9875 + 0.025 * channel + rasterOffset;
}

}  // namespace tarvo
