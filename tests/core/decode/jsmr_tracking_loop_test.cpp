// The whole JSMR tracking loop, headless: front-end, demodulator and interpreter on one state,
// with a simulated receiver whose audio is whatever the air carries where it is tuned.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "core/app/operator_handlers.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_interpreter.h"
#include "core/dsp/filter_designs.h"
#include "support/jsmr_modulator.h"
#include "support/mcaccess_chain.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::JsmrFields;

constexpr const char* kControl = "850.00000";  // raster offset 0.0125 on the JSMR raster
constexpr int kCallId = 0x42;
constexpr int kCallChannel = 17;  // 850.42500 MHz beside this control channel

// The air at the capture rate: the control channel's transmitter (always sending, heard only
// on its frequency) and a 150 Hz end-of-call tone on the line, silence elsewhere.
class SimulatedAir {
 public:
  SimulatedAir(int rate, bool inverted, std::string line)
      : rate_(rate), line_(std::move(line)), control_(Options(rate, inverted)) {}

  std::vector<std::int16_t> Render(const std::string& tunedTo) {
    const int frames = kBlockSamples * rate_ / 11025;
    std::vector<std::int16_t> out = control_.Render(frames);
    for (int n = 0; n < frames; ++n) {
      std::int16_t value = 0;
      if (tunedTo == kControl) value = out[2 * n];
      if (tunedTo == line_) {
        const double phase = 2.0 * std::numbers::pi * 150.0 * static_cast<double>(sample_ + n);
        value = static_cast<std::int16_t>(std::lround(1000.0 * std::sin(phase / rate_)));
      }
      out[2 * n] = value;
      out[2 * n + 1] = value;
    }
    sample_ += frames;
    return out;
  }

  void Send(const JsmrFields& fields, int idleBitsBefore = 30) {
    control_.QueueIdle(idleBitsBefore);
    control_.QueueFrame(fields);
  }

 private:
  static testing::JsmrSignalOptions Options(int rate, bool inverted) {
    testing::JsmrSignalOptions options;
    options.sampleRate = rate;
    options.inverted = inverted;
    options.noise = 300.0;
    return options;
  }

  int rate_;
  std::string line_;
  testing::JsmrModulator control_;
  long sample_ = 0;
};

struct BlockTrace {
  std::string heard;  // where the receiver was while the block was captured
  int lineBlocks;
  bool callAudioOpen;
  std::size_t monitorWrites;
  Colour panel4;
};

class TrackingLoop {
 public:
  TrackingLoop(int rate, bool inverted, const std::string& line) : air(rate, inverted, line) {
    state.Decoder = DecoderType::kJsmr;
    state.ControlFrequencyText = kControl;  // as start-up derives it
    state.ControlFrequency = 850.0;
    state.RasterOffset = 0.0125;
    state.CheckBox3.checked = inverted;
    state.DecoderPolarity = inverted ? -1.0 : 1.0;
    state.SampleRateIndex = rate == 44100 ? 2 : rate == 22050 ? 1 : 0;
    world.receiver.onTune = [this](const std::string& text, int) { tunedTo = text; };
  }

  void Run(int blocks) {
    for (int b = 0; b < blocks; ++b) {
      const std::string heard = tunedTo;
      const std::vector<std::int16_t> audio = air.Render(heard);
      frontEnd.ProcessInputBlock(audio.data(), static_cast<int>(audio.size() / 2));
      world.clock.now += 512 * 1000 / 11025;
      trace.push_back({heard, interpreter.JsmrLineBlocks(), state.CallAudioOpen,
                       world.monitor.writes.size(), state.Panel4});
    }
  }

  // Index of the first block heard on the frequency, if any.
  std::optional<std::size_t> FirstHeardOn(const std::string& frequency, std::size_t from = 0) {
    for (std::size_t b = from; b < trace.size(); ++b) {
      if (trace[b].heard == frequency) return b;
    }
    return std::nullopt;
  }

  MainState state;
  testing::RecordingWorld world;
  FilterDesigns designs = ComputeFilterDesigns();
  JsmrInterpreter interpreter{state, designs, world.services()};
  JsmrDemodulator demodulator{state, designs, world.services(), interpreter};
  testing::RecordingDecoder mcaccess;
  CaptureFrontEnd frontEnd{state, designs, mcaccess, demodulator};
  OperatorHandlers handlers{state, world.services()};
  SimulatedAir air;
  std::string tunedTo = "851.00000";  // wherever the operator left it
  std::vector<BlockTrace> trace;
};

