#include "core/app/tarvo_core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/comma_locale.h"
#include "support/fake_serial_device.h"
#include "support/jsmr_modulator.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

class TarvoCoreTest : public ::testing::Test {
 protected:
  TarvoCoreTest() {
    timer1.clock = &world.clock;
    timer2.clock = &world.clock;
    serial.ports = {{"ttyS0", "/dev/ttyS0"}};
  }
  void PutSettings(const std::string& text) { std::ofstream(dir.path() / "tarvo.ini") << text; }
  Platform MakePlatform() {
    Platform p;
    p.notice = &world.notice;
    p.pump = &world.pump;
    p.clock = &world.clock;
    p.timer1 = &timer1;
    p.timer2 = &timer2;
    p.files = FilesBesideProgram(dir.path() / "tarvo");
    p.raisePriority = [this] { ++raised; };
    p.receiver = &world.receiver;
    p.monitor = &world.monitor;
    p.serialDevice = &serial;
    return p;
  }

  testing::TempDir dir;
  testing::RecordingWorld world;
  testing::FakeTimer timer1;
  testing::FakeTimer timer2;
  testing::FakeSerialDevice serial;
  int raised = 0;
};

TEST_F(TarvoCoreTest, FirstStartWithoutSettings) {
  TarvoCore core(MakePlatform());
  core.Start();
  const MainState& s = core.State();
  EXPECT_EQ(s.ControlFrequencyText, "850.00000");
  EXPECT_EQ(s.ControlFrequency, 850.0);
  EXPECT_TRUE(s.McAccessSelected());
  EXPECT_EQ(s.McAccessChannelStep, 0.0125);
  EXPECT_FALSE(s.AlwaysOnTop);
  EXPECT_TRUE(s.CheckBox1.checked);
  EXPECT_EQ(s.RadioModel, 0);
  EXPECT_EQ(s.Edit5.text, "4A");
  EXPECT_TRUE(s.Edit5.enabled);
  EXPECT_FALSE(s.CheckBox3.enabled);
  EXPECT_TRUE(s.CheckBox4.enabled);
  EXPECT_FALSE(s.TrackBar2.enabled);
  EXPECT_EQ(s.ToneThreshold, 5000.0);
  EXPECT_EQ(s.MonitorGain, 1.0);
  EXPECT_EQ(s.FreqListPath, (dir.path() / "freqlist.txt").string());
  EXPECT_EQ(s.FormHeight, 135);
  EXPECT_EQ(world.pump.count, 1);
  EXPECT_EQ(raised, 1);
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(TarvoCoreTest, StartDerivesStateFromTheLoadedSettings) {
  PutSettings(
      "[RS232C]\nComp=2\n[WAVE]\nDecode=0\nDecInv=1\nAudioOut=1\n[DSP]\nOutGain=20\nSQL=7000\n"
      "[Etc]\nFreq=850.00000\nTop=1\n");
  TarvoCore core(MakePlatform());
  core.Start();
  const MainState& s = core.State();
  EXPECT_FALSE(s.Edit5.enabled);
  EXPECT_EQ(s.DecoderPolarity, -1.0);
  EXPECT_TRUE(s.CheckBox3.enabled);
  EXPECT_EQ(s.RasterOffset, 0.0125);
  EXPECT_TRUE(s.AlwaysOnTop);
  EXPECT_EQ(s.ToneThreshold, 7000.0);
  EXPECT_EQ(s.MonitorGain, 10.0);
  EXPECT_FALSE(s.TrackBar3.enabled);
  EXPECT_TRUE(s.TrackBar2.enabled);
}

TEST_F(TarvoCoreTest, DamagedFrequencyDoesNotStopTheStart) {
  PutSettings("[Etc]\nFreq=abc\n");
  TarvoCore core(MakePlatform());
  core.Start();
  EXPECT_EQ(core.State().ControlFrequencyText, "850.00000");
  EXPECT_EQ(core.State().McAccessChannelStep, 0.0125);
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_NE(world.notice.errors[0].find("tarvo.ini"), std::string::npos);
}

TEST_F(TarvoCoreTest, StoredListedAndTypedFrequenciesReadTheSameUnderACommaDecimalLocale) {
  TARVO_UNDER_COMMA_DECIMAL_LOCALE(locale);
  PutSettings("[WAVE]\nDecode=0\n[Etc]\nFreq=851.0125\n");
  std::ofstream(dir.path() / "freqlist.txt") << "852.01250MHz list\r\n";
  TarvoCore core(MakePlatform());
  core.Start();
  EXPECT_EQ(core.State().ControlFrequency, 851.0125);

  FrequencySelection& window = core.FrequencyWindow();
  window.Create();
  window.ListBox1Click(0);
  core.Handlers().SpeedButton1Click(true);
  EXPECT_EQ(core.State().ControlFrequency, 852.0125);

  for (char key : std::string("853.0125")) window.KeypadKeyClick(key);
  window.Button15Click();
  EXPECT_EQ(core.State().ControlFrequencyText, "853.01250");
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(TarvoCoreTest, StartOpensTheChosenPortForTheModelAndDestroyClosesIt) {
  serial.ports = {{"ttyS0", "/dev/ttyS0"}, {"ttyUSB1", "/dev/ttyUSB1"}};
  PutSettings("[RS232C]\nComp=4\nCom=1\n");
  TarvoCore core(MakePlatform());
  core.Start();
  EXPECT_EQ(core.State().ComboBox2Items, (std::vector<std::string>{"ttyS0", "ttyUSB1"}));
  ASSERT_EQ(serial.log.size(), 2u);
  EXPECT_EQ(serial.log[0], "<open /dev/ttyUSB1 0>");  // DJ-X2000: 9600 baud, two stop bits
  EXPECT_FALSE(serial.log[1].empty());                // and its preparation
  serial.ClearLog();
  core.FormDestroy();
  EXPECT_EQ(serial.log, std::vector<std::string>{"<close>"});
}

TEST_F(TarvoCoreTest, ModelChangeReleasesTheOldReceiverAndStartsTheNew) {
  PutSettings("[RS232C]\nComp=7\n");
  TarvoCore core(MakePlatform());
  core.Start();
  serial.ClearLog();
  core.ComboBox1Change(2);
  EXPECT_EQ(serial.log, (std::vector<std::string>{"H100\r\n", "<close>", "<open /dev/ttyS0 0>"}));
  EXPECT_EQ(core.State().RadioModel, 2);
  EXPECT_FALSE(core.State().Edit5.enabled);
}

TEST_F(TarvoCoreTest, CloseReleasesTheReceiverAtTheRadioVolumeAndSaves) {
  struct Case {
    int model;
    std::string sent;
  };
  // "ICOM(PCR)" keeps the volume tracking left it at; the port stays open until destruction.
  const Case cases[] = {{1, "H100\r\n"}, {7, "J405A\r\nH100\r\n"}, {2, "DA000\r\n"}, {4, "Q\r\n"}};
  for (const Case& c : cases) {
    TarvoCore core(MakePlatform());
    core.Start();
    core.State().RadioModel = c.model;
    core.State().TrackBar2.position = 90;
    serial.ClearLog();
    EXPECT_TRUE(core.FormClose());
    EXPECT_EQ(serial.log, std::vector<std::string>{c.sent}) << c.model;
    EXPECT_TRUE(world.receiver.volumes.empty());  // the decoders' receiver is not the port
    std::ifstream saved(dir.path() / "tarvo.ini");
    std::string first;
    std::getline(saved, first);
    EXPECT_EQ(first, "[RS232C]");
  }
}

TEST_F(TarvoCoreTest, CloseIsAbandonedWhenTheSettingsCannotBeWritten) {
  Platform p = MakePlatform();
  std::ofstream(dir.path() / "file") << "x";
  p.files = FilesBesideProgram(dir.path() / "file" / "tarvo");  // its folder is a regular file
  TarvoCore core(p);
  core.Start();
  serial.ClearLog();
  EXPECT_FALSE(core.FormClose());
  ASSERT_EQ(world.notice.errors.size(), 1u);
  EXPECT_NE(world.notice.errors[0].find((dir.path() / "file" / "tarvo.ini").string()),
            std::string::npos);
  EXPECT_FALSE(core.FormClose());  // each try: the error again, and nothing to the receiver
  EXPECT_EQ(world.notice.errors.size(), 2u);
  EXPECT_TRUE(serial.log.empty());
}

TEST_F(TarvoCoreTest, InstalledProgramReadsAndWritesInTheUsersConfigFolder) {
  FileLocationFacts facts;
  facts.programPath = "/usr/bin/tarvo";
  facts.xdgConfigHome = (dir.path() / "config").string();
  facts.home = dir.path().string();
  Platform p = MakePlatform();
  p.files = LocateFiles(facts);
  TarvoCore core(p);
  core.Start();
  EXPECT_EQ(core.State().FreqListPath, (dir.path() / "config/tarvo/freqlist.txt").string());
  EXPECT_EQ(core.State().ShippedFreqListPaths,
            (std::vector<std::string>{"/usr/bin/freqlist.txt", "/usr/share/tarvo/freqlist.txt"}));
  // The folder does not exist yet: the first close makes it.
  EXPECT_TRUE(core.FormClose());
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "config/tarvo/tarvo.ini"));
  EXPECT_TRUE(world.notice.errors.empty());
}

