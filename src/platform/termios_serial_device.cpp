#include "platform/termios_serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include "core/radio/receiver_model.h"
#include "platform/termios_line_settings.h"

namespace tarvo {
namespace {

// Long enough for a full 260-byte queue at 9600 baud with two stop bits (about 300 ms).
constexpr int kDrainLimitMs = 500;
constexpr int kHighestPortNumber = 255;

// Opens a port for this program alone, or returns -1. Root passes TIOCEXCL, so the lock is what
// keeps a second Tarvo (or any program that locks the same way) off the port.
int OpenExclusive(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  // Fails on a node that is no terminal; reading its settings reports that.
  ioctl(fd, TIOCEXCL);
  return fd;
}

void Release(int fd) {
  // A pseudo-terminal keeps the exclusive flag while its other side lives.
  ioctl(fd, TIOCNXCL);
  close(fd);
}

// Whether the driver has sent everything; a port that cannot tell counts as empty.
bool OutputEmpty(int fd) {
  int waiting = 0;
  if (ioctl(fd, TIOCOUTQ, &waiting) != 0) return true;
  if (waiting > 0) return false;
#ifdef TIOCSERGETLSR
  // UART drivers also tell whether the last byte has left the shift register.
  int status = 0;
  if (ioctl(fd, TIOCSERGETLSR, &status) == 0) return (status & TIOCSER_TEMT) != 0;
#endif
  return true;
}

// Waits for the output to drain, polling, for at most limitMs; tcdrain could wait for ever on a
// stuck line. True when it drained.
bool WaitForEmptyOutput(int fd, int limitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!OutputEmpty(fd)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    poll(nullptr, 0, 2);
  }
  return true;
}

// Raises RTS and DTR for the receiver's interface, which may draw its power from them. A device
// without modem lines (a pseudo-terminal) has nothing to raise.
bool RaiseModemLines(int fd) {
  int lines = TIOCM_RTS | TIOCM_DTR;
  if (ioctl(fd, TIOCMBIS, &lines) == 0) return true;
  return errno == ENOTTY || errno == EINVAL;
}

}  // namespace

TermiosSerialDevice::TermiosSerialDevice()
    : TermiosSerialDevice("/dev", {"ttyS", "ttyUSB", "ttyACM"}) {}

TermiosSerialDevice::TermiosSerialDevice(std::filesystem::path folder,
                                         std::vector<std::string> families)
    : folder_(std::move(folder)),
      families_(std::move(families)),
      settings_(std::make_unique<termios>()) {}

TermiosSerialDevice::~TermiosSerialDevice() {
  Close();
}

std::vector<SerialPort> TermiosSerialDevice::ListPorts() {
  std::vector<SerialPort> ports;
  for (const std::string& family : families_) {
    for (int n = 0; n <= kHighestPortNumber; ++n) {
      SerialPort port;
      port.name = family + std::to_string(n);
      port.path = (folder_ / port.name).string();
      struct stat node {};
      if (stat(port.path.c_str(), &node) != 0 || !S_ISCHR(node.st_mode)) continue;
      const int fd = OpenExclusive(port.path);
      if (fd < 0) continue;
      Release(fd);
      ports.push_back(std::move(port));
    }
  }
  return ports;
}

SerialOpenStep TermiosSerialDevice::Open(const std::string& path, int profile) {
  Close();
  if (path.empty()) return SerialOpenStep::kOpen;
  fd_ = OpenExclusive(path);
  if (fd_ < 0) return SerialOpenStep::kOpen;
  if (tcgetattr(fd_, settings_.get()) != 0) return SerialOpenStep::kReadSettings;
  const std::optional<LineSettings> line = LineProfileSettings(profile);
  if (!line) return SerialOpenStep::kBadProfile;
  termios next = *settings_;
  if (!ApplyLineSettings(next, *line) || tcsetattr(fd_, TCSANOW, &next) != 0) {
    return SerialOpenStep::kWriteSettings;
  }
  *settings_ = next;
  if (!RaiseModemLines(fd_)) return SerialOpenStep::kLineControl;
  // Reads return at once with nothing (nothing is ever read); writes are bounded by the link.
  termios timeouts{};
  if (tcgetattr(fd_, &timeouts) != 0) return SerialOpenStep::kReadTimeouts;
  timeouts.c_cc[VMIN] = 0;
  timeouts.c_cc[VTIME] = 0;
  if (tcsetattr(fd_, TCSANOW, &timeouts) != 0) return SerialOpenStep::kWriteTimeouts;
  *settings_ = timeouts;
  return SerialOpenStep::kDone;
}

bool TermiosSerialDevice::SetLineRate(int baud) {
  if (fd_ < 0) return false;
  const std::optional<speed_t> speed = TermiosSpeed(baud);
  if (!speed) return false;
  // Bytes still queued would leave at the new rate and arrive garbled.
  WaitForEmptyOutput(fd_, kDrainLimitMs);
  termios next = *settings_;
  if (cfsetispeed(&next, *speed) != 0 || cfsetospeed(&next, *speed) != 0) return false;
  if (tcsetattr(fd_, TCSANOW, &next) != 0) return false;
  *settings_ = next;
  return true;
}

int TermiosSerialDevice::OutputQueueCount() {
  if (fd_ < 0) return -1;
  int waiting = 0;
  if (ioctl(fd_, TIOCOUTQ, &waiting) != 0) return -1;
  return waiting;
}

SerialWrite TermiosSerialDevice::WriteByte(std::uint8_t byte) {
  if (fd_ < 0) return SerialWrite::kFailed;
  pollfd ready{fd_, POLLOUT, 0};
  const int polled = poll(&ready, 1, 0);
  if (polled < 0) return errno == EINTR ? SerialWrite::kWouldBlock : SerialWrite::kFailed;
  if ((ready.revents & POLLNVAL) != 0) return SerialWrite::kFailed;
  // A hung-up port polls as ready; its write then fails with EIO.
  if (polled == 0) return SerialWrite::kWouldBlock;
  const ssize_t written = write(fd_, &byte, 1);
  if (written == 1) return SerialWrite::kWritten;
  if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
    return SerialWrite::kWouldBlock;
  }
  return SerialWrite::kFailed;
}

bool TermiosSerialDevice::LineLost() {
  if (fd_ < 0) return false;
  pollfd line{fd_, POLLOUT, 0};
  if (poll(&line, 1, 0) < 0) return false;
  return (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

std::string TermiosSerialDevice::StableName(const std::string& path) {
  std::error_code error;
  const auto target = std::filesystem::canonical(path, error);
  if (error) return path;
  for (const auto& entry : std::filesystem::directory_iterator(byIdFolder_, error)) {
    std::error_code linkError;
    if (!entry.is_symlink(linkError)) continue;
    if (std::filesystem::canonical(entry.path(), linkError) == target && !linkError) {
      return entry.path().string();
    }
  }
  return path;
}

void TermiosSerialDevice::Close() {
  if (fd_ < 0) return;
  // The release command just written should leave the line; what is stuck past the limit is
  // dropped, or close would wait out the driver's own closing delay.
  if (!WaitForEmptyOutput(fd_, kDrainLimitMs)) tcflush(fd_, TCOFLUSH);
  Release(fd_);
  fd_ = -1;
}

}  // namespace tarvo
