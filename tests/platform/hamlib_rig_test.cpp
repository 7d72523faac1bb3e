// Rigs through hamlib: its dummy rig in this process, and a real rigctld on a free port driven
// through rig number 2 (NET rigctl), as an SDR program's remote control would be.
#include <gtest/gtest.h>

#if TARVO_HAVE_HAMLIB

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/null_services.h"
#include "core/radio/receiver_controller.h"
#include "core/radio/receiver_model.h"
#include "core/radio/rig_worker.h"
#include "core/radio/serial_link.h"
#include "platform/hamlib_rig.h"
#include "support/recorders.h"
#include "support/rig_daemon.h"

namespace tarvo::testing {
namespace {

constexpr int kDummyRig = 1;
constexpr int kNetRigctl = 2;

// What a second, independent client reads from the rig at address: hertz and AF level.
struct Readback {
  std::int64_t hertz = -1;
  float level = -1.0f;
};

Readback Read(RIG* rig) {
  Readback r;
  freq_t hertz = 0;
  if (rig_get_freq(rig, RIG_VFO_CURR, &hertz) == RIG_OK) r.hertz = static_cast<std::int64_t>(hertz);
  value_t level;
  if (rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_AF, &level) == RIG_OK) r.level = level.f;
  return r;
}

Readback ReadOverTheNetwork(const std::string& address) {
  HamlibRig reader;
  if (!reader.Open({kNetRigctl, address, 0})) return {};
  return Read(reader.Handle());
}

// The program's own path to the rig: controller, worker, hamlib.
struct RigPath {
  explicit RigPath(int rig, const std::string& port) {
    state.RadioModel = kModelHamlib;
    state.RigModel = rig;
    state.RigPort = port;
  }
  void Done() { worker.WaitIdle(); }

  RecordingWorld world;
  NullSerialDevice serial;
  MainState state;
  SerialLink link{serial, state, world.services()};
  HamlibRig rig;
  RigWorker worker{rig};
  ReceiverController controller{state, link, world.services(), &worker};
};

TEST(HamlibRig, TuneVolumeAndReleaseReachTheDummyRig) {
  RigPath path(kDummyRig, "/dev/null");
  path.controller.StartReceiver();
  path.controller.TuneReceiver("851.01250", kModelHamlib);
  path.controller.SetReceiverVolume(51);
  path.Done();
  ASSERT_NE(path.rig.Handle(), nullptr) << path.rig.LastError();
  const Readback r = Read(path.rig.Handle());
  EXPECT_EQ(r.hertz, 851012500);
  EXPECT_FLOAT_EQ(r.level, 0.2f);
  rmode_t mode = RIG_MODE_NONE;
  pbwidth_t width = 0;
  ASSERT_EQ(rig_get_mode(path.rig.Handle(), RIG_VFO_CURR, &mode, &width), RIG_OK);
  EXPECT_EQ(mode, RIG_MODE_FM);

  path.controller.ReleaseReceiver();
  path.Done();
  EXPECT_EQ(path.rig.Handle(), nullptr);
  path.controller.TakeRigReports();
  EXPECT_TRUE(path.world.notice.errors.empty());
}

TEST(HamlibRig, ARigThatCannotOpenSaysWhy) {
  struct Case {
    RigTarget target;
    const char* named;  // what the reason must name
  };
  const Case cases[] = {
      {{999999, "/dev/null", 0}, "999999"},
      {{kNetRigctl, "localhost:1", 0}, "localhost:1"},  // nobody listens there
      {{kNetRigctl, "no-such-host.invalid:4532", 0}, "no-such-host.invalid"},
  };
  for (const Case& c : cases) {
    HamlibRig rig;
    EXPECT_FALSE(rig.Open(c.target)) << c.named;
    EXPECT_EQ(rig.Handle(), nullptr);
    EXPECT_NE(rig.LastError().find(c.named), std::string::npos) << rig.LastError();
  }
}

TEST(HamlibRig, AFailedOpenInTheProgramIsToldAsAPortThatDidNotOpen) {
  RigPath path(kNetRigctl, "localhost:1");
  path.controller.StartReceiver();
  path.Done();
  path.controller.TakeRigReports();
  EXPECT_EQ(path.world.notice.errors, std::vector<std::string>{" 通信ポート接続失敗"});
}

TEST(HamlibRig, RigctldFollowsTunesAndComesBackAfterADaemonRestart) {
  RigDaemon daemon;
  TARVO_NEED_RIG_DAEMON(daemon);
  RigPath path(kNetRigctl, daemon.Address());
  path.controller.StartReceiver();
  path.controller.TuneReceiver("851.01250", kModelHamlib);
  path.controller.SetReceiverVolume(255);
  path.Done();
  ASSERT_TRUE(path.worker.TakeFailures().empty()) << path.rig.LastError();
  Readback r = ReadOverTheNetwork(daemon.Address());
  EXPECT_EQ(r.hertz, 851012500);
  EXPECT_FLOAT_EQ(r.level, 1.0f);

  // The daemon dies under an open rig: the tune fails and says so instead of hanging.
  daemon.Kill();
  path.controller.TuneReceiver("852.00000", kModelHamlib);
  path.Done();
  const std::vector<RigFailure> failures = path.worker.TakeFailures();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].kind, RigFailure::Kind::kTune);
  EXPECT_FALSE(failures[0].reason.empty());

  ASSERT_TRUE(daemon.Restart()) << daemon.Failure();
  path.controller.TuneReceiver("853.02500", kModelHamlib);
  path.Done();
  const std::vector<RigFailure> after = path.worker.TakeFailures();
  ASSERT_EQ(after.size(), 1u) << path.rig.LastError();
  EXPECT_EQ(after[0].kind, RigFailure::Kind::kBack);  // no failure: it answered again
  r = ReadOverTheNetwork(daemon.Address());
  EXPECT_EQ(r.hertz, 853025000);
  path.controller.TakeRigReports();
  EXPECT_TRUE(path.world.notice.errors.empty());  // only a failed start is told
}

}  // namespace
}  // namespace tarvo::testing

#else

TEST(HamlibRig, NeedsHamlib) {
  GTEST_SKIP() << "built without hamlib (Debian package libhamlib-dev)";
}

#endif