TEST_F(TarvoCoreTest, HandlersDriveThePlatformTimers) {
  TarvoCore core(MakePlatform());
  core.Start();
  core.State().Timer2.SetInterval(60000);
  EXPECT_TRUE(timer2.Running());
  core.Handlers().SpeedButton1Click(true);
  EXPECT_FALSE(timer2.Running());
  ASSERT_EQ(world.receiver.tunes.size(), 1u);
}

// A recording that can die on request and come back when opened again.
class DyingCapture : public CaptureDevice {
 public:
  bool Open(int, int, int, BlockRing&) override {
    ++opens;
    failed = false;
    return true;
  }
  void Close() override {}
  bool Failed() override { return failed; }
  int opens = 0;
  bool failed = false;
};

class CountingOutput : public SoundOutputDevice {
 public:
  OpenResult Open(int) override {
    ++opens;
    return OpenResult::kOk;
  }
  void QueueBlock(const std::int16_t*) override {}
  void Close() override { ++closes; }
  int opens = 0;
  int closes = 0;
};

TEST_F(TarvoCoreTest, TheSoundWatchRunsFromStartToDestroyAndReopensADeadInputAndTheOutput) {
  testing::FakeTimer watch;
  watch.clock = &world.clock;
  DyingCapture capture;
  CountingOutput output;
  Platform p = MakePlatform();
  p.capture = &capture;
  p.soundOutput = &output;
  p.soundWatch = &watch;
  TarvoCore core(p);
  testing::RecordingEventSink events;
  core.Events().AddSink(&events);
  int repaints = 0;
  core.SetBlockListener([&] { ++repaints; });
  core.Start();
  EXPECT_EQ(watch.period, 2000);

  capture.failed = true;
  world.clock.now += 2000;
  watch.Advance([&] { core.SoundWatchTimer(); });
  EXPECT_TRUE(core.SoundInputLost());
  world.clock.now += 2000;
  watch.Advance([&] { core.SoundWatchTimer(); });
  EXPECT_FALSE(core.SoundInputLost());
  EXPECT_EQ(capture.opens, 2);
  EXPECT_EQ(output.opens, 2);  // the server that went away took the output with it
  EXPECT_EQ(output.closes, 1);
  EXPECT_EQ(repaints, 2);  // the view shows both changes
  ASSERT_EQ(events.Of("sound").size(), 2u);
  EXPECT_EQ(events.Of("sound")[0].state, "lost");
  EXPECT_EQ(events.Of("sound")[1].state, "back");

  core.FormDestroy();
  EXPECT_FALSE(watch.Running());
  EXPECT_TRUE(world.notice.errors.empty());
}

