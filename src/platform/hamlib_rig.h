// A rig through hamlib: any rig number it knows, on a serial device or at "host:port" (number 2,
// NET rigctl, reaches rigctld and the remote controls of SDR programs). Every call is bounded by
// the timeout and retry count given here; calls block, so only the rig worker makes them.
#pragma once

#include <hamlib/rig.h>

#include <memory>
#include <string>

#include "core/radio/rig_device.h"
#include "platform/hamlib_library.h"

namespace tarvo {

// Long enough for a rig on a slow serial line to answer, short enough that a vanished one is
// given up within about two seconds per call.
inline constexpr int kRigTimeoutMs = 1000;
inline constexpr int kRigRetries = 1;

class HamlibRig : public RigDevice {
 public:
  // Sets the process's numeric locale to "C" (see the source); build it before any worker runs.
  explicit HamlibRig(int timeoutMs = kRigTimeoutMs, int retries = kRigRetries);
  ~HamlibRig() override;
  HamlibRig(const HamlibRig&) = delete;
  HamlibRig& operator=(const HamlibRig&) = delete;

  bool Open(const RigTarget& target) override;
  bool SetModeFm() override;
  bool SetFrequency(std::int64_t hertz) override;
  bool SetVolume(double level) override;
  void Close() override;
  std::string LastError() const override { return lastError_; }

  // The open rig, for reading back what was set; null while closed.
  RIG* Handle() const { return rig_; }

 private:
  bool Check(int status, const std::string& what);
  bool SetConf(const char* name, const std::string& value);

  std::unique_ptr<HamlibLibrary> hamlib_;  // loaded by the first Open
  int timeoutMs_;
  int retries_;
  RIG* rig_ = nullptr;
  std::string lastError_;
};

}  // namespace tarvo
