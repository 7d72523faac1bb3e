#include "core/audio/capture_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/audio/block_sequencer.h"
#include "core/audio/sound_path.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

class FakeCaptureDevice : public CaptureDevice {
 public:
  bool Open(int deviceIndex, int rate, int framesPerBlock, BlockRing& r) override {
    opens.push_back({deviceIndex, rate, framesPerBlock});
    ring = &r;
    return succeed;
  }
  void Close() override { ++closes; }
  bool Failed() override { return failed; }

  // What the device's thread does for one recorded block: every sample holds value.
  void Record(std::int16_t value) {
    const std::vector<std::int16_t> block(ring->SlotSamples(), value);
    ring->Write(block.data(), static_cast<int>(block.size()));
  }

  struct OpenCall {
    int device, rate, frames;
    bool operator==(const OpenCall&) const = default;
  };
  bool succeed = true;
  bool failed = false;
  std::vector<OpenCall> opens;
  int closes = 0;
  BlockRing* ring = nullptr;
};

class CaptureInputTest : public ::testing::Test {
 protected:
  MainState state;
  testing::RecordingWorld world;
  FakeCaptureDevice device;
  CaptureInput input{state, world.services(), device};
  std::vector<int> processed;  // first sample of each processed block
  CaptureBlockHandler record = [this](const std::int16_t* frames, int count) {
    EXPECT_EQ(count, 1024);
    processed.push_back(frames[0]);
  };
};

