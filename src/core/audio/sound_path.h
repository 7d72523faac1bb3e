// The program's sound path: the capture input and the monitor output on their devices, opened
// and closed together, with every recorded block run through one handler strictly one at a time.
#pragma once

#include <cstdint>

#include "core/audio/block_sequencer.h"
#include "core/audio/capture_device.h"
#include "core/audio/capture_input.h"
#include "core/audio/monitor_output.h"
#include "core/audio/sound_devices.h"
#include "core/audio/sound_output_device.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/dsp/filter_designs.h"

namespace tarvo {

// Devices for a program run without sound: they open and stay silent.
class SilentCaptureDevice : public CaptureDevice {
 public:
  bool Open(int, int, int, BlockRing&) override { return true; }
  void Close() override {}
};

class SilentOutputDevice : public SoundOutputDevice {
 public:
  OpenResult Open(int) override { return OpenResult::kOk; }
  void QueueBlock(const std::int16_t*) override {}
  void Close() override {}
};

class SoundPath {
 public:
  // services needs only the notice; process is the capture front-end's block handler.
  SoundPath(MainState& state, const FilterDesigns& designs, Services services,
            CaptureDevice& capture, SoundOutputDevice& output, CaptureBlockHandler process);

  // On the window thread, once per block the capture device announced.
  void OnBlockReady() { sequencer_.OnBlockReady(); }

  MonitorOutput& Monitor() { return monitor_; }
  CaptureInput& Capture() { return capture_; }
  SoundDevices& Devices() { return devices_; }

 private:
  MonitorOutput monitor_;
  CaptureInput capture_;
  SoundDevices devices_;
  CaptureBlockHandler process_;
  BlockSequencer sequencer_;
};

}  // namespace tarvo
