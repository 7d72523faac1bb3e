// A receiver reached through a rig-control library rather than our own command sets: open by
// rig number and port, set FM, tune in hertz, set the AF level, close. Every call may block
// (a network rig that vanished), so only the rig worker calls it, never the window thread.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// Which rig and where: the library's rig number, a device path or "host:port", and the serial
// line rate (0 leaves the rig's own default).
struct RigTarget {
  int rig = 2;
  std::string port = "localhost:4532";
  int rate = 0;
};

class RigDevice {
 public:
  virtual ~RigDevice() = default;
  virtual bool Open(const RigTarget& target) = 0;
  // FM where the rig has it; true also when it has no FM to set.
  virtual bool SetModeFm() = 0;
  virtual bool SetFrequency(std::int64_t hertz) = 0;
  // level 0..1; true also when the rig has no AF level to set.
  virtual bool SetVolume(double level) = 0;
  virtual void Close() = 0;
  // Why the last call failed, in the library's words.
  virtual std::string LastError() const = 0;
};

}  // namespace tarvo
