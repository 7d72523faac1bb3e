// The simulated system: what it sends decodes exactly, and the whole tracker follows its calls
// and comes back when they end, for both decoders.
#include "core/sim/simulated_air.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/app/operator_handlers.h"
#include "core/audio/capture_front_end.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_interpreter.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_interpreter.h"
#include "core/dsp/filter_designs.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

const FilterDesigns& Designs() {
  static const FilterDesigns designs = ComputeFilterDesigns();
  return designs;
}

class RecordingMcAccess : public McAccessFrameSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override { words.push_back(word); }
  std::vector<McAccessWord> words;
};

class RecordingJsmr : public JsmrWordSink {
 public:
  void InterpretJsmrWord(const JsmrWord& word) override { words.push_back(word); }
  void SuperviseJsmrLine(InputBlock&) override {}
  std::vector<JsmrWord> words;
};

// Renders seconds of the air, listening on the control channel, into the decoders.
template <typename Word>
void ExpectDecodedAsSent(DecoderType decoder, int rate) {
  sim::AirOptions options;
  options.decoder = decoder;
  options.sampleRate = rate;
  options.seed = 11;
  sim::SimulatedAir air(options);
  air.Tune(options.control);
  MainState state;
  state.Decoder = decoder;
  state.SampleRateIndex = rate == 44100 ? 2 : rate == 22050 ? 1 : 0;
  testing::RecordingWorld world;
  RecordingMcAccess mcaccessWords;
  RecordingJsmr jsmrWords;
  McAccessDemodulator mcaccess(state, Designs(), world.services(), mcaccessWords);
  JsmrDemodulator jsmr(state, Designs(), world.services(), jsmrWords);
  CaptureFrontEnd frontEnd(state, Designs(), mcaccess, jsmr);
  const int frames = SelectCaptureRate(state.SampleRateIndex).CaptureFrames;
  std::vector<std::int16_t> block(2 * static_cast<std::size_t>(frames));
  const int blocks = static_cast<int>(20.0 * rate / frames);
  for (int b = 0; b < blocks; ++b) {
    air.Render(frames, block.data());
    frontEnd.ProcessInputBlock(block.data(), frames);
  }
  std::vector<Word> sent;
  std::vector<Word> decoded;
  if constexpr (std::is_same_v<Word, McAccessWord>) {
    sent = air.SentMcAccessWords();
    decoded = mcaccessWords.words;
  } else {
    sent = air.SentJsmrWords();
    decoded = jsmrWords.words;
  }
  // The last words queued may still be on their way.
  ASSERT_GE(sent.size(), decoded.size());
  ASSERT_LE(sent.size() - decoded.size(), 3u);
  sent.resize(decoded.size());
  EXPECT_GT(decoded.size(), 20u);
  EXPECT_TRUE(decoded == sent);
}

TEST(SimulatedAirTest, WhatTheControlChannelSendsDecodesExactlyAtEveryRate) {
  for (const int rate : {11025, 22050, 44100}) {
    SCOPED_TRACE(rate);
    ExpectDecodedAsSent<McAccessWord>(DecoderType::kMcAccess, rate);
    ExpectDecodedAsSent<JsmrWord>(DecoderType::kJsmr, rate);
  }
}

TEST(SimulatedAirTest, TheSameSeedSendsTheSameSystem) {
  sim::AirOptions options;
  options.seed = 5;
  sim::SimulatedAir first(options);
  sim::SimulatedAir second(options);
  std::vector<std::int16_t> a(2 * 4096);
  std::vector<std::int16_t> b(2 * 4096);
  for (int n = 0; n < 60; ++n) {
    first.Render(4096, a.data());
    second.Render(4096, b.data());
  }
  EXPECT_TRUE(first.SentMcAccessWords() == second.SentMcAccessWords());
  ASSERT_FALSE(first.Calls().empty());
  EXPECT_EQ(first.Calls().front().id, second.Calls().front().id);
}

// The whole tracker on the simulated air: front-end, both decoders, handlers and timers on a
// fake clock, the receiver moving the air's listening point.
class SimTracker {
 public:
  explicit SimTracker(DecoderType decoder) : air(Options(decoder)) {
    state.Decoder = decoder;
    timer1.clock = &world.clock;
    timer2.clock = &world.clock;
    state.Timer1.SetDriver(&timer1);
    state.Timer2.SetDriver(&timer2);
    world.receiver.onTune = [this](const std::string& text, int) {
      air.Tune(text);
      state.TuneSettleBlocks = 6;
    };
  }

  static sim::AirOptions Options(DecoderType decoder) {
    sim::AirOptions options;
    options.decoder = decoder;
    options.seed = 3;
    return options;
  }

  void Run(double seconds) {
    std::vector<std::int16_t> block(2 * kBlockSamples);
    const int blocks = static_cast<int>(seconds * 11025 / kBlockSamples);
    for (int b = 0; b < blocks; ++b) {
      air.Render(kBlockSamples, block.data());
      frontEnd.ProcessInputBlock(block.data(), kBlockSamples);
      world.health.BlockDone(state);
      world.clock.now = (b + 1) * 512 * 1000 / 11025;
      timer1.Advance([this] { handlers.Timer1Timer(); });
      timer2.Advance([this] { handlers.Timer2Timer(); });
    }
  }

  std::vector<std::string> Decisions(const char* kind) const {
    std::vector<std::string> found;
    for (const TrackingEvent& e : world.eventLog.Of(kind)) {
      found.push_back(e.action.empty() ? e.reason : e.action + " " + e.reason);
    }
    return found;
  }

  sim::SimulatedAir air;
  MainState state;
  testing::RecordingWorld world;
  McAccessInterpreter mcaccessInterpreter{state, world.services()};
  JsmrInterpreter jsmrInterpreter{state, Designs(), world.services()};
  McAccessDemodulator mcaccess{state, Designs(), world.services(), mcaccessInterpreter};
  JsmrDemodulator jsmr{state, Designs(), world.services(), jsmrInterpreter};
  CaptureFrontEnd frontEnd{state, Designs(), mcaccess, jsmr};
  OperatorHandlers handlers{state, world.services()};
  testing::FakeTimer timer1;
  testing::FakeTimer timer2;
};

TEST(SimulatedAirTest, TheTrackerFollowsTheSimulatedCallsAndComesBack) {
  struct Case {
    DecoderType decoder;
    const char* returnReason;
  };
  for (const Case c :
       {Case{DecoderType::kMcAccess, "signal-lost"}, Case{DecoderType::kJsmr, "tone-ended"}}) {
    SCOPED_TRACE(c.decoder == DecoderType::kMcAccess ? "McAccess" : "JSMR");
    SimTracker t(c.decoder);
    t.handlers.SpeedButton1Click(true);
    t.Run(60.0);
    const auto follows = t.world.eventLog.Of("call");
    int followed = 0;
    for (const auto& e : follows) followed += e.action == "follow" ? 1 : 0;
    EXPECT_GE(followed, 3);
    const auto returns = t.Decisions("return");
    ASSERT_GE(returns.size(), 2u);
    for (const auto& r : returns) EXPECT_EQ(r, c.returnReason);
    for (const auto& e : t.world.eventLog.Of("return")) {
      EXPECT_GE(*e.seconds, 0.9);
      EXPECT_LE(*e.seconds, 10.0 + 3.5);
    }
  }
}

}  // namespace
}  // namespace tarvo
