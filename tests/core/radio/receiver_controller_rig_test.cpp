// The "Hamlib" model through the receiver controller: its requests go to the rig worker, never
// to the serial port, and a rig that does not open is told like a port that does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/radio/receiver_controller.h"
#include "core/radio/receiver_model.h"
#include "core/radio/receiver_supervisor.h"
#include "core/radio/rig_worker.h"
#include "support/fake_rig_device.h"
#include "support/fake_serial_device.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::FakeRigDevice;
using testing::FakeSerialDevice;
using testing::RecordingWorld;
using Log = std::vector<std::string>;

class RigModelTest : public ::testing::Test {
 protected:
  RigModelTest() {
    device.ports = {{"ttyUSB0", "/dev/ttyUSB0"}};
    link.ListSerialPorts();
    state.TrackBar2.position = 51;
    state.RigModel = 2;
    state.RigPort = "localhost:4533";
  }

  Log RigLog() {
    worker.WaitIdle();
    return rig.TakeLog();
  }
  void StartHamlib() {
    state.RadioModel = kModelHamlib;
    controller.StartReceiver();
    RigLog();
  }

  RecordingWorld world;
  FakeSerialDevice device;
  FakeRigDevice rig;
  RigWorker worker{rig};
  MainState state;
  SerialLink link{device, state, world.services()};
  ReceiverController controller{state, link, world.services(), &worker};
};

TEST_F(RigModelTest, TunesAndVolumeGoToTheRigInHertzAndAsAFraction) {
  state.RadioModel = kModelHamlib;
  controller.StartReceiver();
  EXPECT_EQ(RigLog(), (Log{"open 2 localhost:4533 0", "FM"}));
  controller.TuneReceiver("851.01250", kModelHamlib);
  EXPECT_EQ(state.TuneSettleBlocks, 6);
  EXPECT_EQ(RigLog(), (Log{"F 851012500"}));

  state.TuneSettleBlocks = 0;
  controller.TuneReceiver("850.0000", kModelHamlib);  // four decimals: left alone
  EXPECT_EQ(state.TuneSettleBlocks, 0);
  controller.TuneReceiver("850.00000", kModelHamlib);
  controller.SetReceiverVolume(0);
  EXPECT_EQ(RigLog(), (Log{"F 850000000", "L 0.000"}));
  EXPECT_TRUE(device.log.empty());  // no serial port for this model
}

TEST_F(RigModelTest, ClosingLeavesTheRadioVolumeThenClosesTheRig) {
  StartHamlib();
  controller.ReleaseOnFormClose();
  EXPECT_EQ(RigLog(), (Log{"L 0.200", "close"}));
}

TEST_F(RigModelTest, ModelChangesCloseOneAndOpenTheOther) {
  state.RadioModel = kModelAr5000;
  controller.StartReceiver();
  device.ClearLog();
  controller.ComboBox1Change(kModelHamlib);
  EXPECT_EQ(device.log, (Log{"<close>"}));
  EXPECT_EQ(RigLog(), (Log{"open 2 localhost:4533 0", "FM"}));
  EXPECT_TRUE(state.RigBoxesShown);
  EXPECT_FALSE(state.Edit5.enabled);

  device.ClearLog();
  controller.ComboBox1Change(kModelIcomCiv);
  EXPECT_EQ(RigLog(), (Log{"close"}));
  EXPECT_EQ(device.log, (Log{"<close>", "<open /dev/ttyUSB0 0>"}));
  EXPECT_FALSE(state.RigBoxesShown);
  EXPECT_TRUE(state.Edit5.enabled);
}

TEST_F(RigModelTest, EditedRigSettingsReopenOnlyWhileHamlibIsSelected) {
  StartHamlib();
  state.RigModel = 1;
  state.RigPort = "/dev/ttyUSB3";
  state.RigRate = 4800;
  controller.RigSettingsChange();
  EXPECT_EQ(RigLog(), (Log{"close", "open 1 /dev/ttyUSB3 4800", "FM"}));

  controller.ComboBox1Change(kModelAr8600);
  RigLog();
  device.ClearLog();
  controller.RigSettingsChange();
  EXPECT_TRUE(RigLog().empty());
  EXPECT_TRUE(device.log.empty());
}

TEST_F(RigModelTest, ARigThatDoesNotOpenIsToldOnceAndLaterFailuresPassSilently) {
  rig.refuseOpen = true;
  state.RadioModel = kModelHamlib;
  controller.StartReceiver();
  controller.TuneReceiver("851.01250", kModelHamlib);  // tries again, fails again
  worker.WaitIdle();
  controller.TakeRigReports();
  EXPECT_EQ(world.notice.errors, std::vector<std::string>{" 通信ポート接続失敗"});
  EXPECT_EQ(world.notice.beeps, 1);
  EXPECT_EQ(state.TuneSettleBlocks, 6);

  rig.refuseOpen = false;
  controller.TuneReceiver("852.00000", kModelHamlib);
  EXPECT_EQ(RigLog().back(), "F 852000000");
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A network rig that stops answering mid-call is reported lost, tried again every 2 s through the
// worker, and reported back with the tune to the followed line when it answers.
TEST_F(RigModelTest, ARigThatStopsAnsweringIsLostThenTriedEveryTwoSecondsUntilItIsBack) {
  ReceiverSupervisor supervisor{state, link, controller, world.services()};
  StartHamlib();
  supervisor.Watch();
  TrackingEvent call;
  call.event = "call";
  call.line = "851.01250";
  world.events.Followed(call, state.Decoder);
  state.OnControlChannel = false;

  rig.failCalls = true;
  controller.TuneReceiver("851.01250", kModelHamlib);
  worker.WaitIdle();
  supervisor.OnRigReports(controller.TakeRigReports());
  EXPECT_TRUE(supervisor.Lost());
  EXPECT_TRUE(state.ReceiverLost);
  RigLog();

  world.clock.now += ReceiverSupervisor::kRetryMs - 1;
  supervisor.Tick();
  EXPECT_TRUE(RigLog().empty());  // not yet due
  world.clock.now += 1;
  supervisor.Tick();  // due: the worker tries, and fails again
  worker.WaitIdle();
  supervisor.OnRigReports(controller.TakeRigReports());
  EXPECT_TRUE(supervisor.Lost());

  rig.failCalls = false;
  world.clock.now += ReceiverSupervisor::kRetryMs;
  supervisor.Tick();
  worker.WaitIdle();
  supervisor.OnRigReports(controller.TakeRigReports());
  EXPECT_FALSE(supervisor.Lost());
  EXPECT_FALSE(state.ReceiverLost);
  EXPECT_EQ(RigLog().back(), "F 851012500");

  std::vector<std::string> states;
  for (const TrackingEvent& e : world.eventLog.Of("receiver")) states.push_back(e.state);
  EXPECT_EQ(states, (std::vector<std::string>{"lost", "back"}));
  EXPECT_EQ(world.eventLog.Of("receiver")[0].device, "localhost:4533");
  EXPECT_TRUE(world.notice.errors.empty());  // no box for a rig that went away
}

}  // namespace
}  // namespace tarvo
