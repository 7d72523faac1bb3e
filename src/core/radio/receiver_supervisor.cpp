#include "core/radio/receiver_supervisor.h"

#include "core/base/clock.h"
#include "core/base/tracking_events.h"
#include "core/radio/receiver_model.h"

namespace tarvo {

ReceiverSupervisor::ReceiverSupervisor(MainState& state, SerialLink& link,
                                       ReceiverController& controller, Services services)
    : state_(state), link_(link), controller_(controller), services_(services) {}

void ReceiverSupervisor::Watch() {
  lost_ = false;
  lastTryMs_ = 0;
  state_.ReceiverLost = false;
  path_ = link_.OpenedPath();
  stable_ = path_.empty() ? std::string() : link_.Device().StableName(path_);
}

void ReceiverSupervisor::Report(const char* what, const std::string& device) {
  if (services_.events == nullptr) return;
  TrackingEvent e;
  e.event = "receiver";
  e.state = what;
  e.device = device;
  services_.events->Emit(std::move(e), state_.Decoder);
}

void ReceiverSupervisor::OnRigReports(const std::vector<RigFailure>& reports) {
  if (state_.RadioModel != kModelHamlib) return;
  for (const RigFailure& report : reports) {
    const bool back = report.kind == RigFailure::Kind::kBack;
    const bool failed =
        report.kind == RigFailure::Kind::kTune || report.kind == RigFailure::Kind::kVolume;
    if (failed && !lost_) {
      lost_ = true;
      state_.ReceiverLost = true;
      lastTryMs_ = services_.clock != nullptr ? services_.clock->NowMs() : 0;
      Report("lost", state_.RigPort);
    } else if (back && lost_) {
      lost_ = false;
      state_.ReceiverLost = false;
      Report("back", state_.RigPort);
    }
  }
}

void ReceiverSupervisor::TuneToWhereItShouldBe() {
  const std::string followed =
      services_.events != nullptr ? services_.events->FollowedLine() : std::string();
  const std::string& target =
      !state_.OnControlChannel && !followed.empty() ? followed : state_.ControlFrequencyText;
  controller_.TuneReceiver(target, state_.RadioModel);
}

void ReceiverSupervisor::Tick() {
  if (services_.clock == nullptr) return;
  const std::int64_t now = services_.clock->NowMs();
  if (state_.RadioModel == kModelHamlib) {
    // The worker opens the rig afresh for the tune; its answer comes back as a report.
    if (lost_ && now - lastTryMs_ >= kRetryMs) {
      lastTryMs_ = now;
      TuneToWhereItShouldBe();
    }
    return;
  }
  if (path_.empty()) return;
  if (!lost_) {
    if (!link_.CheckPortLost()) return;
    lost_ = true;
    state_.ReceiverLost = true;
    lastTryMs_ = now;
    Report("lost", path_);
    return;
  }
  if (now - lastTryMs_ < kRetryMs) return;
  lastTryMs_ = now;
  std::string opened = stable_;
  if (!controller_.RestartOnPort(stable_)) {
    if (stable_ == path_ || !controller_.RestartOnPort(path_)) return;
    opened = path_;
  }
  lost_ = false;
  state_.ReceiverLost = false;
  path_ = link_.OpenedPath();
  Report("back", opened);
  TuneToWhereItShouldBe();
}

}  // namespace tarvo
