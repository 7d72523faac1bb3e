#include "core/radio/rig_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "support/fake_rig_device.h"

namespace tarvo {
namespace {

using testing::FakeRigDevice;
using Log = std::vector<std::string>;

const RigTarget kTarget{2, "localhost:4532", 0};

class RigWorkerTest : public ::testing::Test {
 protected:
  Log Done() {
    worker.WaitIdle();
    return rig.TakeLog();
  }

  FakeRigDevice rig;
  std::atomic<int> reports{0};
  RigWorker worker{rig, [this] { ++reports; }};
};

TEST_F(RigWorkerTest, RequestsReachTheRigInOrderWithFmSetOnOpening) {
  worker.Open({3073, "/dev/ttyUSB0", 19200});
  worker.Tune(851012500);
  worker.SetVolume(0.5);
  worker.Close();
  worker.Tune(850000000);  // released: goes nowhere
  EXPECT_EQ(Done(), (Log{"open 3073 /dev/ttyUSB0 19200", "FM", "F 851012500", "L 0.500", "close"}));
  EXPECT_TRUE(worker.TakeFailures().empty());
  EXPECT_EQ(reports, 0);
}

// The caller never waits for a rig that hangs; what piles up meanwhile is cut to the latest
// tune and the latest volume, and an open or close keeps its place between them.
TEST_F(RigWorkerTest, WhileTheRigHangsRequestsReturnAtOnceAndOnlyTheLatestOfAKindWaits) {
  worker.Open(kTarget);
  rig.HoldNextTune();
  worker.Tune(851000000);
  rig.WaitUntilHeld();
  worker.Tune(852000000);
  worker.SetVolume(0.2);
  worker.Tune(853000000);
  worker.SetVolume(1.0);
  worker.Close();
  worker.Tune(854000000);  // after the close: a different session, kept apart
  worker.Open(kTarget);
  worker.Tune(855000000);
  rig.Release();
  EXPECT_EQ(Done(), (Log{"open 2 localhost:4532 0", "FM", "F 851000000", "F 853000000", "L 1.000",
                         "close", "open 2 localhost:4532 0", "FM", "F 855000000"}));
}

TEST_F(RigWorkerTest, AFailedCallClosesTheRigAndTheNextRequestOpensItAgain) {
  worker.Open(kTarget);
  Done();
  rig.failCalls = true;
  worker.Tune(851000000);
  EXPECT_EQ(Done(), (Log{"F 851000000", "close"}));
  rig.failCalls = false;
  rig.refuseOpen = true;
  worker.SetVolume(0.5);  // still gone
  EXPECT_EQ(Done(), (Log{"open 2 localhost:4532 0"}));
  rig.refuseOpen = false;
  worker.Tune(852000000);  // back
  EXPECT_EQ(Done(), (Log{"open 2 localhost:4532 0", "FM", "F 852000000"}));

  const std::vector<RigFailure> failures = worker.TakeFailures();
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_EQ(failures[0].kind, RigFailure::Kind::kTune);
  EXPECT_EQ(failures[1].kind, RigFailure::Kind::kVolume);
  EXPECT_EQ(failures[2].kind, RigFailure::Kind::kBack);  // the first answer after them
  EXPECT_EQ(failures[0].reason, "rig gone");
  EXPECT_EQ(reports, 3);
  EXPECT_TRUE(worker.TakeFailures().empty());
}

TEST_F(RigWorkerTest, ARefusedOpenIsReportedAsAnOpeningFailure) {
  rig.refuseOpen = true;
  worker.Open(kTarget);
  Done();
  const std::vector<RigFailure> failures = worker.TakeFailures();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].kind, RigFailure::Kind::kOpen);
  EXPECT_EQ(reports, 1);
}

// Closing the program: the exit volume and the close still reach the rig.
TEST(RigWorker, EndingCarriesOutWhatIsStillQueued) {
  FakeRigDevice rig;
  {
    RigWorker worker(rig);
    worker.Open(kTarget);
    rig.HoldNextTune();
    worker.Tune(851000000);
    rig.WaitUntilHeld();
    worker.SetVolume(0.25);
    worker.Close();
    rig.Release();
  }
  EXPECT_EQ(rig.TakeLog(),
            (Log{"open 2 localhost:4532 0", "FM", "F 851000000", "L 0.250", "close"}));
}

}  // namespace
}  // namespace tarvo
