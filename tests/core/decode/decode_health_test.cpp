// Decode health: frames accepted and frames whose sync was found but whose check failed, counted
// per 10 s of audio, with the control channel's silence since the last good frame.
#include "core/base/decode_health.h"

#include <gtest/gtest.h>

#include <random>

#include "support/mcaccess_chain.h"
#include "support/mcaccess_modulator.h"

namespace tarvo {
namespace {

using testing::Bits;
using testing::McAccessModulator;

TEST(DecodeHealthTest, CountsGoodAndBrokenFramesPerTenSecondsAndTheSilenceAfterThem) {
  testing::McAccessChain chain;
  McAccessModulator air{testing::ModulatorOptions{}};
  std::mt19937 random(7);
  air.QueueIdle(120);
  constexpr int kGood = 5;
  constexpr int kBroken = 3;
  for (int n = 0; n < kGood; ++n) {
    air.QueueFrame(testing::RandomMcAccessWord(random));
    air.QueueIdle(40);
    if (n >= kBroken) continue;
    // The sync word, then a body no error correction can mend.
    Bits broken = testing::McAccessSyncBits();
    for (int b = 0; b < 145; ++b) broken.push_back(static_cast<std::uint8_t>(random() & 1));
    air.QueueBits(broken);
    air.QueueIdle(40);
  }
  std::vector<std::int16_t> audio;
  air.Emit(static_cast<int>(22.0 * 11025), audio);  // two health periods and a bit
  chain.Feed(audio, 11025, [&] { chain.world.health.BlockDone(chain.state); });

  ASSERT_EQ(chain.frames.words.size(), static_cast<std::size_t>(kGood));
  const auto health = chain.world.eventLog.Of("health");
  ASSERT_EQ(health.size(), 2u);
  EXPECT_EQ(health[0].decoder, "mcaccess");
  EXPECT_EQ(health[0].frames, kGood);
  EXPECT_EQ(health[0].rejected, kBroken);
  // The last good frame ends 1680 bits (1.4 s) in.
  EXPECT_NEAR(*health[0].silent, 10.0 - 1.4, 0.2);
  EXPECT_EQ(health[1].frames, 0);
  EXPECT_EQ(health[1].rejected, 0);
  EXPECT_NEAR(*health[1].silent, 20.0 - 1.4, 0.2);
}

TEST(DecodeHealthTest, SilenceCountsOnlyWhileListeningToTheControlChannel) {
  MainState state;
  testing::RecordingWorld world;
  DecodeHealth& health = world.health;
  const int blocksPerPeriod =
      static_cast<int>(DecodeHealth::kPeriodSeconds / DecodeHealth::kBlockSeconds) + 1;
  state.OnControlChannel = false;  // following a call: the control channel is not heard
  for (int n = 0; n < blocksPerPeriod; ++n) health.BlockDone(state);
  EXPECT_DOUBLE_EQ(health.SilentSeconds(), 0.0);
  state.OnControlChannel = true;
  for (int n = 0; n < 10; ++n) health.BlockDone(state);
  EXPECT_NEAR(health.SilentSeconds(), 10 * DecodeHealth::kBlockSeconds, 1e-9);
  health.FrameAccepted();
  EXPECT_DOUBLE_EQ(health.SilentSeconds(), 0.0);
  ASSERT_EQ(world.eventLog.Of("health").size(), 1u);
}

}  // namespace
}  // namespace tarvo
