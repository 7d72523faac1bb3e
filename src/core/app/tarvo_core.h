// The program's composition root: owns the run-time state, the fixed filter designs and every
// core part, wires them to the platform's seams, and runs start-up and shutdown in order.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "core/app/call_history.h"
#include "core/app/call_log.h"
#include "core/app/file_locations.h"
#include "core/app/null_services.h"
#include "core/app/operator_handlers.h"
#include "core/audio/capture_front_end.h"
#include "core/audio/monitor_routing.h"
#include "core/audio/sound_path.h"
#include "core/base/decode_health.h"
#include "core/base/interval_timer.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/base/tracking_events.h"
#include "core/decode/demodulator_choice.h"
#include "core/decode/eye_pattern.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_interpreter.h"
#include "core/decode/jsmr_robust_demodulator.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_interpreter.h"
#include "core/decode/mcaccess_robust_demodulator.h"
#include "core/dialogs/cp932_decoder.h"
#include "core/dialogs/frequency_selection.h"
#include "core/dsp/filter_designs.h"
#include "core/radio/receiver_controller.h"
#include "core/radio/receiver_supervisor.h"
#include "core/radio/receiver_tee.h"
#include "core/radio/rig_device.h"
#include "core/radio/rig_worker.h"
#include "core/radio/serial_device.h"
#include "core/radio/serial_link.h"

namespace tarvo {

class Notice;
class EventPump;
class Clock;

// What the program (or a test) hands in from outside.
struct Platform {
  Notice* notice = nullptr;
  EventPump* pump = nullptr;
  Clock* clock = nullptr;
  TimerDriver* timer1 = nullptr;
  TimerDriver* timer2 = nullptr;
  // Paces the watch over the sound input (SoundWatchTimer); without it, or without a capture
  // device, a recording that dies stays dead.
  TimerDriver* soundWatch = nullptr;
  FileLocations files;  // the settings file, the frequency lists, the call log
  // Runs once the settings are read, before anything is derived from them or opened.
  std::function<void(MainState&)> afterSettingsLoaded = [](MainState&) {};
  std::function<void()> raisePriority = [] {};
  // The receiver's serial port; without it the receiver's commands go nowhere.
  SerialDevice* serialDevice = nullptr;
  // The "Hamlib" model's rig; without it that model never opens. Its calls run on a worker
  // thread, which calls rigReportReady after a failure: the program then has OnRigReport run
  // on the window thread.
  RigDevice* rigDevice = nullptr;
  std::function<void()> rigReportReady;
  // Handed in, these replace the parts the core would use (tests, tools). A receiver handed in
  // takes the tune and volume requests of the decoders and controls; opening, releasing and the
  // model and port lists stay with the receiver controller.
  Receiver* receiver = nullptr;
  // Hears every tune and level the receiver is sent, after the receiver (the demo's air).
  Receiver* receiverTap = nullptr;
  MonitorSink* monitor = nullptr;
  // Reads frequency lists written on the original platform; without it they show mangled.
  Cp932Decoder* cp932 = nullptr;
  // The sound card; without them the program runs silent.
  CaptureDevice* capture = nullptr;
  SoundOutputDevice* soundOutput = nullptr;
  // Whether the call log (files.callLog) is written.
  bool writeCallLog = true;
};

class TarvoCore {
 public:
  // Builds the parts; Start() brings them up.
  explicit TarvoCore(Platform platform);
  TarvoCore(const TarvoCore&) = delete;
  TarvoCore& operator=(const TarvoCore&) = delete;

  // Start-up after the window is built: settings, derived state, receiver, sound, priority.
  void Start();
  // Shutdown, first stage: the settings, then receiver volume and release. False when the
  // settings could not be written: the window stays open and the receiver is left as it is.
  bool FormClose();
  // Shutdown, second stage: sound input, sound output, serial port.
  void FormDestroy();
  // The receiver's part of closing, for a program that keeps no settings: the RADIO volume back
  // (not for "ICOM(PCR)"), then the release command.
  void ReleaseReceiverOnClose();

