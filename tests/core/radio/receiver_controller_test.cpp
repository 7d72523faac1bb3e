#include "core/radio/receiver_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/radio/receiver_model.h"
#include "support/fake_serial_device.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::FakeSerialDevice;
using testing::RecordingWorld;
using Log = std::vector<std::string>;

const char* const kPcrSetUp = " \r\nH101\r\nG105\r\nG300\r\nH1?\r\n";
const char* const kPcrAfterRate =
    "H101\r\nG4?\r\nG105\r\nG300\r\nH1?\r\nG301\r\nH1?\r\nGE?\r\nGD?\r\n"
    "K00850000000050100\r\n"
    "J4100\r\nJ5100\r\nJ5000\r\nJ4380\r\nJ4500\r\nJ4600\r\nJ4700\r\nJ4A80\r\nLD82000\r\n"
    "J4000\r\nLE20050\r\nLE20040\r\nH1?\r\n";

class ReceiverControllerTest : public ::testing::Test {
 protected:
  ReceiverControllerTest() {
    device.ports = {{"ttyUSB0", "/dev/ttyUSB0"}, {"ttyUSB1", "/dev/ttyUSB1"}};
    link.ListSerialPorts();
    state.Edit5.text = "4A";
    state.TrackBar2.position = 80;
  }

  // Opens the port for a model as start-up does and forgets what that sent.
  void StartWith(int model) {
    state.RadioModel = model;
    controller.StartReceiver();
    device.ClearLog();
  }

  RecordingWorld world;
  FakeSerialDevice device;
  MainState state;
  SerialLink link{device, state, world.services()};
  ReceiverController controller{state, link, world.services()};
};

TEST_F(ReceiverControllerTest, TunesStartTheSettleCountEvenWhenNothingIsSent) {
  struct Case {
    int model;
    const char* frequency;
    const char* sent;
    int settle;
  };
  const Case cases[] = {
      {kModelAr8600, "851.01250", "RF851.01250\r\nMD1\r\n", 6},
      {kModelAr8600, "850.00000", "RF850.00000\r\nMD1\r\n", 6},
      {kModelAr8600, "850.0000", "", 0},  // four decimals: left alone
      {kModelIcomCiv, "2500.00000", "", 6},
      {kModelYaesuCat, "85.00000", "", 6},
      {kModelCount, "851.01250", "", 0},
      {-1, "851.01250", "", 0},
  };
  for (const Case& c : cases) {
    RecordingWorld world;
    FakeSerialDevice device;
    device.ports = {{"ttyUSB0", "/dev/ttyUSB0"}};
    MainState state;
    SerialLink link{device, state, world.services()};
    ReceiverController controller{state, link, world.services()};
    link.ListSerialPorts();
    state.RadioModel = c.model;
    link.OpenSerialPort(0);
    controller.TuneReceiver(c.frequency, c.model);
    EXPECT_EQ(device.Written(), c.sent) << c.model << " " << c.frequency;
    EXPECT_EQ(state.TuneSettleBlocks, c.settle) << c.model << " " << c.frequency;
  }
}

TEST_F(ReceiverControllerTest, StartOpensWithTheModelsProfileAndPrepares) {
  struct Case {
    int model;
    int trackBar2;
    Log log;
  };
  const std::string pcr100Volume = std::string(kPcrAfterRate) + "J4080\r\n";
  const Case cases[] = {
      {kModelIcomCiv, 80, {"<open /dev/ttyUSB0 0>"}},
      {kModelIcomPcr, 80, {"<open /dev/ttyUSB0 1>", kPcrSetUp, "<rate 38400>", kPcrAfterRate}},
      {kModelIcPcr100, 128, {"<open /dev/ttyUSB0 1>", kPcrSetUp, "<rate 38400>", pcr100Volume}},
      {kModelIcPcr100, 0, {"<open /dev/ttyUSB0 1>", kPcrSetUp, "<rate 38400>", kPcrAfterRate}},
      {kModelAr5000, 80, {"<open /dev/ttyUSB0 0>"}},
      {kModelYaesuCat, 80, {"<open /dev/ttyUSB0 0>", std::string(5, '\0')}},
      {kModelDjX2000, 80, {"<open /dev/ttyUSB0 0>", "START\r\n"}},
      {kModelDjX11, 80, {"<open /dev/ttyUSB0 3>"}},
      {kModelAr8600, 80, {"<open /dev/ttyUSB0 0>"}},
      {kModelCount, 80, {}},
  };
  for (const Case& c : cases) {
    device.ClearLog();
    world.clock.sleeps.clear();
    state.RadioModel = c.model;
    state.TrackBar2.position = c.trackBar2;
    controller.StartReceiver();
    EXPECT_EQ(device.log, c.log) << "model " << c.model;
    const bool pcr = c.model == kModelIcomPcr || c.model == kModelIcPcr100;
    EXPECT_EQ(world.clock.sleeps, pcr ? std::vector<int>{500} : std::vector<int>{});
  }
}

