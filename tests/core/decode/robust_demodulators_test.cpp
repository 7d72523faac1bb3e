// The robust demodulators beside the exact ones, both behind the capture front-end: the same
// frames from clean signals, nothing from noise, and the eye and lamps fed as the exact ones do.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/audio/capture_front_end.h"
#include "core/decode/demodulator_choice.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_robust_demodulator.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_robust_demodulator.h"
#include "support/jsmr_modulator.h"
#include "support/mcaccess_modulator.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using Words = std::vector<std::string>;

template <class Word>
std::string Text(const Word& word) {
  std::string text;
  for (const auto bit : word) text += bit ? '1' : '0';
  return text;
}

class WordRecorder : public McAccessFrameSink, public JsmrWordSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override { words.push_back(Text(word)); }
  void InterpretJsmrWord(const JsmrWord& word) override { words.push_back(Text(word)); }
  void SuperviseJsmrLine(InputBlock&) override { ++supervised; }
  Words words;
  int supervised = 0;
};

// One decoder type with both demodulators, chosen through the state as the program does.
struct Receiver {
  Receiver(DecoderType type, Demodulation demod) {
    state.Decoder = type;
    state.Demod = demod;
  }
  void Feed(const std::vector<std::int16_t>& stereo, int rate) {
    const int frames = rate * kBlockSamples / 11025;
    for (std::size_t n = 0; n + frames <= stereo.size() / 2; n += frames) {
      frontEnd.ProcessInputBlock(stereo.data() + 2 * n, frames);
    }
  }

  MainState state;
  FilterDesigns designs = ComputeFilterDesigns();
  testing::RecordingWorld world;
  WordRecorder sink;
  McAccessDemodulator mcaccessExact{state, designs, world.services(), sink};
  McAccessRobustDemodulator mcaccessRobust{state, designs, world.services(), sink};
  JsmrDemodulator jsmrExact{state, designs, world.services(), sink};
  JsmrRobustDemodulator jsmrRobust{state, world.services(), sink};
  DemodulatorChoice mcaccess{state, mcaccessExact, mcaccessRobust};
  DemodulatorChoice jsmr{state, jsmrExact, jsmrRobust};
  CaptureFrontEnd frontEnd{state, designs, mcaccess, jsmr};
};

Words DecodeBoth(DecoderType type, const std::vector<std::int16_t>& stereo, int rate, bool left,
                 double polarity, Words& robust) {
  Receiver exact(type, Demodulation::kExact);
  Receiver other(type, Demodulation::kRobust);
  for (Receiver* r : {&exact, &other}) {
    r->state.LeftChannel = left;
    r->state.DecoderPolarity = polarity;
    r->Feed(stereo, rate);
  }
  robust = other.sink.words;
  return exact.sink.words;
}

struct CleanCase {
  int rate;
  bool left;
  bool inverted;  // JSMR only
};

const CleanCase kCleanCases[] = {
    {11025, true, false},  {22050, true, false},  {44100, true, false},
    {11025, false, false}, {22050, false, false}, {44100, false, false},
    {11025, true, true},   {22050, false, true},  {44100, true, true},
};

TEST(RobustDemodulators, McAccessCleanSignalsGiveTheExactDemodulatorsFrames) {
  std::mt19937 random(8);
  for (const CleanCase& c : kCleanCases) {
    if (c.inverted) continue;
    SCOPED_TRACE(::testing::Message() << c.rate << (c.left ? " left" : " right"));
    testing::ModulatorOptions options;
    options.sampleRate = c.rate;
    options.leftChannel = c.left;
    options.amplitude = 3000.0 + 1000.0 * (random() % 8);
    testing::McAccessModulator modulator(options);
    modulator.QueueIdle(120);
    Words sent;
    // Back to back, then after gaps of both parities.
    for (const int gap : {0, 0, 1, 37, 0, 150, 2}) {
      modulator.QueueIdle(gap);
      const McAccessWord word = testing::RandomMcAccessWord(random);
      modulator.QueueFrame(word);
      sent.push_back(Text(word));
    }
    modulator.QueueIdle(120);
    std::vector<std::int16_t> stereo;
    modulator.Emit(modulator.FramesUntilQueueSent(), stereo);

    Words robust;
    EXPECT_EQ(DecodeBoth(DecoderType::kMcAccess, stereo, c.rate, c.left, 1.0, robust), sent);
    EXPECT_EQ(robust, sent);
  }
}

TEST(RobustDemodulators, JsmrCleanSignalsGiveTheExactDemodulatorsWordsInBothPolarities) {
  std::mt19937 random(9);
  for (const CleanCase& c : kCleanCases) {
    SCOPED_TRACE(::testing::Message()
                 << c.rate << (c.left ? " left" : " right") << (c.inverted ? " inverted" : ""));
    testing::JsmrSignalOptions options;
    options.sampleRate = c.rate;
    options.rightChannel = !c.left;
    options.inverted = c.inverted;
    options.amplitude = 3000.0 + 1000.0 * (random() % 8);
    testing::JsmrModulator modulator(options);
    modulator.QueueIdle(60);
    Words sent;
    for (const int gap : {0, 0, 1, 23, 0, 90, 2}) {
      modulator.QueueIdle(gap);
      const testing::JsmrFields fields{
          static_cast<int>(random() % 256), static_cast<int>(random() % 256),
          static_cast<int>(random() % 2), static_cast<int>(random() % 1024)};
      modulator.QueueFrame(fields);
      sent.push_back(Text(testing::JsmrWordFor(fields)));
    }
    modulator.QueueIdle(200);
    const std::vector<std::int16_t> stereo =
        modulator.Render(static_cast<int>(modulator.QueuedBits() * c.rate / 3600.0));

    Words robust;
    const double polarity = c.inverted ? -1.0 : 1.0;
    EXPECT_EQ(DecodeBoth(DecoderType::kJsmr, stereo, c.rate, c.left, polarity, robust), sent);
    EXPECT_EQ(robust, sent);
    // The wrong polarity decodes nothing.
    Words wrongPolarity;
    DecodeBoth(DecoderType::kJsmr, stereo, c.rate, c.left, -polarity, wrongPolarity);
    EXPECT_TRUE(wrongPolarity.empty());
  }
}

