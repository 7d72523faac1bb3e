// The demo's stand-ins around the simulated air: the receiver the tracker steers (it moves the
// air's listening point) and a monitor output that plays on the real sound card when there is
// one and stays silent, without complaint, when there is none.
#pragma once

#include "core/audio/sound_output_device.h"
#include "core/radio/receiver.h"
#include "core/sim/simulated_air.h"

namespace tarvo::sim {

class AirReceiver : public Receiver {
 public:
  explicit AirReceiver(SimulatedAir& air) : air_(air) {}
  void TuneReceiver(const std::string& frequencyText, int) override { air_.Tune(frequencyText); }
  void SetReceiverVolume(int) override {}

 private:
  SimulatedAir& air_;
};

class OptionalOutputDevice : public SoundOutputDevice {
 public:
  // real may be null: then it is always silent.
  explicit OptionalOutputDevice(SoundOutputDevice* real) : real_(real) {}
  OpenResult Open(int deviceIndex) override {
    open_ = real_ != nullptr && real_->Open(deviceIndex) == OpenResult::kOk;
    return OpenResult::kOk;
  }
  void QueueBlock(const std::int16_t* frames) override {
    if (open_) real_->QueueBlock(frames);
  }
  void Close() override {
    if (open_) real_->Close();
    open_ = false;
  }

 private:
  SoundOutputDevice* real_;
  bool open_ = false;
};

}  // namespace tarvo::sim
