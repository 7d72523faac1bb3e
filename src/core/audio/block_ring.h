// A ring of fixed-size sample blocks between one producer thread and one consumer thread,
// without locks. A slot is either free (the producer may fill it) or held (filled, waiting for
// or being read by the consumer); blocks leave in the order they were filled, and a producer
// that finds its next slot still held drops the block instead of overwriting it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace tarvo {

class BlockRing {
 public:
  static constexpr int kMaxSlots = 32;

  // Makes room for slots (up to kMaxSlots) x slotSamples samples, all free. Only while neither
  // side runs. Storage only ever grows, so a block pointer from Front stays readable.
  void Reset(int slots, int slotSamples);
  int Slots() const { return slots_; }
  int SlotSamples() const { return slotSamples_; }

  // Producer: copies count samples on, completing blocks as they fill. Samples that would
  // start a block in a held slot are dropped with the rest of this call. Returns the number of
  // blocks completed.
  int Write(const std::int16_t* samples, int count);
  // Samples the producer dropped since the last Reset.
  std::int64_t DroppedSamples() const { return dropped_.load(std::memory_order_relaxed); }

  // Consumer, block at a time: the oldest completed block, or nullptr when none is waiting.
  const std::int16_t* Front() const;
  // Consumer: frees the block Front returned.
  void Pop();

  // Consumer, sample at a time: copies count samples from completed blocks, freeing each one
  // as it is used up, and zeros where none is waiting.
  void Read(std::int16_t* out, int count);

 private:
  int slots_ = 0;
  int slotSamples_ = 0;
  std::vector<std::int16_t> data_;
  std::array<std::atomic<bool>, kMaxSlots> held_{};
  int writeSlot_ = 0;
  int writeOffset_ = 0;
  int readSlot_ = 0;
  int readOffset_ = 0;
  std::atomic<std::int64_t> dropped_{0};
};

}  // namespace tarvo
