// The receiver as the decoders and handlers command it.
#pragma once

#include <string>

namespace tarvo {

class Receiver {
 public:
  virtual ~Receiver() = default;
  // frequencyText is megahertz with five decimals ("851.01250"); model is the model index.
  virtual void TuneReceiver(const std::string& frequencyText, int model) = 0;
  // level 0..255; 0 mutes.
  virtual void SetReceiverVolume(int level) = 0;
};

}  // namespace tarvo
