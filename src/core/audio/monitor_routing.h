// The handlers of the audio-output group: WAVE/RADIO routing, receiver volume, monitor gain,
// and the tone-detection slider.
#pragma once

#include "core/base/main_state.h"
#include "core/base/services.h"

namespace tarvo {

class MonitorRouting {
 public:
  MonitorRouting(MainState& state, Services services) : state_(state), services_(services) {}

  // Called after the view has checked RadioButton1 ("WAVE"), i.e. WaveOutput is true.
  void RadioButton1Click();
  // Called after the view has checked RadioButton2 ("RADIO"), i.e. WaveOutput is false.
  void RadioButton2Click();
  // Each called after the view has stored the new slider position.
  void TrackBar2Change();
  void TrackBar3Change();
  void TrackBar4Change();
  // The WAVE controls usable only with WAVE, the receiver volume only with RADIO; also at start.
  void EnableControlsForRouting();

 private:
  bool AudioActive() const;

  MainState& state_;
  Services services_;
};

}  // namespace tarvo
