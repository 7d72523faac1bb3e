#include "support/rig_daemon.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace tarvo::testing {
namespace {

// A port nobody listens on now: the system's pick for a socket bound to port 0.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool Answers(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Installed(const char* program) {
  return RunProgram({"sh", "-c", std::string("command -v ") + program + " >/dev/null"}) == 0;
}

}  // namespace

RigDaemon::RigDaemon() {
  if (!Installed("rigctld")) {
    failure_ = "rigctld is not installed (Debian package libhamlib-utils)";
    return;
  }
  port_ = FreePort();
  if (port_ == 0) {
    failure_ = "no free port";
    return;
  }
  Start();
}

RigDaemon::~RigDaemon() {
  Kill();
}

bool RigDaemon::Start() {
  const auto log = dir_.path() / "rigctld.log";
  daemon_ = SpawnProgram({"rigctld", "-m", "1", "-T", "127.0.0.1", "-t", std::to_string(port_)},
                         log.string());
  if (daemon_ < 0) {
    failure_ = "cannot start rigctld";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Answers(port_)) {
      failure_.clear();
      return true;
    }
    int status = 0;
    if (waitpid(daemon_, &status, WNOHANG) == daemon_) {
      daemon_ = -1;
      failure_ = "rigctld exited: " + Contents(log);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  failure_ = "rigctld did not answer on port " + std::to_string(port_) + ": " + Contents(log);
  return false;
}

void RigDaemon::Kill() {
  if (daemon_ <= 0) return;
  kill(daemon_, SIGKILL);
  int status = 0;
  waitpid(daemon_, &status, 0);
  daemon_ = -1;
}

bool RigDaemon::Restart() {
  Kill();
  return Start();
}

}  // namespace tarvo::testing