TEST_F(ReceiverControllerTest, APortThatFailsToOpenIsReportedOnceAndTheProgramGoesOn) {
  state.ComPortIndex = 5;
  state.RadioModel = kModelIcomPcr;
  controller.StartReceiver();
  EXPECT_EQ(world.notice.errors, std::vector<std::string>{" 通信ポート接続失敗"});
  EXPECT_EQ(world.notice.beeps, 1);
  controller.TuneReceiver("851.01250", kModelIcomPcr);
  controller.SetReceiverVolume(80);
  EXPECT_EQ(device.Written(), "");
  EXPECT_EQ(state.TuneSettleBlocks, 6);
  EXPECT_EQ(world.notice.errors.size(), 1u);
}

TEST_F(ReceiverControllerTest, AModelChangeReleasesBeforeClosingAndRestarts) {
  struct Case {
    int from;
    int to;
    Log log;
    bool edit5;
  };
  const Case cases[] = {
      {kModelIcPcr100, kModelAr5000, {"H100\r\n", "<close>", "<open /dev/ttyUSB0 0>"}, false},
      {kModelIcomPcr, kModelIcomCiv, {"H100\r\n", "<close>", "<open /dev/ttyUSB0 0>"}, true},
      {kModelDjX2000,
       kModelYaesuCat,
       {"Q\r\n", "<close>", "<open /dev/ttyUSB0 0>", std::string(5, '\0')},
       false},
      {kModelYaesuCat,
       kModelDjX11,
       {std::string("\0\0\0\0\x80", 5), "<close>", "<open /dev/ttyUSB0 3>"},
       false},
      {kModelIcomCiv, kModelCount, {"<close>"}, false},
  };
  for (const Case& c : cases) {
    StartWith(c.from);
    controller.ComboBox1Change(c.to);
    EXPECT_EQ(device.log, c.log) << c.from << " -> " << c.to;
    EXPECT_EQ(state.RadioModel, c.to);
    EXPECT_EQ(state.Edit5.enabled, c.edit5) << c.from << " -> " << c.to;
  }
}

TEST_F(ReceiverControllerTest, APortChangeReleasesClosesAndOpensTheNewPort) {
  StartWith(kModelDjX2000);
  controller.ComboBox2Change(1);
  EXPECT_EQ(device.log, (Log{"Q\r\n", "<close>", "<open /dev/ttyUSB1 0>", "START\r\n"}));
  EXPECT_EQ(state.ComPortIndex, 1);
}

TEST_F(ReceiverControllerTest, ClosingRestoresTheVolumeExceptForIcomPcrThenReleases) {
  struct Case {
    int model;
    std::string sent;
  };
  const Case cases[] = {
      {kModelIcomPcr, "H100\r\n"},
      {kModelIcPcr100, "J4050\r\nH100\r\n"},
      {kModelAr5000, "DA000\r\n"},
      {kModelIcomCiv, std::string("\xFE\xFE\x4A\xE0\x14\x01\x00\x80\xFD", 9)},
      {kModelDjX2000, "Q\r\n"},
      {kModelYaesuCat, std::string("\0\0\0\0\x80", 5)},
      {kModelDjX11, ""},
  };
  for (const Case& c : cases) {
    StartWith(c.model);
    controller.ReleaseOnFormClose();
    EXPECT_EQ(device.log, c.sent.empty() ? Log{} : Log{c.sent}) << "model " << c.model;
  }
}

TEST_F(ReceiverControllerTest, VolumeFollowsTheSelectedModel) {
  StartWith(kModelIcomPcr);
  controller.SetReceiverVolume(0);
  controller.SetReceiverVolume(255);
  EXPECT_EQ(device.Written(), "J4000\r\nJ40FF\r\n");
}

// While one keyed tune is being written the pump runs another handler that tunes again.
TEST_F(ReceiverControllerTest, KeyedTunesArrivingWhileOneIsWrittenAreDropped) {
  struct Case {
    int model;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {kModelDjX2000,
       "KEY 8\r\nKEY 5\r\nKEY 1\r\nKEY .\r\nKEY 0\r\nKEY 1\r\nKEY 2\r\nKEY 5\r\nKEY ENT\r\n", ""},
      {kModelDjX11, "AL~FW00851012500\r\n", ""},
      // Others are not guarded: the second tune's bytes go out in the middle of the first.
      {kModelAr8600, "RF851.01250\r\nMD1\r\n", "RF852.00000\r\nMD1\r\n"},
  };
  for (const Case& c : cases) {
    StartWith(c.model);
    bool nested = false;
    std::vector<bool> busyDuringPump;
    world.pump.onPump = [&] {
      busyDuringPump.push_back(state.RadioBusy);
      if (nested) return;
      nested = true;
      state.TuneSettleBlocks = 0;
      controller.TuneReceiver("852.00000", c.model);
      EXPECT_EQ(state.TuneSettleBlocks, 6);
    };
    controller.TuneReceiver("851.01250", c.model);
    world.pump.onPump = nullptr;
    const std::string written = device.Written();
    const std::string second = c.second;
    EXPECT_EQ(written.size(), std::string(c.first).size() + second.size()) << c.model;
    if (second.empty()) {
      EXPECT_EQ(written, c.first);
    }
    EXPECT_FALSE(state.RadioBusy);
    const bool guarded = c.model == kModelDjX2000 || c.model == kModelDjX11;
    EXPECT_EQ(busyDuringPump.front(), guarded);
    device.ClearLog();
    // Once the first is done the next tune goes out in full.
    controller.TuneReceiver("852.00000", c.model);
    EXPECT_NE(device.Written(), "");
  }
}

}  // namespace
}  // namespace tarvo
