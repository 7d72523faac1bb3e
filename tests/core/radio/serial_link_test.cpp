#include "core/radio/serial_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_serial_device.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::FakeSerialDevice;
using testing::RecordingWorld;

struct RecordingTrace : SerialTrace {
  void CommandWritten(std::string_view command, std::size_t bytesWritten) override {
    commands.emplace_back(command);
    written.push_back(bytesWritten);
  }
  void LineRateSet(int baud) override { rates.push_back(baud); }
  std::vector<std::string> commands;
  std::vector<std::size_t> written;
  std::vector<int> rates;
};

class SerialLinkTest : public ::testing::Test {
 protected:
  SerialLinkTest() {
    device.ports = {{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}};
    link.SetTrace(&trace);
    link.ListSerialPorts();
  }

  RecordingWorld world;
  FakeSerialDevice device;
  MainState state;
  SerialLink link{device, state, world.services()};
  RecordingTrace trace;
};

TEST_F(SerialLinkTest, ListsPortNamesAndOpensTheChosenPath) {
  EXPECT_EQ(state.ComboBox2Items, (std::vector<std::string>{"ttyS0", "ttyUSB0"}));
  state.ComPortIndex = 1;
  EXPECT_TRUE(link.OpenSerialPort(3));
  EXPECT_EQ(device.log, std::vector<std::string>{"<open /dev/ttyUSB0 3>"});
  EXPECT_EQ(world.notice.beeps, 0);
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(SerialLinkTest, EachFailedOpeningStepBeepsAndShowsItsMessage) {
  struct Case {
    SerialOpenStep step;
    const char* message;  // nullptr: nobody is told
  };
  const Case cases[] = {
      {SerialOpenStep::kOpen, " 通信ポート接続失敗"},
      {SerialOpenStep::kReadSettings, "通信パラメータ取得失敗"},
      {SerialOpenStep::kWriteSettings, "通信ポート設定セット失敗"},
      {SerialOpenStep::kLineControl, "RTS、DTR信号設定失敗"},
      {SerialOpenStep::kReadTimeouts, "タイムアウト値取得失敗"},
      {SerialOpenStep::kWriteTimeouts, "タイムアウト値セット失敗"},
      {SerialOpenStep::kBadProfile, nullptr},
  };
  for (const Case& c : cases) {
    RecordingWorld world;
    MainState state;
    SerialLink link{device, state, world.services()};
    link.ListSerialPorts();
    device.failAt = c.step;
    EXPECT_FALSE(link.OpenSerialPort(0));
    if (c.message == nullptr) {
      EXPECT_EQ(world.notice.beeps, 0);
      EXPECT_TRUE(world.notice.errors.empty());
    } else {
      EXPECT_EQ(world.notice.beeps, 1) << c.message;
      EXPECT_EQ(world.notice.errors, std::vector<std::string>{c.message});
    }
  }
}

TEST_F(SerialLinkTest, AnIndexPastTheListOrNoPortsFailsLikeAnAbsentPort) {
  for (const int index : {2, -1}) {
    state.ComPortIndex = index;
    EXPECT_FALSE(link.OpenSerialPort(0));
  }
  device.ports.clear();
  link.ListSerialPorts();
  EXPECT_TRUE(state.ComboBox2Items.empty());
  state.ComPortIndex = 0;
  EXPECT_FALSE(link.OpenSerialPort(0));
  EXPECT_EQ(world.notice.errors, std::vector<std::string>(3, " 通信ポート接続失敗"));
  EXPECT_EQ(world.notice.beeps, 3);

  // Writes to the port that did not open go nowhere and return at once.
  link.WriteSerialText("H100\r\n");
  EXPECT_EQ(device.Written(), "");
  EXPECT_EQ(trace.written, std::vector<std::size_t>{0});
  EXPECT_LE(device.polls, 1);
}

TEST_F(SerialLinkTest, AByteWaitsWithTheWindowRunningWhile259OrMoreAreQueued) {
  ASSERT_TRUE(link.OpenSerialPort(0));
  device.queueScript = {259, 300, 259, 258};
  std::vector<std::size_t> writtenAtPump;
  world.pump.onPump = [&] { writtenAtPump.push_back(device.Written().size()); };
  link.WriteSerialBytes("AB");
  EXPECT_EQ(device.Written(), "AB");
  // A poll and a pump before every byte; nothing goes out until the queue drops below 259.
  EXPECT_EQ(device.polls, 5);
  EXPECT_EQ(writtenAtPump, (std::vector<std::size_t>{0, 0, 0, 0, 1}));
}

TEST_F(SerialLinkTest, TextsAreCutAt1001Characters) {
  ASSERT_TRUE(link.OpenSerialPort(0));
  link.WriteSerialText(std::string(1200, 'x'));
  EXPECT_EQ(device.Written(), std::string(1001, 'x'));
}

TEST_F(SerialLinkTest, KeyedTextsSleepBeforeEachCharacter) {
  ASSERT_TRUE(link.OpenSerialPort(0));
  std::vector<std::int64_t> writtenAt;
  device.onWrite = [&](std::uint8_t) { writtenAt.push_back(world.clock.now); };
  link.WriteSerialText("KEY", 15);
  EXPECT_EQ(device.Written(), "KEY");
  EXPECT_EQ(writtenAt, (std::vector<std::int64_t>{15, 30, 45}));
}

TEST_F(SerialLinkTest, AQueueThatNeverDrainsEndsTheCommandAfterTheWriteTimeOut) {
  ASSERT_TRUE(link.OpenSerialPort(0));
  device.queueScript = {0};
  device.queueCount = 300;
  link.WriteSerialText("ABC");
  EXPECT_EQ(device.Written(), "A");
  EXPECT_GE(world.clock.now, kByteWriteTimeoutMs);
  EXPECT_LE(world.clock.now, kByteWriteTimeoutMs + 10);
  EXPECT_GT(world.pump.count, 1000);  // the window kept working the whole time
  EXPECT_EQ(trace.written, std::vector<std::size_t>{1});
  EXPECT_TRUE(link.PortLost());

  // Lost: the following commands are dropped at once, not each after a bound of its own.
  const std::int64_t gaveUp = world.clock.now;
  device.queueCount = 0;
  link.WriteSerialText("DE");
  link.WriteSerialBytes("FG");
  EXPECT_EQ(device.Written(), "A");
  EXPECT_EQ(world.clock.now, gaveUp);
  EXPECT_EQ(trace.written, (std::vector<std::size_t>{1, 0, 0}));

  // Opening the port again (or clearing the state) gives the next command a fresh chance.
  ASSERT_TRUE(link.OpenSerialPort(0));
  EXPECT_FALSE(link.PortLost());
  link.WriteSerialText("DE");
  EXPECT_EQ(device.Written(), "ADE");
  device.queueCount = 300;
  link.WriteSerialText("H");
  ASSERT_TRUE(link.PortLost());
  link.ClearPortLost();
  device.queueCount = 0;
  link.WriteSerialText("I");
  EXPECT_EQ(device.Written(), "ADEI");
}

TEST_F(SerialLinkTest, AnUnpluggedPortEndsEachCommandAtOnce) {
  ASSERT_TRUE(link.OpenSerialPort(0));
  device.unplugAfterBytes = 2;
  link.WriteSerialText("ABCD");
  link.WriteSerialBytes(std::string("\xFE\xFE", 2));
  EXPECT_EQ(device.Written(), "AB");
  EXPECT_EQ(trace.written, (std::vector<std::size_t>{2, 0}));
  EXPECT_EQ(world.clock.now, 0);
  EXPECT_TRUE(link.PortLost());
}

TEST_F(SerialLinkTest, RateChangesReachTheDeviceAndTheTrace) {
  ASSERT_TRUE(link.OpenSerialPort(1));
  link.SetLineRate(38400);
  link.CloseSerialPort();
  EXPECT_EQ(device.log,
            (std::vector<std::string>{"<open /dev/ttyS0 1>", "<rate 38400>", "<close>"}));
  EXPECT_EQ(trace.rates, std::vector<int>{38400});
}

}  // namespace
}  // namespace tarvo
