#include "core/sim/mcaccess_words.h"

namespace tarvo::sim {

void PutField(McAccessWord& word, int first, int count, std::uint32_t value) {
  for (int i = 0; i < count; ++i) word[first + i] = (value >> (count - 1 - i)) & 1u;
}

McAccessWord MakeMcAccessWord(const McAccessWordFields& f) {
  McAccessWord word{};
  PutField(word, 4, 6, f.station);
  word[10] = f.control ? 1 : 0;
  PutField(word, 12, 6, f.type);
  const bool carriesLine = f.type == 0x20 || f.type == 0x28 || f.type == 0x30 || f.type == 0x33;
  if (f.type == 0x00) PutField(word, 24, 3, f.callTimeCode);
  if (f.type == 0x20) {
    PutField(word, 27, 2, f.lineTypeCode);
    PutField(word, 40, 10, f.id);
  }
  if (carriesLine) {
    word[50] = f.offset ? 1 : 0;
    PutField(word, 51, 9, f.channel);
  }
  if (f.type == 0x39) {
    PutField(word, 18, 16, f.firstMap);
    PutField(word, 35, 22, f.secondMap);
  }
  return word;
}

}  // namespace tarvo::sim
