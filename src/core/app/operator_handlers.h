// The operator's tracking controls on the main window: tracking and monitor switches, forced
// standby, decoder choice, ID controls, the two return timers and the window switches.
#pragma once

#include "core/base/main_state.h"
#include "core/base/services.h"

namespace tarvo {

class OperatorHandlers {
 public:
  OperatorHandlers(MainState& state, Services services);

  // Toggle and check handlers take the control's new state.
  void SpeedButton1Click(bool down);   // tracking
  void SpeedButton2Click(bool down);   // monitor
  void Button3Click();                 // forced standby
  void CheckBox3Click(bool checked);   // invert
  void CheckBox15Click(bool checked);  // ID-specific reception
  void Button7Click();                 // add Edit2 to the pass list
  void Button8Click();                 // empty the pass list
  void Edit3Click();
  void Edit4Click();
  void Edit3DblClick();
  void Edit4DblClick();
  void RadioButton3Click();           // McAccess selected
  void RadioButton4Click();           // JSMR selected
  void Timer1Timer();                 // signal-loss watchdog
  void Timer2Timer();                 // call-time limit
  void CheckBox1Click(bool checked);  // always on top
  void Button5Click();                // compact / full height

 private:
  // Timers stopped, back on the control channel, grid and JSMR state for the selected decoder,
  // re-tuned; the receiver muted with "RADIO" output.
  void SwitchTrackingOn(const char* reason);
  void DecoderSwitch();
  // Tunes to ControlFrequencyText; false (after the conversion error) when it is not a number.
  bool TuneToControlChannel();
  // Whether ControlFrequencyText is a number; shows the conversion error when not.
  bool ControlFrequencyParses();
  void RestoreReceiverVolume();
  // The followed line (if any) given up for the control channel, as an event.
  void ReportReturn(const char* reason, bool tuned = true);

  MainState& state_;
  Services services_;
};

}  // namespace tarvo
