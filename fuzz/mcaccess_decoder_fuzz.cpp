// The McAccess demodulator and interpreter fed arbitrary capture buffers through the front-end.
#include "decoder_rig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarvo;
  fuzz::NullWorld world;
  MainState state;
  state.Decoder = DecoderType::kMcAccess;
  McAccessInterpreter interpreter(state, world.services);
  McAccessDemodulator demodulator(state, fuzz::Designs(), world.services, interpreter);
  fuzz::IdleDecoder idle;
  CaptureFrontEnd frontEnd(state, fuzz::Designs(), demodulator, idle);
  fuzz::RunCapture(state, frontEnd, data, size);
  return 0;
}