TEST(RobustDemodulators, NoiseAloneGivesNoFrameAtAnyRate) {
  constexpr int kSeconds = 120;
  for (const int rate : {11025, 22050, 44100}) {
    SCOPED_TRACE(rate);
    Receiver mcaccessExact(DecoderType::kMcAccess, Demodulation::kExact);
    Receiver mcaccessRobust(DecoderType::kMcAccess, Demodulation::kRobust);
    Receiver jsmrRobust(DecoderType::kJsmr, Demodulation::kRobust);
    std::mt19937 random(static_cast<std::uint32_t>(rate));
    std::normal_distribution<double> noise(0.0, 3000.0);
    const int frames = rate * kBlockSamples / 11025;
    std::vector<std::int16_t> stereo(2 * frames);
    for (int b = 0; b < kSeconds * 11025 / kBlockSamples; ++b) {
      for (int n = 0; n < frames; ++n) stereo[2 * n] = static_cast<std::int16_t>(noise(random));
      for (Receiver* r : {&mcaccessExact, &mcaccessRobust, &jsmrRobust}) {
        r->frontEnd.ProcessInputBlock(stereo.data(), frames);
      }
    }
    // The exact JSMR demodulator is left out: its 8-bit sync word and 10-bit check let about
    // one noise word a minute through, as they always have.
    EXPECT_TRUE(mcaccessExact.sink.words.empty());
    EXPECT_TRUE(mcaccessRobust.sink.words.empty());
    EXPECT_TRUE(jsmrRobust.sink.words.empty());
  }
}

// Strobes per block and the largest value at a strobe in the last block.
std::pair<int, double> LastEye(const MainState& state) {
  int strobes = 0;
  double peak = 0.0;
  for (int i = 0; i < kBlockSamples; ++i) {
    strobes += state.EyeStrobes[i];
    if (state.EyeStrobes[i]) peak = std::max(peak, std::fabs(state.EyeSamples[i]));
  }
  return {strobes, peak};
}

TEST(RobustDemodulators, FeedTheEyeAsTheExactOnesDo) {
  struct Case {
    DecoderType type;
    int eyePixels;
  };
  for (const Case c : {Case{DecoderType::kMcAccess, 10}, Case{DecoderType::kJsmr, 30}}) {
    std::vector<std::int16_t> stereo;
    if (c.type == DecoderType::kMcAccess) {
      std::mt19937 random(3);
      stereo = testing::ModulateFrames({testing::RandomMcAccessWord(random)}, {}, 400);
    } else {
      testing::JsmrModulator modulator;
      modulator.QueueIdle(400);
      modulator.QueueFrame({});
      modulator.QueueIdle(400);
      stereo = modulator.Render(modulator.QueuedBits() * 11025 / 3600);
    }
    Receiver exact(c.type, Demodulation::kExact);
    Receiver robust(c.type, Demodulation::kRobust);
    for (Receiver* r : {&exact, &robust}) {
      r->world.eye.showing = true;
      r->Feed(stereo, 11025);
      ASSERT_EQ(r->sink.words.size(), 1u);
      ASSERT_FALSE(r->world.eye.updates.empty());
      EXPECT_EQ(r->world.eye.updates.back(), c.eyePixels);
    }
    const auto [exactStrobes, exactPeak] = LastEye(exact.state);
    const auto [robustStrobes, robustPeak] = LastEye(robust.state);
    EXPECT_NEAR(robustStrobes, exactStrobes, 1);
    EXPECT_NEAR(robustPeak / exactPeak, 1.0, 0.3);  // the same scale on the eye window
  }
}

TEST(RobustDemodulators, OffTheControlChannelTheyOnlySuperviseTheLine) {
  const std::vector<std::int16_t> silence(2 * 4 * kBlockSamples, 100);

  Receiver mcaccess(DecoderType::kMcAccess, Demodulation::kRobust);
  mcaccess.world.eye.showing = true;
  mcaccess.state.OnControlChannel = false;
  mcaccess.state.RxLampBlocks = 0;
  mcaccess.state.Panel1 = Colour::kAqua;
  mcaccess.state.TrackingOn = true;
  mcaccess.Feed(silence, 11025);
  EXPECT_TRUE(mcaccess.world.eye.updates.empty());
  EXPECT_EQ(mcaccess.state.Panel4, Colour::kYellow);
  EXPECT_EQ(mcaccess.state.Panel1, Colour::kAqua);  // dark only on the fifth block
  EXPECT_EQ(mcaccess.state.Timer1.Interval(), 3000);

  Receiver jsmr(DecoderType::kJsmr, Demodulation::kRobust);
  jsmr.state.JsmrOnLine = true;
  jsmr.state.Panel1 = Colour::kAqua;
  jsmr.Feed(silence, 11025);
  EXPECT_EQ(jsmr.state.Panel1, Colour::kBlack);
  EXPECT_EQ(jsmr.sink.supervised, 4);
}

}  // namespace
}  // namespace tarvo
