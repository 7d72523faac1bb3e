// Stop signals as the programs' children see them.
#include "platform/stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvo {
namespace {

TEST(StopSignals, AChildProcessStartsWithTheStopSignalsUnblocked) {
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, nullptr, &before);
  const StopSignals stopSignals;
  sigset_t blocked;
  pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
  ASSERT_TRUE(sigismember(&blocked, SIGTERM));
  const pid_t child = fork();
  if (child == 0) {
    sigset_t inChild;
    pthread_sigmask(SIG_BLOCK, nullptr, &inChild);
    const bool anyBlocked = sigismember(&inChild, SIGINT) || sigismember(&inChild, SIGTERM) ||
                            sigismember(&inChild, SIGHUP);
    _exit(anyBlocked ? 1 : 0);
  }
  ASSERT_GT(child, 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child inherited blocked stop signals";
  pthread_sigmask(SIG_SETMASK, &before, nullptr);  // the other tests run as before
}

}  // namespace
}  // namespace tarvo
