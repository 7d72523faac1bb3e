// A private rigctld serving hamlib's dummy rig (number 1) on a free local port, its log in a
// temporary folder; it can be killed and started again on the same port.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/sound_server.h"
#include "support/temp_dir.h"

namespace tarvo::testing {

class RigDaemon {
 public:
  RigDaemon();
  ~RigDaemon();
  RigDaemon(const RigDaemon&) = delete;
  RigDaemon& operator=(const RigDaemon&) = delete;

  // Empty while the daemon runs; otherwise why it could not start.
  const std::string& Failure() const { return failure_; }
  int Port() const { return port_; }
  // What rig number 2 (NET rigctl) takes as its port.
  std::string Address() const { return "localhost:" + std::to_string(port_); }

  // Ends the daemon at once, as a crash or a pulled cable would.
  void Kill();
  // Starts it again on the same port; false (and Failure() set) if it does not answer.
  bool Restart();

 private:
  bool Start();

  TempDir dir_;
  int port_ = 0;
  pid_t daemon_ = -1;
  std::string failure_;
};

// Ends the test when the daemon could not start: skipped with the reason, or failed where real
// daemons are required (TARVO_REQUIRE_REAL_SOUND=1, as on the CI machine).
#define TARVO_NEED_RIG_DAEMON(daemon)                       \
  do {                                                      \
    if (!(daemon).Failure().empty()) {                      \
      if (::tarvo::testing::RealSoundRequired()) {          \
        FAIL() << "no rigctld: " << (daemon).Failure();     \
      }                                                     \
      GTEST_SKIP() << "no rigctld: " << (daemon).Failure(); \
    }                                                       \
  } while (false)

}  // namespace tarvo::testing
