// The one way to the receiver: turns tune and level requests into the selected model's commands,
// opens, prepares and releases the receiver, and handles the model and port lists.
#pragma once

#include <string>
#include <vector>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/radio/receiver.h"
#include "core/radio/rig_worker.h"
#include "core/radio/serial_command.h"
#include "core/radio/serial_link.h"

namespace tarvo {

inline constexpr int kTuneSettleBlocks = 6;

class ReceiverController : public Receiver {
 public:
  // rig carries the "Hamlib" model's requests; without it that model does nothing.
  ReceiverController(MainState& state, SerialLink& link, Services services,
                     RigWorker* rig = nullptr);

  void TuneReceiver(const std::string& frequencyText, int model) override;
  void SetReceiverVolume(int level) override;

  // Opens the port for RadioModel and prepares the receiver; IC-PCR100 then gets the TrackBar2
  // volume. The preparation is written even when the port failed to open.
  void StartReceiver();
  void ReleaseReceiver();
  // After the port came back: opens it at path with the model's line profile and sends the
  // model's start sequence again. False (and nothing said) when it does not open yet.
  bool RestartOnPort(const std::string& path);

  // Handlers of the model list (ComboBox1) and the port list (ComboBox2).
  void ComboBox1Change(int newIndex);
  void ComboBox2Change(int newIndex);

  // Edit5 (the CI-V address) is editable only while "ICOM(CIV)" is selected; the rig boxes
  // stand in for it and the port list while "Hamlib" is.
  void UpdateEdit5();

  // The rig number or port was edited: with "Hamlib" selected the rig is released and
  // opened again there.
  void RigSettingsChange();
  // On the window thread: shows a rig that did not open (once) and hands every report on.
  std::vector<RigFailure> TakeRigReports();

  // The receiver's part of closing the main window, before the settings are saved: the RADIO
  // volume back (not for "ICOM(PCR)"), then the release command. The port stays open.
  void ReleaseOnFormClose();

 private:
  void Send(const CommandList& commands);

  MainState& state_;
  SerialLink& link_;
  Services services_;
  RigWorker* rig_;
};

}  // namespace tarvo
