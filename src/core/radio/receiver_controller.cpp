#include "core/radio/receiver_controller.h"

#include <cmath>

#include "core/base/clock.h"
#include "core/base/control_frequency.h"
#include "core/base/notice.h"
#include "core/radio/command_builders.h"
#include "core/radio/receiver_model.h"

namespace tarvo {
namespace {

// Holds RadioBusy for the length of a keyed tune, also if a handler run from the pump throws.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace

ReceiverController::ReceiverController(MainState& state, SerialLink& link, Services services,
                                       RigWorker* rig)
    : state_(state), link_(link), services_(services), rig_(rig) {}

void ReceiverController::TuneReceiver(const std::string& frequencyText, int model) {
  // "850.0000" with four decimals is never sent; "850.00000" is.
  if (frequencyText == "850.0000") return;
  if (!IsReceiverModel(model)) return;
  if (model == kModelHamlib) {
    const auto megahertz = MegahertzValue(frequencyText);
    if (rig_ != nullptr && megahertz && *megahertz > 0.0 && std::isfinite(*megahertz)) {
      rig_->Tune(std::llround(*megahertz * 1e6));
    }
  } else if (model == kModelDjX2000 || model == kModelDjX11) {
    // These take seconds to key; one arriving meanwhile from the pump is dropped, not queued.
    if (!state_.RadioBusy) {
      BusyScope busy(state_.RadioBusy);
      Send(BuildTune(state_, model, frequencyText));
    }
  } else {
    Send(BuildTune(state_, model, frequencyText));
  }
  state_.TuneSettleBlocks = kTuneSettleBlocks;
}

void ReceiverController::SetReceiverVolume(int level) {
  if (state_.RadioModel == kModelHamlib) {
    if (rig_ != nullptr) rig_->SetVolume(level / 255.0);
    return;
  }
  Send(BuildSetLevel(state_, state_.RadioModel, level));
}

void ReceiverController::StartReceiver() {
  const int model = state_.RadioModel;
  if (model == kModelHamlib) {
    if (rig_ != nullptr) rig_->Open({state_.RigModel, state_.RigPort, state_.RigRate});
    return;
  }
  const auto profile = LineProfileFor(model);
  if (!profile) return;
  link_.OpenSerialPort(*profile);
  Send(BuildPrepare(state_, model));
  if (model == kModelIcPcr100) SetReceiverVolume(state_.TrackBar2.position);
}

bool ReceiverController::RestartOnPort(const std::string& path) {
  const auto profile = LineProfileFor(state_.RadioModel);
  if (!profile || !link_.ReopenSerialPort(path, *profile)) return false;
  Send(BuildPrepare(state_, state_.RadioModel));
  if (state_.RadioModel == kModelIcPcr100) SetReceiverVolume(state_.TrackBar2.position);
  return true;
}

void ReceiverController::ReleaseReceiver() {
  if (state_.RadioModel == kModelHamlib) {
    if (rig_ != nullptr) rig_->Close();
    return;
  }
  Send(BuildRelease(state_.RadioModel));
}

void ReceiverController::ComboBox1Change(int newIndex) {
  ReleaseReceiver();
  link_.CloseSerialPort();
  state_.RadioModel = newIndex;
  StartReceiver();
  UpdateEdit5();
}

void ReceiverController::ComboBox2Change(int newIndex) {
  ReleaseReceiver();
  link_.CloseSerialPort();
  state_.ComPortIndex = newIndex;
  StartReceiver();
}

void ReceiverController::UpdateEdit5() {
  state_.Edit5.enabled = state_.RadioModel == kModelIcomCiv;
  state_.RigBoxesShown = state_.RadioModel == kModelHamlib;
}

void ReceiverController::RigSettingsChange() {
  if (state_.RadioModel != kModelHamlib) return;
  ReleaseReceiver();
  StartReceiver();
}

std::vector<RigFailure> ReceiverController::TakeRigReports() {
  if (rig_ == nullptr) return {};
  std::vector<RigFailure> reports = rig_->TakeFailures();
  for (const RigFailure& failure : reports) {
    if (failure.kind != RigFailure::Kind::kOpen) continue;
    services_.notice->Beep();
    services_.notice->ShowError(SerialOpenFailureText(SerialOpenStep::kOpen));
  }
  return reports;
}

void ReceiverController::ReleaseOnFormClose() {
  // "ICOM(PCR)" alone keeps whatever volume tracking left it at.
  if (state_.RadioModel != kModelIcomPcr) SetReceiverVolume(state_.TrackBar2.position);
  ReleaseReceiver();
}

void ReceiverController::Send(const CommandList& commands) {
  for (const SerialCommand& command : commands) {
    switch (command.kind) {
      case SerialCommand::Kind::kBytes:
        link_.WriteSerialBytes(command.data);
        break;
      case SerialCommand::Kind::kText:
        link_.WriteSerialText(command.data, command.keyIntervalMs);
        break;
      case SerialCommand::Kind::kLineRate:
        link_.SetLineRate(command.value);
        break;
      case SerialCommand::Kind::kPause:
        services_.clock->SleepMs(command.value);
        break;
    }
  }
}

}  // namespace tarvo