TEST(JsmrTrackingLoop, FollowsACallAndReturnsWhenTheLineToneEndsIt) {
  struct Case {
    int rate;
    bool inverted;
  };
  for (const Case c : {Case{11025, false}, Case{22050, false}, Case{44100, true}}) {
    SCOPED_TRACE(::testing::Message() << c.rate << (c.inverted ? " inverted" : ""));
    TrackingLoop loop(c.rate, c.inverted, "850.42500");
    loop.handlers.SpeedButton1Click(true);
    ASSERT_EQ(loop.tunedTo, kControl);
    for (int n = 0; n < 4; ++n) loop.air.Send({0x1F, 0x2A, 0, kCallChannel});
    loop.air.Send({kCallId, 0x07, 1, kCallChannel});
    for (int n = 0; n < 30; ++n) loop.air.Send({0x1F, 0x2A, 0, kCallChannel});
    loop.Run(60);

    EXPECT_EQ(loop.state.Label6, "2A");
    EXPECT_EQ(loop.state.Edit2.text, "42");
    const auto first = loop.FirstHeardOn("850.42500");
    ASSERT_TRUE(first.has_value());
    const std::size_t tuneBlock = *first - 1;
    EXPECT_EQ(loop.trace[tuneBlock].lineBlocks, 1);
    // Sixth supervised block: the monitor path opens with four silent blocks, then plays.
    EXPECT_FALSE(loop.trace[tuneBlock + 4].callAudioOpen);
    EXPECT_TRUE(loop.trace[tuneBlock + 5].callAudioOpen);
    EXPECT_EQ(loop.trace[tuneBlock + 4].monitorWrites, 0u);
    EXPECT_EQ(loop.trace[tuneBlock + 5].monitorWrites, 4u);
    EXPECT_EQ(loop.trace[tuneBlock + 6].monitorWrites, 5u);
    // The tone is there from the first block on the line; the call is held through the first
    // twenty supervised blocks and released on the twenty-first.
    for (std::size_t b = tuneBlock; b < tuneBlock + 20; ++b) {
      EXPECT_EQ(loop.trace[b + 1].heard, "850.42500") << b;
      EXPECT_EQ(loop.trace[b].panel4, Colour::kYellow) << b;
    }
    EXPECT_EQ(loop.trace[tuneBlock + 20].panel4, Colour::kBlack);
    EXPECT_EQ(loop.trace[tuneBlock + 21].heard, kControl);
    EXPECT_EQ(loop.world.receiver.tunes.size(), 3u);  // control, line, control
    EXPECT_EQ(loop.tunedTo, kControl);
    EXPECT_FALSE(loop.state.JsmrOnLine);
    // Decoding picks up again on the control channel: the announcements keep the lamp aqua.
    EXPECT_EQ(loop.state.Panel1, Colour::kAqua);
    // Reported: the call followed, the return twenty blocks after the tune block.
    const auto calls = loop.world.eventLog.Of("call");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].action, "follow");
    EXPECT_EQ(calls[0].id, "42");
    EXPECT_EQ(calls[0].line, "850.42500");
    const auto returns = loop.world.eventLog.Of("return");
    ASSERT_EQ(returns.size(), 1u);
    EXPECT_EQ(returns[0].reason, "tone-ended");
    EXPECT_EQ(returns[0].line, "850.42500");
    EXPECT_EQ(returns[0].to, kControl);
    EXPECT_DOUBLE_EQ(*returns[0].seconds, 20 * (512 * 1000 / 11025) / 1000.0);
  }
}

TEST(JsmrTrackingLoop, CallsThatMustNotBeFollowedStayOnTheControlChannel) {
  struct Case {
    const char* name;
    bool tracking;
    int channel;
    double listed;
    const char* edit2;
  };
  const Case cases[] = {
      {"line prints as the control frequency", true, 0, 850.0, "---"},
      {"tracking off", false, kCallChannel, 850.425, "42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrackingLoop loop(11025, false, "850.42500");
    loop.tunedTo = kControl;
    if (c.tracking) loop.handlers.SpeedButton1Click(true);
    const std::size_t tunesBefore = loop.world.receiver.tunes.size();
    for (int n = 0; n < 3; ++n) {
      loop.air.Send({0x1F, 0x2A, 0, kCallChannel});
      loop.air.Send({kCallId, 0x07, 1, c.channel});
    }
    loop.Run(12);
    EXPECT_EQ(loop.world.receiver.tunes.size(), tunesBefore);
    EXPECT_EQ(loop.world.heardLines.added, std::vector<double>(3, c.listed));
    EXPECT_EQ(loop.state.Edit2.text, c.edit2);
    EXPECT_EQ(loop.state.Label6, "2A");
    EXPECT_FALSE(loop.state.JsmrOnLine);
  }
}

}  // namespace
}  // namespace tarvo
