// The receiver's serial port on a POSIX terminal device: ports found by probing device nodes
// with an exclusive open, line profiles applied through termios, bytes written without blocking.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/radio/serial_device.h"

struct termios;

namespace tarvo {

class TermiosSerialDevice : public SerialDevice {
 public:
  // Probes /dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*.
  TermiosSerialDevice();
  // Probes folder/<family><n> for each family in turn, n from 0 to 255.
  TermiosSerialDevice(std::filesystem::path folder, std::vector<std::string> families);
  ~TermiosSerialDevice() override;
  TermiosSerialDevice(const TermiosSerialDevice&) = delete;
  TermiosSerialDevice& operator=(const TermiosSerialDevice&) = delete;

  std::vector<SerialPort> ListPorts() override;
  SerialOpenStep Open(const std::string& path, int profile) override;
  bool SetLineRate(int baud) override;
  int OutputQueueCount() override;
  SerialWrite WriteByte(std::uint8_t byte) override;
  void Close() override;
  bool LineLost() override;
  // The link under folder (/dev/serial/by-id unless set) that points at path, else path.
  std::string StableName(const std::string& path) override;
  void SetStableNameFolder(std::filesystem::path folder) { byIdFolder_ = std::move(folder); }

 private:
  std::filesystem::path folder_;
  std::vector<std::string> families_;
  std::filesystem::path byIdFolder_ = "/dev/serial/by-id";
  int fd_ = -1;
  // The line settings last written, kept so a rate change alters nothing else.
  std::unique_ptr<termios> settings_;
};

}  // namespace tarvo
