#include "core/audio/block_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace tarvo {
namespace {

// Samples numbered from first on, wrapping in 16 bits.
std::vector<std::int16_t> Counting(int first, int count) {
  std::vector<std::int16_t> v(count);
  for (int i = 0; i < count; ++i) v[i] = static_cast<std::int16_t>(first + i);
  return v;
}

// Drains every waiting block; each must continue the count where the previous one ended.
std::vector<int> DrainBlockStarts(BlockRing& ring) {
  std::vector<int> starts;
  while (const std::int16_t* b = ring.Front()) {
    for (int i = 1; i < ring.SlotSamples(); ++i) {
      EXPECT_EQ(static_cast<std::int16_t>(b[i] - b[i - 1]), 1) << "block torn at " << i;
    }
    starts.push_back(b[0]);
    ring.Pop();
  }
  return starts;
}

TEST(BlockRing, ProducerChunksOfAnySizeMakeWholeBlocksInOrder) {
  for (int chunk : {1, 7, 64, 100, 256, 1000}) {
    BlockRing ring;
    ring.Reset(4, 64);
    const std::vector<std::int16_t> samples = Counting(0, 3 * 64 + 10);
    int completed = 0;
    for (int at = 0; at < static_cast<int>(samples.size()); at += chunk) {
      const int n = std::min(chunk, static_cast<int>(samples.size()) - at);
      completed += ring.Write(samples.data() + at, n);
    }
    EXPECT_EQ(completed, 3) << "chunk " << chunk;
    EXPECT_EQ(DrainBlockStarts(ring), (std::vector<int>{0, 64, 128})) << "chunk " << chunk;
  }
}

TEST(BlockRing, FullRingDropsNewBlocksWithoutTouchingHeldOnes) {
  BlockRing ring;
  ring.Reset(3, 8);
  for (int b = 0; b < 5; ++b) ring.Write(Counting(100 * b, 8).data(), 8);
  EXPECT_EQ(ring.DroppedSamples(), 16);
  ring.Pop();  // block 0 read: its slot is free again
  ring.Write(Counting(500, 8).data(), 8);
  EXPECT_EQ(DrainBlockStarts(ring), (std::vector<int>{100, 200, 500}));
}

TEST(BlockRing, ReadGivesWaitingSamplesThenSilenceAndFreesUsedSlots) {
  BlockRing ring;
  ring.Reset(2, 4);
  ring.Write(Counting(1, 8).data(), 8);
  std::vector<std::int16_t> out(6, -1);
  ring.Read(out.data(), 6);
  EXPECT_EQ(out, (std::vector<std::int16_t>{1, 2, 3, 4, 5, 6}));
  // The first slot is free again, the second is still being read.
  EXPECT_EQ(ring.Write(Counting(20, 4).data(), 4), 1);
  EXPECT_EQ(ring.Write(Counting(30, 4).data(), 4), 0);
  out.assign(8, -1);
  ring.Read(out.data(), 8);
  EXPECT_EQ(out, (std::vector<std::int16_t>{7, 8, 20, 21, 22, 23, 0, 0}));
}

TEST(BlockRing, ConcurrentProducerNeverTearsOrReordersBlocks) {
  BlockRing ring;
  ring.Reset(32, 256);
  constexpr int kBlocks = 20000;
  std::atomic<bool> done{false};
  std::thread producer([&] {
    for (int b = 0; b < kBlocks; ++b) {
      const std::vector<std::int16_t> block(256, static_cast<std::int16_t>(b));
      ring.Write(block.data(), 256);
    }
    done = true;
  });
  int last = -1;
  int seen = 0;
  while (!done || ring.Front() != nullptr) {
    const std::int16_t* b = ring.Front();
    if (b == nullptr) continue;
    for (int i = 1; i < 256; ++i) ASSERT_EQ(b[i], b[0]);
    const int id = static_cast<std::uint16_t>(b[0]);
    ASSERT_GT(id, last % 65536);
    last = id;
    ++seen;
    ring.Pop();
  }
  producer.join();
  EXPECT_GT(seen, 0);
  EXPECT_EQ(seen * 256 + ring.DroppedSamples(), kBlocks * 256);
}

}  // namespace
}  // namespace tarvo