// Either demodulator the settings choose feeds the core's one interpreter.
TEST_F(TarvoCoreTest, JsmrDecoderFollowsCallsThroughTheCoresInterpreterWithEitherDemodulator) {
  struct Case {
    const char* settings;
    Demodulation demod;
    int idle;
    int blocks;
    int lineBlocks;  // blocks counted on the line by the end; -1 not checked
  };
  const Case cases[] = {
      {"", Demodulation::kExact, 30, 3, 2},
      {"[WAVE]\nDecode=0\n[DSP]\nDemod=1\n", Demodulation::kRobust, 60, 4, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    world.receiver.tunes.clear();
    PutSettings(c.settings);
    TarvoCore core(MakePlatform());
    core.Start();
    core.State().Decoder = DecoderType::kJsmr;
    ASSERT_EQ(core.State().Demod, c.demod);
    core.Handlers().SpeedButton1Click(true);
    testing::JsmrModulator air;
    air.QueueIdle(c.idle);
    air.QueueFrame({0x1F, 0x2A, 0, 17});
    air.QueueFrame({0x42, 0x07, 0, 17});
    for (int b = 0; b < c.blocks; ++b) {
      InputBlock block = air.NextBlock();
      core.JsmrDecoder().DecodeBlock(block);
    }
    EXPECT_EQ(core.State().Label6, "2A");
    ASSERT_FALSE(world.receiver.tunes.empty());
    EXPECT_EQ(world.receiver.tunes.back().frequencyText, "850.42500");
    EXPECT_TRUE(core.State().JsmrOnLine);
    if (c.lineBlocks >= 0) {
      EXPECT_EQ(core.Jsmr().JsmrLineBlocks(), c.lineBlocks);
    }
  }
}

TEST_F(TarvoCoreTest, DecodersReachTheFrequencyWindowAndTheEyePattern) {
  TarvoCore core(MakePlatform());
  core.Start();
  core.GetServices().heardLines->AddChList(851.0125);
  EXPECT_EQ(core.FrequencyWindow().ListBox2, std::vector<std::string>{"851.01250MHz"});
  core.Eye().SetShowing(true);
  EXPECT_TRUE(core.GetServices().eye->IsShowing());
  // The list beside the program is read when the window is created, after the main window.
  EXPECT_TRUE(world.notice.errors.empty());
  core.FrequencyWindow().Create();
  EXPECT_EQ(world.notice.errors, std::vector<std::string>{kMissingListMessage});
}

}  // namespace
}  // namespace tarvo
