// The one way to the receiver: turns tune and level requests into the selected model's commands,
// opens, prepares and releases the receiver, and handles the model and port lists.
#pragma once

#include <string>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/radio/receiver.h"
#include "core/radio/serial_command.h"
#include "core/radio/serial_link.h"

namespace tarvo {

inline constexpr int kTuneSettleBlocks = 6;

class ReceiverController : public Receiver {
 public:
  ReceiverController(MainState& state, SerialLink& link, Services services);

  void TuneReceiver(const std::string& frequencyText, int model) override;
  void SetReceiverVolume(int level) override;

  // Opens the port for RadioModel and prepares the receiver; IC-PCR100 then gets the TrackBar2
  // volume. The preparation is written even when the port failed to open.
  void StartReceiver();
  void ReleaseReceiver();

  // Handlers of the model list (ComboBox1) and the port list (ComboBox2).
  void ComboBox1Change(int newIndex);
  void ComboBox2Change(int newIndex);

  // Edit5 (the CI-V address) is editable only while "ICOM(CIV)" is selected.
  void UpdateEdit5();

  // The receiver's part of closing the main window, before the settings are saved: the RADIO
  // volume back (not for "ICOM(PCR)"), then the release command. The port stays open.
  void ReleaseOnFormClose();

 private:
  void Send(const CommandList& commands);

  MainState& state_;
  SerialLink& link_;
  Services services_;
};

}  // namespace tarvo
