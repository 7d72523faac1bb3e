// Per-block cost of the whole JSMR block path (capture front-end, demodulator and interpreter) at
// each capture rate, on the control channel and while following a call line.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "block_counters.h"
#include "core/app/null_services.h"
#include "core/audio/capture_front_end.h"
#include "core/audio/monitor_output.h"
#include "core/base/main_state.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_fields.h"
#include "core/decode/jsmr_interpreter.h"
#include "core/dsp/filter_designs.h"
#include "support/jsmr_modulator.h"

namespace tarvo {
namespace {

class DroppingOutput : public SoundOutputDevice {
 public:
  OpenResult Open(int) override { return OpenResult::kOk; }
  void QueueBlock(const std::int16_t* frames) override { benchmark::DoNotOptimize(frames); }
  void Close() override {}
};

// A few seconds of control channel at the capture rate: announcements and calls with random
// fields, an idle gap before each, and noise; whole capture buffers.
std::vector<std::int16_t> Recording(const CaptureFormat& format) {
  testing::JsmrSignalOptions options;
  options.sampleRate = format.CaptureRate;
  options.noise = 1000.0;
  testing::JsmrModulator modulator(options);
  std::mt19937 random(4);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> channel(0, 719);
  for (int n = 0; n < 96; ++n) {
    modulator.QueueIdle(30);
    const int id = n % 4 == 0 ? byte(random) : kJsmrControlAnnouncementId;
    modulator.QueueFrame({id, byte(random), n % 2, channel(random)});
  }
  const int blocks = modulator.QueuedBits() * format.CaptureRate / 3600 / format.CaptureFrames + 1;
  return modulator.Render(blocks * format.CaptureFrames);
}

// Front-end, demodulator and interpreter on one state, as the program wires them for JSMR, fed
// the recording in a loop.
struct JsmrBlockPath {
  explicit JsmrBlockPath(int rateIndex)
      : format(SelectCaptureRate(rateIndex)), recording(Recording(format)) {
    main.Decoder = DecoderType::kJsmr;
    main.SampleRateIndex = rateIndex;
  }

  void ProcessNextBlock() {
    frontEnd.ProcessInputBlock(recording.data() + 2 * next, format.CaptureFrames);
    next += format.CaptureFrames;
    if (next * 2 == recording.size()) next = 0;
  }

  CaptureFormat format;
  std::vector<std::int16_t> recording;
  std::size_t next = 0;  // first frame of the next block

  MainState main;
  FilterDesigns designs = ComputeFilterDesigns();
  NullReceiver receiver;
  NullHeardLines heardLines;
  NullEventPump pump;
  DroppingOutput output;
  MonitorOutput monitor{main, designs, Services{}, output};
  Services services{&receiver, &monitor, nullptr, &heardLines, &pump};
  JsmrInterpreter interpreter{main, designs, services};
  JsmrDemodulator demodulator{main, designs, services, interpreter};
  bench::IdleDecoder mcaccess;
  CaptureFrontEnd frontEnd{main, designs, mcaccess, demodulator};
};

void RunBlocks(benchmark::State& state, JsmrBlockPath& path) {
  for (auto _ : state) path.ProcessNextBlock();
  bench::SetBlockCounters(state);
}

// On the control channel: every block demodulated, every word interpreted.
void BM_BlockPathJsmr(benchmark::State& state) {
  JsmrBlockPath path(static_cast<int>(state.range(0)));
  RunBlocks(state, path);
}
BENCHMARK(BM_BlockPathJsmr)->ArgName("rateIndex")->DenseRange(0, 2);

// Following a call line: the demodulator waits, the interpreter runs the 150 Hz tone detector
// against the threshold and plays each block through the monitor filters.
void BM_BlockPathJsmrOnLine(benchmark::State& state) {
  JsmrBlockPath path(static_cast<int>(state.range(0)));
  path.main.TrackingOn = true;
  path.main.JsmrOnLine = true;
  path.main.TrackBar4.position = path.main.TrackBar4.max;
  path.monitor.OpenMonitorOutput();
  // Past the hold, with the monitor open.
  for (int n = 0; n < JsmrInterpreter::kHoldBlocks; ++n) path.ProcessNextBlock();
  RunBlocks(state, path);
  if (!path.main.JsmrOnLine || !path.main.CallAudioOpen) {
    state.SkipWithError("the line was released or the monitor never opened");
  }
}
BENCHMARK(BM_BlockPathJsmrOnLine)->ArgName("rateIndex")->DenseRange(0, 2);

}  // namespace
}  // namespace tarvo
