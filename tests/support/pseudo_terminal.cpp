#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tarvo::testing {

PseudoTerminal::PseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  const char* name = ptsname(master_);
  if (name == nullptr) throw std::runtime_error("no pseudo-terminal name");
  path_ = name;
}

PseudoTerminal::~PseudoTerminal() {
  Hangup();
}

termios PseudoTerminal::Settings() const {
  // Through the master side: the subordinate may be held exclusively by the device under test.
  termios settings{};
  if (tcgetattr(master_, &settings) != 0) throw std::runtime_error("tcgetattr failed");
  return settings;
}

void PseudoTerminal::SetSettings(const termios& settings) {
  if (tcsetattr(master_, TCSANOW, &settings) != 0) throw std::runtime_error("tcsetattr failed");
}

std::string PseudoTerminal::Read(std::size_t limit) {
  constexpr auto kDeadline = std::chrono::seconds(10);
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  std::string got;
  char buffer[4096];
  while (got.size() < limit && std::chrono::steady_clock::now() < end) {
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, 50) <= 0) continue;
    const std::size_t want =
        limit - got.size() < sizeof buffer ? limit - got.size() : sizeof buffer;
    const ssize_t n = read(master_, buffer, want);
    // EIO: the subordinate side is closed and everything it wrote has been read.
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

void PseudoTerminal::Hangup() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

}  // namespace tarvo::testing
