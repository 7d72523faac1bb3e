// One decoder with its interpreter behind the capture front-end, as the program wires them, for
// fuzzing with arbitrary capture buffers. The first two bytes of an input choose the capture
// rate, channel, gain, polarity and the tracking and monitor switches; the rest are the capture
// buffers' 16-bit stereo frames (the last buffer filled up with silence).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/app/null_services.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_interpreter.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_interpreter.h"
#include "core/dsp/filter_designs.h"

namespace tarvo::fuzz {

class IdleDecoder : public BlockDecoder {
 public:
  void DecodeBlock(InputBlock&) override {}
};

// Everything outside the core does nothing.
struct NullWorld {
  NullWorld() {
    services.receiver = &receiver;
    services.monitor = &monitor;
    services.eye = &eye;
    services.heardLines = &heardLines;
    services.pump = &pump;
  }
  NullReceiver receiver;
  NullMonitor monitor;
  NullEyePattern eye;
  NullHeardLines heardLines;
  NullEventPump pump;
  Services services;
};

inline const FilterDesigns& Designs() {
  static const FilterDesigns designs = ComputeFilterDesigns();  // the same for every input
  return designs;
}

// Applies the two setting bytes and runs the rest through the front-end block by block.
inline void RunCapture(MainState& state, CaptureFrontEnd& frontEnd, const std::uint8_t* data,
                       std::size_t size) {
  if (size < 2) return;
  const std::uint8_t flags = data[0];
  state.SampleRateIndex = flags % 3;
  state.LeftChannel = (flags & 0x04) != 0;
  state.TrackingOn = (flags & 0x08) != 0;
  state.MonitorOn = (flags & 0x10) != 0;
  state.WaveOutput = (flags & 0x20) != 0;
  state.CheckBox3.checked = (flags & 0x40) != 0;
  state.DecoderPolarity = state.CheckBox3.checked ? -1.0 : 1.0;
  state.TrackBar1.position = static_cast<int>(data[1] % 41) - 20;
  data += 2;
  size -= 2;

  const int frames = SelectCaptureRate(state.SampleRateIndex).CaptureFrames;
  const std::size_t bufferBytes = static_cast<std::size_t>(frames) * 4;
  std::vector<std::int16_t> buffer(2 * static_cast<std::size_t>(frames));
  for (std::size_t at = 0; at < size; at += bufferBytes) {
    const std::size_t take = std::min(bufferBytes, size - at);
    std::fill(buffer.begin(), buffer.end(), 0);
    std::memcpy(buffer.data(), data + at, take);
    frontEnd.ProcessInputBlock(buffer.data(), frames);
  }
}

}  // namespace tarvo::fuzz
