#include "core/app/tarvo_core.h"

#include <cmath>

#include "core/app/settings.h"
#include "core/base/control_frequency.h"
#include "core/base/event_pump.h"

namespace tarvo {
namespace {

// What the sound path uses: the operator's messages and the events for a lost input.
Services SoundServices(Notice* notice, TrackingEvents* events) {
  Services s;
  s.notice = notice;
  s.events = events;
  return s;
}

// What the serial link and the receiver controller use: the operator's messages, the event pump
// between bytes and the clock for pacing and pauses.
Services LinkServices(const Platform& platform) {
  Services s;
  s.notice = platform.notice;
  s.pump = platform.pump;
  s.clock = platform.clock;
  return s;
}

}  // namespace

TarvoCore::TarvoCore(Platform platform)
    : platform_(std::move(platform)),
      designs_(ComputeFilterDesigns()),
      events_(platform_.clock),
      callLog_(platform_.files.callLog, platform_.notice),
      eye_(state_),
      sound_(state_, designs_, SoundServices(platform_.notice, &events_),
             platform_.capture != nullptr ? *platform_.capture : silentCapture_,
             platform_.soundOutput != nullptr ? *platform_.soundOutput : silentOutput_,
             [this](const std::int16_t* frames, int count) {
               frontEnd_.ProcessInputBlock(frames, count);
               health_.BlockDone(state_);
               supervisor_.Tick();
               blockListener_();
             }),
      link_(platform_.serialDevice != nullptr ? *platform_.serialDevice : nullSerial_, state_,
            LinkServices(platform_)),
      rig_(platform_.rigDevice != nullptr ? *platform_.rigDevice : nullRig_,
           platform_.rigReportReady),
      controller_(state_, link_, LinkServices(platform_), &rig_),
      services_(MakeServices()),
      supervisor_(state_, link_, controller_, services_),
      frequencyWindow_(state_, services_, platform_.cp932),
      handlers_(state_, services_),
      mcaccessInterpreter_(state_, services_),
      jsmrInterpreter_(state_, designs_, services_),
      jsmrDemodulator_(state_, designs_, services_, jsmrInterpreter_),
      mcaccessDemodulator_(state_, designs_, services_, mcaccessInterpreter_),
      jsmrRobustDemodulator_(state_, services_, jsmrInterpreter_),
      mcaccessRobustDemodulator_(state_, designs_, services_, mcaccessInterpreter_),
      mcaccessChoice_(state_, mcaccessDemodulator_, mcaccessRobustDemodulator_),
      jsmrChoice_(state_, jsmrDemodulator_, jsmrRobustDemodulator_),
      frontEnd_(state_, designs_, mcaccessChoice_, jsmrChoice_),
      routing_(state_, services_),
      history_(state_, handlers_, health_) {
  if (platform_.writeCallLog) events_.AddSink(&callLog_);
  events_.AddSink(&history_);
  state_.Timer1.SetDriver(platform_.timer1);
  state_.Timer2.SetDriver(platform_.timer2);
  if (platform_.capture != nullptr) soundWatch_.SetDriver(platform_.soundWatch);
}

Services TarvoCore::MakeServices() {
  Services s;
  s.receiver = platform_.receiver != nullptr ? platform_.receiver : &controller_;
  if (platform_.receiverTap != nullptr) {
    tappedReceiver_.emplace(*s.receiver, *platform_.receiverTap);
    s.receiver = &*tappedReceiver_;
  }
  s.monitor = platform_.monitor != nullptr ? platform_.monitor : &sound_.Monitor();
  s.eye = &eye_;
  s.heardLines = &frequencyWindow_;
  s.pump = platform_.pump;
  s.notice = platform_.notice;
  s.clock = platform_.clock;
  s.events = &events_;
  s.health = &health_;
  return s;
}

void TarvoCore::Start() {
  state_.TuneSettleBlocks = 0;
  state_.RadioBusy = false;
  LoadSettings(state_, platform_.files.settings, *platform_.notice);
  platform_.afterSettingsLoaded(state_);
  DeriveStartState();
  // Serial ports, then the receiver on the chosen port.
  link_.ListSerialPorts();
  platform_.pump->ProcessPendingEvents();
  controller_.StartReceiver();
  supervisor_.Watch();
  sound_.Devices().SelectCaptureRate();
  sound_.Devices().OpenMonitorOutput();
  sound_.Devices().OpenCaptureInput();
  soundWatch_.SetInterval(kCaptureWatchMs);
  platform_.raisePriority();
  state_.FormHeight = kCompactHeight;
}

void TarvoCore::DeriveStartState() {
  controller_.UpdateEdit5();
  state_.DecoderPolarity = state_.CheckBox3.checked ? -1.0 : 1.0;
  // LoadSettings has made sure the text is a number.
  DeriveChannelGrid(state_, state_.ControlFrequencyText);
  state_.ControlFrequency = MegahertzValue(state_.ControlFrequencyText).value_or(850.0);
  state_.FreqListPath = platform_.files.freqList.string();
  state_.ShippedFreqListPaths.clear();
  for (const auto& shipped : platform_.files.shippedFreqLists) {
    state_.ShippedFreqListPaths.push_back(shipped.string());
  }
  TrackBar4Change();
  TrackBar3Change();
  state_.VoiceDetected = false;
  state_.CallAudioOpen = false;
  state_.CallAudioClosed = true;
  state_.OnControlChannel = true;
  state_.CheckBox3.enabled = !state_.McAccessSelected();
  routing_.EnableControlsForRouting();
}

void TarvoCore::RadioButton1Click() {
  if (state_.WaveOutput) {
    routing_.RadioButton1Click();
  } else {
    routing_.RadioButton2Click();
  }
}

void TarvoCore::TrackBar2Change() {
  routing_.TrackBar2Change();
}

void TarvoCore::TrackBar3Change() {
  routing_.TrackBar3Change();
}

void TarvoCore::TrackBar4Change() {
  routing_.TrackBar4Change();
}

void TarvoCore::ComboBox1Change(int index) {
  controller_.ComboBox1Change(index);
  supervisor_.Watch();
}

void TarvoCore::ComboBox2Change(int index) {
  controller_.ComboBox2Change(index);
  supervisor_.Watch();
}

void TarvoCore::RigSettingsChange() {
  controller_.RigSettingsChange();
}

void TarvoCore::OnRigReport() {
  supervisor_.OnRigReports(controller_.TakeRigReports());
}

bool TarvoCore::FormClose() {
  // Settings first: a refused save keeps the window open with the receiver still following, and
  // a repeated close does not send the release again.
  if (!SaveSettings(state_, platform_.files.settings, *platform_.notice)) return false;
  ReleaseReceiverOnClose();
  return true;
}

void TarvoCore::ReleaseReceiverOnClose() {
  controller_.ReleaseOnFormClose();
}

void TarvoCore::SoundWatchTimer() {
  if (!sound_.Capture().Supervise()) return;
  // A sound server that went away took the monitor output with it: open that again as well.
  if (!sound_.Capture().Lost() && sound_.Monitor().IsOpen()) {
    sound_.Devices().CloseMonitorOutput();
    sound_.Devices().OpenMonitorOutput();
  }
  blockListener_();
}

void TarvoCore::FormDestroy() {
  soundWatch_.SetInterval(0);
  sound_.Devices().CloseCaptureInput();
  sound_.Devices().CloseMonitorOutput();
  link_.CloseSerialPort();
}

}  // namespace tarvo
