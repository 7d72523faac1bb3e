// The simulated receiver's serial port: listed as "demo", opens with any line profile and takes
// every byte. What the receiver is told reaches the simulated air through the receiver tap.
#pragma once

#include "core/radio/serial_device.h"

namespace tarvo::sim {

class SimulatedSerialPort : public SerialDevice {
 public:
  std::vector<SerialPort> ListPorts() override { return {{"demo", "demo"}}; }
  SerialOpenStep Open(const std::string&, int) override { return SerialOpenStep::kDone; }
  bool SetLineRate(int) override { return true; }
  int OutputQueueCount() override { return 0; }
  SerialWrite WriteByte(std::uint8_t) override { return SerialWrite::kWritten; }
  void Close() override {}
};

}  // namespace tarvo::sim
