// A receiver that passes every request to the real one and then to a listener that wants to know
// where the receiver is (the demo's simulated air).
#pragma once

#include "core/radio/receiver.h"

namespace tarvo {

class ReceiverTee : public Receiver {
 public:
  ReceiverTee(Receiver& first, Receiver& second) : first_(first), second_(second) {}
  void TuneReceiver(const std::string& frequencyText, int model) override {
    first_.TuneReceiver(frequencyText, model);
    second_.TuneReceiver(frequencyText, model);
  }
  void SetReceiverVolume(int level) override {
    first_.SetReceiverVolume(level);
    second_.SetReceiverVolume(level);
  }

 private:
  Receiver& first_;
  Receiver& second_;
};

}  // namespace tarvo
