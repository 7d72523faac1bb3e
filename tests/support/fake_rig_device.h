// A rig in memory for the rig worker: logs every call as a line, can be told to refuse opens or
// calls, and can hold a call until the test lets it go (a slow or vanished rig).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/radio/rig_device.h"

namespace tarvo::testing {

class FakeRigDevice : public RigDevice {
 public:
  bool Open(const RigTarget& target) override {
    Log("open " + std::to_string(target.rig) + " " + target.port + " " +
        std::to_string(target.rate));
    return !refuseOpen;
  }
  bool SetModeFm() override {
    Log("FM");
    return true;
  }
  bool SetFrequency(std::int64_t hertz) override {
    Log("F " + std::to_string(hertz));
    Hold();
    return !failCalls;
  }
  bool SetVolume(double level) override {
    Log("L " + std::to_string(level).substr(0, 5));
    return !failCalls;
  }
  void Close() override { Log("close"); }
  std::string LastError() const override { return "rig gone"; }

  // Makes the next tune wait inside the call until Release().
  void HoldNextTune() {
    std::lock_guard lock(mutex_);
    hold_ = true;
  }
  void WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    hold_ = held_ = false;
    changed_.notify_all();
  }

  std::vector<std::string> TakeLog() {
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
  }

  // Set between requests, while the worker is idle.
  bool refuseOpen = false;
  bool failCalls = false;

 private:
  void Log(std::string line) {
    std::lock_guard lock(mutex_);
    log_.push_back(std::move(line));
  }
  void Hold() {
    std::unique_lock lock(mutex_);
    if (!hold_) return;
    held_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !hold_; });
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> log_;
  bool hold_ = false;
  bool held_ = false;
};

}  // namespace tarvo::testing
