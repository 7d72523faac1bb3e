// The fields of an accepted JSMR word and the line frequency its channel number names.
#pragma once

#include "core/decode/jsmr_frame.h"

namespace tarvo {

inline constexpr int kJsmrChannels = 720;  // channel numbers from here on name no line
inline constexpr int kJsmrControlAnnouncementId = 0x1F;

struct JsmrWordFields {
  int id = 0;        // high byte of the code value
  int station = 0;   // low byte: the base-station number in a control-channel announcement
  int callKind = 0;  // individual or group call
  int channel = 0;   // 0..1023
};

// Fields are sent complemented, lowest-numbered bit most significant; the code value and the
// channel number are scrambled with fixed masks.
JsmrWordFields ParseJsmrWord(const JsmrWord& word);

// MHz on the 25 kHz raster from 849.9875 MHz, moved by the control channel's raster offset.
double JsmrLineFrequency(int channel, double rasterOffset);

}  // namespace tarvo
