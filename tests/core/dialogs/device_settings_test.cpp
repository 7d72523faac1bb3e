#include "core/dialogs/device_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/audio/sound_device_control.h"
#include "core/radio/receiver.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

// Everything the apply does to the outside world, in one log.
class ApplyLog : public SoundDeviceControl, public DeviceNoticeView, public Receiver {
 public:
  void SelectCaptureRate() override { log.push_back("select rate " + Settings()); }
  void OpenCaptureInput() override { log.push_back("open input"); }
  void CloseCaptureInput() override { log.push_back("close input"); }
  void OpenMonitorOutput() override { log.push_back("open output"); }
  void CloseMonitorOutput() override { log.push_back("close output"); }
  void ShowNotice() override { log.push_back("show notice"); }
  void CloseNotice() override { log.push_back("close notice"); }
  void TuneReceiver(const std::string&, int) override { log.push_back("tune"); }
  void SetReceiverVolume(int level) override { log.push_back("volume " + std::to_string(level)); }

  std::string Settings() const {
    return std::to_string(state->InputDevice) + "/" + std::to_string(state->OutputDevice) + "/" +
           std::to_string(state->SampleRateIndex);
  }
  MainState* state = nullptr;
  std::vector<std::string> log;
};

class DeviceSettingsTest : public ::testing::Test {
 protected:
  DeviceSettingsTest() {
    state.InputDevice = 1;
    state.OutputDevice = 0;
    state.SampleRateIndex = 2;
    state.MonitorOn = true;
    sound.state = &state;
    world.pump.onPump = [this] { sound.log.push_back("pump"); };
  }

  Services WithLoggedReceiver() {
    Services s = world.services();
    s.receiver = &sound;
    return s;
  }

  MainState state;
  testing::RecordingWorld world;
  ApplyLog sound;
  Services services = WithLoggedReceiver();
  DeviceSettings dialog{state, services, sound, sound};
};

TEST_F(DeviceSettingsTest, UnchangedOkTouchesNothing) {
  dialog.Button1Click(1, 0, 2);
  EXPECT_TRUE(sound.log.empty());
  EXPECT_TRUE(world.clock.sleeps.empty());
  EXPECT_TRUE(state.MonitorOn);
}

TEST_F(DeviceSettingsTest, AnyChangeReopensBothDevicesInOrder) {
  struct Case {
    int input, output, rate;
    bool wave;
  };
  const Case cases[] = {
      {1, 0, 0, true},     // only the rate
      {2, 0, 2, true},     // only the input
      {1, 3, 2, false},    // only the output, RADIO routing
      {-1, -1, -1, true},  // typed text that matches no item is stored as it is
  };
  for (const Case& c : cases) {
    state.InputDevice = 1;
    state.OutputDevice = 0;
    state.SampleRateIndex = 2;
    state.MonitorOn = true;
    state.WaveOutput = c.wave;
    sound.log.clear();
    world.clock.sleeps.clear();
    dialog.Button1Click(c.input, c.output, c.rate);

    const std::string chosen =
        std::to_string(c.input) + "/" + std::to_string(c.output) + "/" + std::to_string(c.rate);
    std::vector<std::string> expected = {
        "show notice",           "pump",        "close input", "close output",
        "select rate " + chosen, "open output", "open input"};
    if (c.wave) expected.push_back("volume 0");
    expected.push_back("close notice");
    EXPECT_EQ(sound.log, expected) << chosen;
    EXPECT_EQ(world.clock.sleeps, std::vector<int>{500});
    EXPECT_FALSE(state.MonitorOn);
  }
}

TEST(DeviceLists, DefaultDeviceFirstThenDevicesInOrder) {
  const DeviceLists lists = BuildDeviceLists({"pulse", "hw:0"}, {});
  EXPECT_EQ(lists.inputs, (std::vector<std::string>{"標準の入力デバイス", "pulse", "hw:0"}));
  EXPECT_EQ(lists.outputs, std::vector<std::string>{"標準の出力デバイス"});
  EXPECT_EQ(lists.rates,
            (std::vector<std::string>{"11.025kHz 16bit", "22.050kHz 16bit", "44.100kHz 16bit"}));
}

TEST(CentreOver, HalvesTruncateAndOnlyTheDialogIsClamped) {
  struct Case {
    int top, left, height, width;
    bool clamped;
    int wantTop, wantLeft;
  };
  const Case cases[] = {
      {100, 200, 470, 333, true, 100 + 235 - 94, 200 + 166 - 145},
      {-50, -300, 135, 333, true, 0, 0},
      {-50, -300, 135, 333, false, -50 + 67 - 94, -300 + 166 - 145},
  };
  for (const Case& c : cases) {
    const WindowPlace p = CentreOver(c.top, c.left, c.height, c.width, 188, 290, c.clamped);
    EXPECT_EQ(p.top, c.wantTop);
    EXPECT_EQ(p.left, c.wantLeft);
  }
}

}  // namespace
}  // namespace tarvo
