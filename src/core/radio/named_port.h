// A serial device narrowed to one port given by its path, for programs told which port to use
// instead of choosing from the list.
#pragma once

#include <string>
#include <vector>

#include "core/radio/serial_device.h"

namespace tarvo {

class NamedPort : public SerialDevice {
 public:
  NamedPort(SerialDevice& device, std::string path) : device_(device), path_(std::move(path)) {}
  std::vector<SerialPort> ListPorts() override { return {{path_, path_}}; }
  SerialOpenStep Open(const std::string& path, int profile) override {
    return device_.Open(path, profile);
  }
  bool SetLineRate(int baud) override { return device_.SetLineRate(baud); }
  int OutputQueueCount() override { return device_.OutputQueueCount(); }
  SerialWrite WriteByte(std::uint8_t byte) override { return device_.WriteByte(byte); }
  void Close() override { device_.Close(); }
  bool LineLost() override { return device_.LineLost(); }
  std::string StableName(const std::string& path) override { return device_.StableName(path); }

 private:
  SerialDevice& device_;
  std::string path_;
};

}  // namespace tarvo
