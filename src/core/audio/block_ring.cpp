#include "core/audio/block_ring.h"

#include <algorithm>

namespace tarvo {

void BlockRing::Reset(int slots, int slotSamples) {
  slots_ = std::clamp(slots, 0, kMaxSlots);
  slotSamples_ = std::max(slotSamples, 0);
  const std::size_t size = static_cast<std::size_t>(slots_) * slotSamples_;
  if (data_.size() < size) data_.resize(size);
  std::fill(data_.begin(), data_.end(), 0);
  for (auto& h : held_) h.store(false, std::memory_order_relaxed);
  writeSlot_ = writeOffset_ = readSlot_ = readOffset_ = 0;
  dropped_.store(0, std::memory_order_relaxed);
}

int BlockRing::Write(const std::int16_t* samples, int count) {
  int completed = 0;
  while (count > 0 && slots_ > 0 && slotSamples_ > 0) {
    if (writeOffset_ == 0 && held_[writeSlot_].load(std::memory_order_acquire)) {
      dropped_.fetch_add(count, std::memory_order_relaxed);
      return completed;
    }
    const int n = std::min(count, slotSamples_ - writeOffset_);
    std::copy(
        samples, samples + n,
        data_.begin() + static_cast<std::ptrdiff_t>(writeSlot_) * slotSamples_ + writeOffset_);
    samples += n;
    count -= n;
    writeOffset_ += n;
    if (writeOffset_ == slotSamples_) {
      held_[writeSlot_].store(true, std::memory_order_release);
      writeSlot_ = (writeSlot_ + 1) % slots_;
      writeOffset_ = 0;
      ++completed;
    }
  }
  return completed;
}

const std::int16_t* BlockRing::Front() const {
  if (slots_ == 0 || !held_[readSlot_].load(std::memory_order_acquire)) return nullptr;
  return data_.data() + static_cast<std::ptrdiff_t>(readSlot_) * slotSamples_;
}

void BlockRing::Pop() {
  if (Front() == nullptr) return;
  held_[readSlot_].store(false, std::memory_order_release);
  readSlot_ = (readSlot_ + 1) % slots_;
  readOffset_ = 0;
}

void BlockRing::Read(std::int16_t* out, int count) {
  while (count > 0) {
    const std::int16_t* block = Front();
    if (block == nullptr) {
      std::fill(out, out + count, 0);
      return;
    }
    const int n = std::min(count, slotSamples_ - readOffset_);
    std::copy(block + readOffset_, block + readOffset_ + n, out);
    out += n;
    count -= n;
    readOffset_ += n;
    if (readOffset_ == slotSamples_) Pop();
  }
}

}  // namespace tarvo
