// The simulated air as a sound card: a thread of its own renders each block in real time into
// the capture ring and announces it, as a real input device's thread does.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "core/audio/capture_device.h"
#include "core/sim/simulated_air.h"

namespace tarvo::sim {

class SimulatedCapture : public CaptureDevice {
 public:
  // announce is called from the capture thread after each block.
  SimulatedCapture(SimulatedAir& air, std::function<void()> announce)
      : air_(air), announce_(std::move(announce)) {}
  ~SimulatedCapture() override { Close(); }

  bool Open(int deviceIndex, int rate, int framesPerBlock, BlockRing& ring) override;
  void Close() override;

 private:
  SimulatedAir& air_;
  std::function<void()> announce_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace tarvo::sim
