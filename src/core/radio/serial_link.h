// The one serial link to the receiver: keeps the port list, opens the chosen port with a line
// profile and tells the operator when that fails, and writes commands a byte at a time while the
// window keeps working.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/radio/serial_device.h"

namespace tarvo {

// Sees every command the link writes, for tools that show what went out.
class SerialTrace {
 public:
  virtual ~SerialTrace() = default;
  // bytesWritten < command.size() when the link gave up on the rest.
  virtual void CommandWritten(std::string_view command, std::size_t bytesWritten) = 0;
  virtual void LineRateSet(int baud) = 0;
};

// The driver's queue is taken to hold 260 bytes; a byte goes out while fewer than 259 wait.
inline constexpr int kOutputQueueRoom = 260;
inline constexpr int kTextLimit = 1001;
// How long one byte may wait for room: 200 ms per byte plus 10 s.
inline constexpr int kByteWriteTimeoutMs = 200 + 10000;

class SerialLink {
 public:
  SerialLink(SerialDevice& device, MainState& state, Services services,
             int byteWriteTimeoutMs = kByteWriteTimeoutMs);

  // Fills ComboBox2Items with the ports that open; keeps their paths.
  void ListSerialPorts();
  // Opens the port at ComPortIndex (none when the index names no entry). Beeps and shows the
  // failed step's message; true when every step succeeded.
  bool OpenSerialPort(int profile);
  void SetLineRate(int baud);
  void WriteSerialBytes(std::string_view bytes);
  // At most kTextLimit characters; sleeps keyIntervalMs before each one when it is above 0.
  void WriteSerialText(std::string_view text, int keyIntervalMs = 0);
  void CloseSerialPort();

  // True once a command gave up: the port took no byte for the whole write bound, or the device
  // failed. Every later command is then dropped at once, without waiting out its own bound,
  // until the port is opened again (or the state is cleared by whoever re-opens it).
  bool PortLost() const { return portLost_; }
  // Marks the port lost when the device reports a hang-up; true when it is lost.
  bool CheckPortLost();
  // Opens path again after a loss, quietly: the supervisor retries until it works.
  bool ReopenSerialPort(const std::string& path, int profile);
  // The path of the port last opened; empty when none opened.
  const std::string& OpenedPath() const { return openedPath_; }
  SerialDevice& Device() { return device_; }
  void ClearPortLost() { portLost_ = false; }

  const std::vector<SerialPort>& Ports() const { return ports_; }
  void SetTrace(SerialTrace* trace) { trace_ = trace; }

 private:
  void Write(std::string_view command, int keyIntervalMs);
  bool WritePacedByte(std::uint8_t byte);

  SerialDevice& device_;
  MainState& state_;
  Services services_;
  int byteWriteTimeoutMs_;
  std::vector<SerialPort> ports_;
  SerialTrace* trace_ = nullptr;
  bool portLost_ = false;
  std::string openedPath_;
};

// The operator's message for a failed opening step; empty for a step that is not reported.
std::string SerialOpenFailureText(SerialOpenStep step);

}  // namespace tarvo
