// A serial device in memory: logs opens, rate changes, closes and the bytes written, and can be
// told to fail an opening step, report a full output queue, or be unplugged after some bytes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/radio/serial_device.h"

namespace tarvo::testing {

class FakeSerialDevice : public SerialDevice {
 public:
  std::vector<SerialPort> ListPorts() override { return ports; }
  SerialOpenStep Open(const std::string& path, int profile) override;
  bool SetLineRate(int baud) override;
  int OutputQueueCount() override;
  SerialWrite WriteByte(std::uint8_t byte) override;
  void Close() override;

  // Everything written since the start, in order.
  const std::string& Written() const { return written_; }
  // Forgets the log and the bytes written so far.
  void ClearLog() {
    log.clear();
    written_.clear();
  }

  std::vector<SerialPort> ports;
  // The step the next opens fail at; an empty path always fails to open.
  SerialOpenStep failAt = SerialOpenStep::kDone;
  // Output-queue counts the next polls report, then queueCount for ever.
  std::deque<int> queueScript;
  int queueCount = 0;
  // After this many bytes the device is gone: every later poll and write fails. -1: never.
  int unplugAfterBytes = -1;
  std::function<void(std::uint8_t)> onWrite;

  // "<open /dev/ttyUSB0 1>", "<rate 38400>", "<close>", and the bytes written between events.
  std::vector<std::string> log;
  bool open = false;
  int polls = 0;
  int bytesWritten = 0;

 private:
  void Event(std::string text);

  std::string written_;
  bool lastWasWrite_ = false;
};

}  // namespace tarvo::testing
