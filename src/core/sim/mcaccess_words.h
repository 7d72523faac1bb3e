// McAccess frame words written field by field (first bit most significant).
#pragma once

#include <cstdint>

#include "core/decode/mcaccess_frame.h"

namespace tarvo::sim {

// The fields a test sets; only those the message type carries are written.
struct McAccessWordFields {
  int station = 0x2F;
  int type = 0x20;
  bool control = false;
  int callTimeCode = 0;         // type 0x00, 3 bits
  int lineTypeCode = 0;         // type 0x20, 2 bits: 0 voice, 3 digital
  int id = 0;                   // type 0x20, 10 bits
  bool offset = false;          // types 0x20, 0x28, 0x30, 0x33
  int channel = 0;              // same types, 9 bits
  std::uint32_t firstMap = 0;   // type 0x39, 16 bits
  std::uint32_t secondMap = 0;  // type 0x39, 22 bits
};

void PutField(McAccessWord& word, int first, int count, std::uint32_t value);

McAccessWord MakeMcAccessWord(const McAccessWordFields& fields);

}  // namespace tarvo::sim
