#include "core/audio/capture_front_end.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "support/mcaccess_chain.h"

namespace tarvo::testing {
namespace {

// The front-end with recording decoders on both hand-offs.
struct FrontEndRig {
  MainState state;
  FilterDesigns designs = ComputeFilterDesigns();
  RecordingDecoder mcaccess;
  RecordingDecoder jsmr;
  CaptureFrontEnd frontEnd{state, designs, mcaccess, jsmr};

  const InputBlock& Process(const std::vector<std::int16_t>& stereo) {
    frontEnd.ProcessInputBlock(stereo.data(), static_cast<int>(stereo.size() / 2));
    return state.McAccessSelected() ? mcaccess.last : jsmr.last;
  }
};

std::vector<std::int16_t> RandomStereo(int frames, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  std::vector<std::int16_t> stereo(2 * frames);
  for (auto& s : stereo) s = static_cast<std::int16_t>(sample(random));
  return stereo;
}

std::vector<std::int16_t> ConstantStereo(int frames, std::int16_t left, std::int16_t right) {
  std::vector<std::int16_t> stereo(2 * frames);
  for (int i = 0; i < frames; ++i) {
    stereo[2 * i] = left;
    stereo[2 * i + 1] = right;
  }
  return stereo;
}

TEST(CaptureFrontEnd, RateIndexChoosesRateAndBufferLength) {
  struct Row {
    int index;
    int rate;
    int frames;
  };
  const Row rows[] = {{0, 11025, 512}, {1, 22050, 1024}, {2, 44100, 2048},
                      {3, 11025, 512}, {-1, 11025, 512}, {7, 11025, 512}};
  for (const Row row : rows) {
    const CaptureFormat format = SelectCaptureRate(row.index);
    EXPECT_EQ(format.CaptureRate, row.rate) << row.index;
    EXPECT_EQ(format.CaptureFrames, row.frames) << row.index;
  }
}

// The filter runs on every input sample and the block keeps filtered samples 0, f, 2f, ...
TEST(CaptureFrontEnd, DecimationKeepsEveryFactorthFilteredSample) {
  for (const int index : {1, 2}) {
    FrontEndRig rig;
    const CaptureFormat format = SelectCaptureRate(index);
    const int factor = format.CaptureFrames / kBlockSamples;
    Fir51 reference(factor == 4 ? rig.designs.decimation44 : rig.designs.decimation22);
    for (int b = 0; b < 3; ++b) {
      const auto stereo = RandomStereo(format.CaptureFrames, 40 + b);
      const InputBlock& block = rig.Process(stereo);
      for (int i = 0; i < format.CaptureFrames; ++i) {
        const double filtered = reference.Push(stereo[2 * i]);
        if (i % factor == 0) {
          ASSERT_EQ(block[i / factor], filtered) << factor << " " << i;
        }
      }
    }
    EXPECT_EQ(rig.frontEnd.DecimationDelayLine(), reference.Line());
  }
}

TEST(CaptureFrontEnd, EachChannelReadsOnlyItsOwnPositions) {
  for (const bool left : {true, false}) {
    FrontEndRig rig;
    rig.state.LeftChannel = left;
    const auto stereo = RandomStereo(512, 5);
    const InputBlock& block = rig.Process(stereo);
    for (int i = 0; i < kBlockSamples; ++i) {
      ASSERT_EQ(block[i], stereo[2 * i + (left ? 0 : 1)]) << i;
    }
  }
  FrontEndRig rig;
  rig.state.LeftChannel = false;
  rig.Process(ConstantStereo(512, 20000, 0));
  EXPECT_EQ(rig.frontEnd.InputLevel(), 0.0);
  EXPECT_EQ(rig.state.Image1.length, 0);
}

TEST(CaptureFrontEnd, GainIsThePositionInDecibels) {
  struct Row {
    int position;
    double factor;
  };
  for (const Row row : {Row{-20, 0.1}, Row{0, 1.0}, Row{20, 10.0}, Row{-6, 0.501187233627}}) {
    FrontEndRig rig;
    rig.state.TrackBar1.position = row.position;
    const auto stereo = RandomStereo(512, 9);
    const InputBlock& block = rig.Process(stereo);
    for (int i = 0; i < kBlockSamples; ++i) {
      const double expected = stereo[2 * i] * row.factor;
      if (row.position % 20 == 0) {
        ASSERT_EQ(block[i], expected) << row.position;
      } else {
        ASSERT_NEAR(block[i], expected, std::fabs(expected) * 1e-11) << row.position;
      }
    }
  }
}

TEST(CaptureFrontEnd, LevelBarLengthAndColour) {
  struct Row {
    std::int16_t level;
    int gain;
    int length;
    Colour colour;
  };
  const Row rows[] = {
      {3999, 0, 79, Colour::kYellow}, {4000, 0, 80, Colour::kLime},  {6000, 0, 120, Colour::kLime},
      {6001, 0, 120, Colour::kRed},   {-4000, 0, 80, Colour::kLime}, {400, 20, 80, Colour::kLime},
      {0, 0, 0, Colour::kYellow},
  };
  for (const Row row : rows) {
    FrontEndRig rig;
    rig.state.TrackBar1.position = row.gain;
    rig.Process(ConstantStereo(512, row.level, 0));
    EXPECT_EQ(rig.state.Image1.length, row.length) << row.level;
    EXPECT_EQ(rig.state.Image1.colour, row.colour) << row.level;
  }
}

TEST(CaptureFrontEnd, LevelTruncatesEachSampleBeforeAveraging) {
  FrontEndRig rig;
  rig.state.TrackBar1.position = -20;
  rig.Process(ConstantStereo(512, 59, -59));  // 5.9 after gain
  EXPECT_EQ(rig.frontEnd.InputLevel(), 5.0);
}

TEST(CaptureFrontEnd, DelayLineCarriesAcrossRateSwitches) {
  FrontEndRig switched;
  FrontEndRig fresh;
  switched.Process(RandomStereo(2048, 1));  // 44100
  const auto line44 = switched.frontEnd.DecimationDelayLine();
  switched.Process(RandomStereo(512, 2));  // 11025: the line is left alone
  EXPECT_EQ(switched.frontEnd.DecimationDelayLine(), line44);

  const auto at22 = RandomStereo(1024, 3);
  const InputBlock after = switched.Process(at22);
  const InputBlock cold = fresh.Process(at22);
  EXPECT_NE(after[0], cold[0]);  // still holds samples of the previous rate
  Fir51 reference(switched.designs.decimation22);
  for (int k = kFirTaps - 1; k >= 0; --k) reference.Push(line44[k]);
  for (int i = 0; i < 1024; ++i) {
    const double filtered = reference.Push(at22[2 * i]);
    if (i % 2 == 0) {
      ASSERT_EQ(after[i / 2], filtered) << i;
    }
  }
  // By the end of the block only this rate's samples remain.
  EXPECT_EQ(after[511], cold[511]);
}

TEST(CaptureFrontEnd, HandsEachBlockToExactlyTheSelectedDecoder) {
  FrontEndRig rig;
  const auto stereo = ConstantStereo(512, 100, 0);
  rig.Process(stereo);
  rig.state.Decoder = DecoderType::kJsmr;
  rig.Process(stereo);
  rig.Process(stereo);
  EXPECT_EQ(rig.mcaccess.blocks, 1);
  EXPECT_EQ(rig.jsmr.blocks, 2);
}

TEST(CaptureFrontEnd, BuffersOfOtherLengthsAreIgnored) {
  FrontEndRig rig;
  for (const int frames : {0, 511, 513, 1536, 4096}) {
    const auto stereo = ConstantStereo(frames, 100, 0);
    rig.frontEnd.ProcessInputBlock(stereo.data(), frames);
  }
  EXPECT_EQ(rig.mcaccess.blocks, 0);
}

TEST(CaptureFrontEnd, ControlLampStaysRedForSixBlocksAndRestartsOnANewTune) {
  FrontEndRig rig;
  const auto stereo = ConstantStereo(512, 0, 0);
  std::string lamp;
  for (int b = 0; b < 12; ++b) {
    if (b == 0 || b == 4) rig.state.TuneSettleBlocks = 6;
    rig.Process(stereo);
    lamp += rig.state.Panel3 == Colour::kRed ? 'R' : '.';
  }
  EXPECT_EQ(lamp, "RRRRRRRRRR..");
  EXPECT_EQ(rig.state.TuneSettleBlocks, 0);
}

TEST(CaptureFrontEnd, SettleCountIsStillRunningWhileTheDecoderSeesTheBlock) {
  McAccessChain chain;  // a tune's settle blocks keep the call lamp dark
  chain.state.OnControlChannel = false;
  chain.state.TuneSettleBlocks = 6;
  const auto stereo = ConstantStereo(512, 0, 0);
  chain.frontEnd.ProcessInputBlock(stereo.data(), 512);
  EXPECT_EQ(chain.state.TuneSettleBlocks, 5);
  EXPECT_EQ(chain.state.Timer1.Interval(), 0);
}

}  // namespace
}  // namespace tarvo::testing