TEST_F(CaptureInputTest, OpensTheChosenDeviceAndHandsOverBlocksInOrder) {
  state.InputDevice = 2;
  input.OpenCaptureInput(22050, 1024);
  EXPECT_EQ(device.opens, (std::vector<FakeCaptureDevice::OpenCall>{{2, 22050, 1024}}));
  EXPECT_EQ(device.ring->Slots(), 32);
  EXPECT_EQ(device.ring->SlotSamples(), 2048);
  device.Record(1);
  device.Record(2);
  EXPECT_TRUE(input.TakeBlock(record));
  EXPECT_TRUE(input.TakeBlock(record));
  EXPECT_FALSE(input.TakeBlock(record));
  EXPECT_EQ(processed, (std::vector<int>{1, 2}));
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(CaptureInputTest, OpenFailureBeepsShowsTheTwoLinesAndDeliversNothing) {
  device.succeed = false;
  input.OpenCaptureInput(11025, 512);
  EXPECT_FALSE(input.IsOpen());
  EXPECT_EQ(world.notice.beeps, 1);
  EXPECT_EQ(world.notice.errors,
            std::vector<std::string>{
                "録音デバイスをオープンできないためプログラムの実行ができません\n"
                "デバイスが使用中か録音フォーマットに対応していない可能性があります"});
  device.Record(5);  // a stray write from the failed device must not reach the decoder
  EXPECT_FALSE(input.TakeBlock(record));
  input.CloseCaptureInput();
  EXPECT_EQ(device.closes, 0);
}

TEST_F(CaptureInputTest, CloseIsSafeTwiceAndDropsWaitingBlocks) {
  input.OpenCaptureInput(22050, 1024);
  device.Record(7);
  input.CloseCaptureInput();
  input.CloseCaptureInput();
  EXPECT_EQ(device.closes, 1);
  EXPECT_FALSE(input.TakeBlock(record));
  input.OpenCaptureInput(22050, 1024);
  EXPECT_FALSE(input.TakeBlock(record));
}

TEST_F(CaptureInputTest, ReopenWhileABlockIsProcessedKeepsTheNewRecordingIntact) {
  input.OpenCaptureInput(22050, 1024);
  device.Record(1);
  // The handler pumps events and the device dialog re-opens the input meanwhile.
  EXPECT_TRUE(input.TakeBlock([&](const std::int16_t* frames, int count) {
    record(frames, count);
    input.CloseCaptureInput();
    input.OpenCaptureInput(22050, 1024);
    device.Record(2);
  }));
  EXPECT_TRUE(input.TakeBlock(record));
  EXPECT_EQ(processed, (std::vector<int>{1, 2}));
}

// The lost and back events' states, in order.
std::vector<std::string> SoundStates(const testing::RecordingWorld& world) {
  std::vector<std::string> states;
  for (const auto& e : world.eventLog.Of("sound")) {
    EXPECT_EQ(e.device, "input 2");
    states.push_back(e.state);
  }
  return states;
}

TEST_F(CaptureInputTest, AFailedRecordingIsReopenedWithTheSameChoiceUntilItIsBack) {
  state.InputDevice = 2;
  input.OpenCaptureInput(22050, 1024);
  device.Record(1);
  EXPECT_TRUE(input.TakeBlock(record));
  EXPECT_FALSE(input.Supervise());  // recording: nothing to do

  device.failed = true;
  device.Record(2);  // a block still waiting is dropped with the recording
  EXPECT_TRUE(input.Supervise());
  EXPECT_TRUE(input.Lost());
  EXPECT_EQ(device.closes, 1);
  EXPECT_FALSE(input.TakeBlock(record));

  device.succeed = false;
  device.failed = false;
  EXPECT_FALSE(input.Supervise());
  EXPECT_FALSE(input.Supervise());
  EXPECT_TRUE(input.Lost());
  device.succeed = true;
  EXPECT_TRUE(input.Supervise());
  EXPECT_FALSE(input.Lost());
  device.Record(3);
  EXPECT_TRUE(input.TakeBlock(record));

  EXPECT_EQ(processed, (std::vector<int>{1, 3}));
  EXPECT_EQ(device.opens, std::vector<FakeCaptureDevice::OpenCall>(4, {2, 22050, 1024}));
  EXPECT_EQ(SoundStates(world), (std::vector<std::string>{"lost", "back"}));
  EXPECT_TRUE(world.notice.errors.empty());  // no box while it comes and goes
  EXPECT_EQ(world.notice.beeps, 0);
}

TEST_F(CaptureInputTest, TwoWatchesWithoutABlockCountAsLost) {
  state.InputDevice = 2;
  input.OpenCaptureInput(22050, 1024);
  EXPECT_FALSE(input.Supervise());  // one quiet period: the window thread may have been held up
  device.Record(1);
  EXPECT_TRUE(input.TakeBlock(record));
  EXPECT_FALSE(input.Supervise());
  EXPECT_FALSE(input.Supervise());
  EXPECT_TRUE(input.Supervise());
  EXPECT_TRUE(input.Lost());
  EXPECT_EQ(SoundStates(world), std::vector<std::string>{"lost"});
}

TEST_F(CaptureInputTest, AStartFailureShowsTheBoxOnceThenRetriesSilentlyUntilClosed) {
  state.InputDevice = 2;
  device.succeed = false;
  input.OpenCaptureInput(11025, 512);
  EXPECT_TRUE(input.Lost());
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(input.Supervise());
  EXPECT_EQ(world.notice.errors.size(), 1u);
  EXPECT_EQ(device.opens.size(), 4u);
  device.succeed = true;
  EXPECT_TRUE(input.Supervise());
  EXPECT_EQ(SoundStates(world), (std::vector<std::string>{"failed", "back"}));

  // Closed on purpose (device dialog, shutdown): neither lost nor tried again.
  device.succeed = false;
  input.CloseCaptureInput();
  EXPECT_FALSE(input.Lost());
  EXPECT_FALSE(input.Supervise());
  EXPECT_EQ(device.opens.size(), 5u);
}

TEST(BlockSequencer, BlockAnnouncedDuringProcessingRunsAfterIt) {
  std::vector<std::string> log;
  int next = 0;
  BlockSequencer* self = nullptr;
  BlockSequencer sequencer([&] {
    const int id = ++next;
    log.push_back("start " + std::to_string(id));
    // The first block's handler pumps events twice; each time a new block is announced.
    if (id == 1) {
      self->OnBlockReady();
      self->OnBlockReady();
      EXPECT_EQ(self->Pending(), 2);
    }
    log.push_back("end " + std::to_string(id));
  });
  self = &sequencer;
  sequencer.OnBlockReady();
  EXPECT_EQ(log,
            (std::vector<std::string>{"start 1", "end 1", "start 2", "end 2", "start 3", "end 3"}));
  EXPECT_EQ(sequencer.Pending(), 0);
}

TEST(BlockSequencer, AThrowingHandlerDoesNotStopLaterBlocks) {
  int calls = 0;
  BlockSequencer sequencer([&] {
    if (++calls == 1) throw std::runtime_error("conversion");
  });
  EXPECT_THROW(sequencer.OnBlockReady(), std::runtime_error);
  sequencer.OnBlockReady();
  EXPECT_EQ(calls, 2);
}

TEST(SoundPath, OpensOutputBeforeInputAtTheSelectedRateAndRunsEachBlockOnce) {
  MainState state;
  state.SampleRateIndex = 2;
  testing::RecordingWorld world;
  FakeCaptureDevice capture;
  SilentOutputDevice output;
  const FilterDesigns designs = ComputeFilterDesigns();
  std::vector<int> processed;
  SoundPath path(state, designs, world.services(), capture, output,
                 [&](const std::int16_t* frames, int count) {
                   EXPECT_EQ(count, 2048);
                   processed.push_back(frames[0]);
                 });
  path.Devices().SelectCaptureRate();
  path.Devices().OpenMonitorOutput();
  path.Devices().OpenCaptureInput();
  EXPECT_TRUE(path.Monitor().IsOpen());
  EXPECT_EQ(capture.opens, (std::vector<FakeCaptureDevice::OpenCall>{{0, 44100, 2048}}));
  capture.Record(3);
  capture.Record(4);
  path.OnBlockReady();
  path.OnBlockReady();
  path.OnBlockReady();  // a notification with no block behind it does nothing
  EXPECT_EQ(processed, (std::vector<int>{3, 4}));
}

}  // namespace
}  // namespace tarvo