  // Whether the sound input opened (at start or in the device dialog).
  bool CaptureOpen() { return sound_.Capture().IsOpen(); }
  // The sound input should be recording but is not: it is tried again every 2 s.
  bool SoundInputLost() { return sound_.Capture().Lost(); }
  // On the window thread, at each tick of the platform's soundWatch timer. When the input comes
  // back, the monitor output is opened again too.
  void SoundWatchTimer();

  // Handlers of controls whose parts live elsewhere (monitor output, receiver controller); the
  // view has already stored the control's new value in the state.
  void RadioButton1Click();  // "WAVE" or "RADIO" chosen
  void TrackBar2Change();    // receiver volume
  void TrackBar3Change();    // monitor gain
  void TrackBar4Change();    // tone threshold
  void ComboBox1Change(int index);
  void ComboBox2Change(int index);
  // The rig number or port boxes were edited (the view has stored the values in the state).
  void RigSettingsChange();
  // On the window thread, after the platform's rigReportReady.
  void OnRigReport();

  // On the window thread, once per block the capture device announced.
  void OnBlockReady() { sound_.OnBlockReady(); }
  // What the device dialog re-opens.
  SoundDeviceControl& SoundDevicesControl() { return sound_.Devices(); }

  // The view repaints from the state after every processed block.
  void SetBlockListener(std::function<void()> listener) { blockListener_ = std::move(listener); }

  MainState& State() { return state_; }
  OperatorHandlers& Handlers() { return handlers_; }
  const FilterDesigns& Designs() const { return designs_; }
  const Services& GetServices() const { return services_; }
  const std::filesystem::path& SettingsPath() const { return platform_.files.settings; }
  const FileLocations& Files() const { return platform_.files; }
  McAccessInterpreter& McAccess() { return mcaccessInterpreter_; }
  JsmrInterpreter& Jsmr() { return jsmrInterpreter_; }
  // What the capture front-end hands each block to while JSMR is selected (the exact or the
  // robust demodulator, as State().Demod says).
  BlockDecoder& JsmrDecoder() { return jsmrChoice_; }
  // The frequency window and the eye-pattern window, as their views drive them.
  FrequencySelection& FrequencyWindow() { return frequencyWindow_; }
  EyePattern& Eye() { return eye_; }
  // Every tracking decision; more sinks (standard output, a message broker) may listen.
  TrackingEvents& Events() { return events_; }
  const DecodeHealth& Health() const { return health_; }
  CallHistory& History() { return history_; }
  const std::filesystem::path& CallLogPath() const { return platform_.files.callLog; }

 private:
  Services MakeServices();
  void DeriveStartState();

  Platform platform_;
  MainState state_;
  FilterDesigns designs_;
  TrackingEvents events_;
  DecodeHealth health_{&events_};
  CallLog callLog_;

  // Stand-ins for the parts the platform did not hand in.
  NullSerialDevice nullSerial_;
  NullRigDevice nullRig_;
  SilentCaptureDevice silentCapture_;
  SilentOutputDevice silentOutput_;
  EyePattern eye_;
  SoundPath sound_;  // before the services, which name its monitor output
  SerialLink link_;
  RigWorker rig_;  // ends after the controller, carrying out the exit volume and the close
  ReceiverController controller_;  // before the services, which name it as the receiver
  std::optional<ReceiverTee> tappedReceiver_;

  Services services_;  // complete before any part below is built
  ReceiverSupervisor supervisor_;
  FrequencySelection frequencyWindow_;
  OperatorHandlers handlers_;
  McAccessInterpreter mcaccessInterpreter_;
  JsmrInterpreter jsmrInterpreter_;
  JsmrDemodulator jsmrDemodulator_;  // after its interpreter, which it feeds
  McAccessDemodulator mcaccessDemodulator_;
  JsmrRobustDemodulator jsmrRobustDemodulator_;
  McAccessRobustDemodulator mcaccessRobustDemodulator_;
  DemodulatorChoice mcaccessChoice_;
  DemodulatorChoice jsmrChoice_;
  CaptureFrontEnd frontEnd_;
  MonitorRouting routing_;
  CallHistory history_;
  IntervalTimer soundWatch_;
  std::function<void()> blockListener_ = [] {};
};

}  // namespace tarvo
