// Keeps the receiver's serial port alive: a port that hangs up or stops taking bytes (an adapter
// pulled out) is reported lost, nothing more is sent to it, and it is opened again every 2 s, by
// its stable name when the system gives one (the adapter may come back under another node). When
// it is back the model's start sequence is sent again and the receiver is tuned to where it
// should be: the line being followed, or the control channel. A hamlib rig that stops answering
// is tried again every 2 s the same way, through its worker.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/radio/receiver_controller.h"
#include "core/radio/rig_worker.h"
#include "core/radio/serial_link.h"

namespace tarvo {

class ReceiverSupervisor {
 public:
  static constexpr int kRetryMs = 2000;

  ReceiverSupervisor(MainState& state, SerialLink& link, ReceiverController& controller,
                     Services services);

  // After the receiver was started on its port: remembers which port to bring back.
  void Watch();
  // Often (once per block): notices a loss, and retries when one is due. Never waits.
  void Tick();
  // The rig worker's reports, on the window thread: a failed tune or volume loses the rig, the
  // first answer after it brings it back.
  void OnRigReports(const std::vector<RigFailure>& reports);

  bool Lost() const { return lost_; }

 private:
  void Report(const char* what, const std::string& device);
  // The tune that puts the receiver where it should be now.
  void TuneToWhereItShouldBe();

  MainState& state_;
  SerialLink& link_;
  ReceiverController& controller_;
  Services services_;
  std::string path_;    // the node that was opened
  std::string stable_;  // the name that finds it again
  bool lost_ = false;
  std::int64_t lastTryMs_ = 0;
};

}  // namespace tarvo
