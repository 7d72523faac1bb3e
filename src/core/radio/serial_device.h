// The serial port as the link drives it: list the ports, open one with a line profile, change
// its rate, read its output-queue count, write one byte, close. Termios in the program, fakes in
// tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

struct SerialPort {
  std::string name;  // as the port list shows it: "ttyUSB0"
  std::string path;  // what Open takes: "/dev/ttyUSB0"
};

// The step of opening that failed; each has its own message for the operator.
enum class SerialOpenStep {
  kDone,
  kOpen,
  kReadSettings,
  kBadProfile,  // no such line profile: the port stays open, nobody is told
  kWriteSettings,
  kLineControl,
  kReadTimeouts,
  kWriteTimeouts,
};

enum class SerialWrite { kWritten, kWouldBlock, kFailed };

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // The ports that can be opened exclusively now, in increasing number.
  virtual std::vector<SerialPort> ListPorts() = 0;
  // Opens path and applies line profile 0..3. After a failure at a later step than kOpen the
  // port stays open.
  virtual SerialOpenStep Open(const std::string& path, int profile) = 0;
  virtual bool SetLineRate(int baud) = 0;
  // Bytes waiting in the output queue; negative when the port cannot tell (closed, unplugged).
  virtual int OutputQueueCount() = 0;
  // Never blocks: kWouldBlock when the driver has no room for the byte now.
  virtual SerialWrite WriteByte(std::uint8_t byte) = 0;
  virtual void Close() = 0;

  // Whether the open port has hung up or failed (an adapter pulled out); false when closed.
  virtual bool LineLost() { return false; }
  // A name for the port that survives its coming back under another node (a USB adapter plugged
  // in again), when the system keeps one; else path itself.
  virtual std::string StableName(const std::string& path) { return path; }
};

}  // namespace tarvo
