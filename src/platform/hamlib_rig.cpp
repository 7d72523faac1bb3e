#include "platform/hamlib_rig.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace tarvo {
namespace {

// hamlib's connect waits as long as the system does (minutes for a host that drops packets);
// a first connection of our own, given up after timeoutMs, keeps opening within the bound.
// Empty when "host:port" answers, else why not.
std::string ProbeNetworkPort(const std::string& hostPort, int timeoutMs) {
  const std::size_t colon = hostPort.rfind(':');
  std::string host = hostPort.substr(0, colon);
  const std::string port = hostPort.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (const int error =
          getaddrinfo(host.empty() ? "localhost" : host.c_str(), port.c_str(), &hints, &found);
      error != 0) {
    return hostPort + ": " + gai_strerror(error);
  }
  std::string failure = hostPort + ": no address";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    int error = connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
    if (error == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      error = ETIMEDOUT;
      if (poll(&p, 1, timeoutMs) == 1) {
        socklen_t length = sizeof error;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
      }
    }
    close(fd);
    if (error == 0) {
      failure.clear();
      break;
    }
    failure = hostPort + ": " + std::strerror(error);
  }
  freeaddrinfo(found);
  return failure;
}

// A path names a device; anything else with a colon is a network rig.
bool IsNetworkPort(const std::string& port) {
  return !port.empty() && port.front() != '/' && port.find(':') != std::string::npos;
}

}  // namespace

HamlibRig::HamlibRig(int timeoutMs, int retries) : timeoutMs_(timeoutMs), retries_(retries) {
  // Every rig_open saves the numeric locale's name, switches to "C" and back; the switch frees
  // the saved name unless it already is "C", and it would race the other threads' number
  // formatting. Made "C" here, on the thread that builds the rig, the switch changes nothing.
  const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
  if (numeric == nullptr || std::strcmp(numeric, "C") != 0) std::setlocale(LC_NUMERIC, "C");
}

HamlibRig::~HamlibRig() {
  Close();
}

bool HamlibRig::Open(const RigTarget& target) {
  Close();
  if (IsNetworkPort(target.port)) {
    lastError_ = ProbeNetworkPort(target.port, timeoutMs_);
    if (!lastError_.empty()) return false;
  }
  if (hamlib_ == nullptr) {
    hamlib_ = std::make_unique<HamlibLibrary>();
    // hamlib's own tracing goes to stderr by default; the program reports what matters itself.
    if (hamlib_->Failure().empty()) hamlib_->setDebug(RIG_DEBUG_NONE);
  }
  if (!hamlib_->Failure().empty()) {
    lastError_ = hamlib_->Failure();
    return false;
  }
  rig_ = hamlib_->init(target.rig);
  if (rig_ == nullptr) {
    lastError_ = "hamlib knows no rig number " + std::to_string(target.rig);
    return false;
  }
  const bool configured =
      SetConf("rig_pathname", target.port) && SetConf("timeout", std::to_string(timeoutMs_)) &&
      SetConf("retry", std::to_string(retries_)) &&
      (target.rate <= 0 || SetConf("serial_speed", std::to_string(target.rate)));
  if (!configured || !Check(hamlib_->open(rig_), "opening " + target.port)) {
    hamlib_->cleanup(rig_);
    rig_ = nullptr;
    return false;
  }
  return true;
}

bool HamlibRig::SetModeFm() {
  if (rig_ == nullptr) return false;
  if ((rig_->state.mode_list & RIG_MODE_FM) == 0) return true;
  return Check(hamlib_->setMode(rig_, RIG_VFO_CURR, RIG_MODE_FM, RIG_PASSBAND_NOCHANGE), "FM");
}

bool HamlibRig::SetFrequency(std::int64_t hertz) {
  if (rig_ == nullptr) return false;
  return Check(hamlib_->setFreq(rig_, RIG_VFO_CURR, static_cast<freq_t>(hertz)), "tuning");
}

bool HamlibRig::SetVolume(double level) {
  if (rig_ == nullptr) return false;
  if (hamlib_->hasSetLevel(rig_, RIG_LEVEL_AF) == 0) return true;
  value_t value;
  value.f = static_cast<float>(level);
  return Check(hamlib_->setLevel(rig_, RIG_VFO_CURR, RIG_LEVEL_AF, value), "AF level");
}

void HamlibRig::Close() {
  if (rig_ == nullptr) return;
  hamlib_->close(rig_);
  hamlib_->cleanup(rig_);
  rig_ = nullptr;
}

bool HamlibRig::Check(int status, const std::string& what) {
  if (status == RIG_OK) return true;
  lastError_ = what + ": " + hamlib_->error(status);
  // The text may end with a line break.
  while (!lastError_.empty() && (lastError_.back() == '\n' || lastError_.back() == ' ')) {
    lastError_.pop_back();
  }
  return false;
}

bool HamlibRig::SetConf(const char* name, const std::string& value) {
  const token_t token = hamlib_->tokenLookup(rig_, name);
  if (token == RIG_CONF_END) {
    lastError_ = std::string("this rig has no setting ") + name;
    return false;
  }
  return Check(hamlib_->setConf(rig_, token, value.c_str()), name);
}

}  // namespace tarvo
