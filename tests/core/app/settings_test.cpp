#include "core/app/settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/recorders.h"
#include "support/settings_file.h"

namespace tarvo {
namespace {

class SettingsTest : public ::testing::Test, protected testing::TempSettingsFile {
 protected:
  MainState Loaded() {
    MainState s;
    LoadSettings(s, path, notice);
    return s;
  }

  testing::RecordingNotice notice;
};

constexpr const char* kFreshFile =
    "[RS232C]\nComp=0\nICOM=4A\nCom=0\nRig=2\nRigPort=localhost:4532\nRigRate=0\n"
    "[WAVE]\nInpDev=0\nOutDev=0\nAudioOut=0\nOutLevel=0\nInputL=1\nDecode=1\nDecInv=0\nDemp=0\n"
    "SampleRate=0\n"
    "[DSP]\nInGain=0\nSQL=5000\nOutGain=0\nOutBPF=1\nOutBEF=0\nDemod=0\n"
    "[Etc]\nFreq=850.00000\nTop=0\nInterval=15\n"
    "[Form]\nTop=0\nLeft=0\n";

TEST_F(SettingsTest, FirstStartWithoutAFileUsesTheDefaultsAndTheFirstSaveWritesThemInOrder) {
  const MainState s = Loaded();
  EXPECT_EQ(s.RadioModel, 0);
  EXPECT_EQ(s.Edit5.text, "4A");
  EXPECT_EQ(s.TrackBar1.position, 0);
  EXPECT_EQ(s.TrackBar4.position, 5000);
  EXPECT_EQ(s.TrackBar3.position, 0);
  EXPECT_EQ(s.TrackBar2.position, 0);  // the default, not the layout's 80
  EXPECT_TRUE(s.CheckBox4.checked);
  EXPECT_FALSE(s.CheckBox5.checked);
  EXPECT_FALSE(s.CheckBox2.checked);
  EXPECT_EQ(s.ControlFrequencyText, "850.00000");
  EXPECT_FALSE(s.AlwaysOnTop);
  EXPECT_TRUE(s.CheckBox1.checked);
  EXPECT_EQ(s.CommandInterval, 15);
  EXPECT_TRUE(s.WaveOutput);
  EXPECT_TRUE(s.LeftChannel);
  EXPECT_TRUE(s.McAccessSelected());
  EXPECT_EQ(s.Demod, Demodulation::kExact);
  EXPECT_EQ(s.FormTop, 0);
  EXPECT_EQ(s.FormLeft, 0);
  EXPECT_EQ(s.RigModel, 2);
  EXPECT_EQ(s.RigPort, "localhost:4532");
  EXPECT_EQ(s.RigRate, 0);
  EXPECT_TRUE(notice.errors.empty());

  ASSERT_TRUE(SaveSettings(s, path, notice));
  EXPECT_EQ(Contents(), kFreshFile);
}

TEST_F(SettingsTest, ValuesAreReadByTheIntegerBooleanAndSliderRules) {
  struct Case {
    const char* line;  // section and key=value
    std::function<bool(const MainState&)> holds;
  };
  const Case cases[] = {
      {"[DSP]\nSQL=20000", [](auto& s) { return s.TrackBar4.position == 15000; }},
      {"[DSP]\nInGain=-99", [](auto& s) { return s.TrackBar1.position == -20; }},
      {"[WAVE]\nOutLevel=300", [](auto& s) { return s.TrackBar2.position == 255; }},
      {"[RS232C]\nComp=0x2", [](auto& s) { return s.RadioModel == 2; }},
      {"[RS232C]\nComp=0X1a", [](auto& s) { return s.RadioModel == 26; }},
      {"[RS232C]\nComp=0x", [](auto& s) { return s.RadioModel == 0; }},
      {"[RS232C]\nComp=abc", [](auto& s) { return s.RadioModel == 0; }},
      {"[RS232C]\nComp=3x", [](auto& s) { return s.RadioModel == 0; }},
      {"[RS232C]\nCom=-2", [](auto& s) { return s.ComPortIndex == -2; }},  // not range-checked
      {"[Etc]\nInterval=99999999999", [](auto& s) { return s.CommandInterval == 15; }},
      // Slept before every keystroke on the window thread: held to 0..1000 ms.
      {"[Etc]\nInterval=600000", [](auto& s) { return s.CommandInterval == 1000; }},
      {"[Etc]\nInterval=1000", [](auto& s) { return s.CommandInterval == 1000; }},
      {"[Etc]\nInterval=-5", [](auto& s) { return s.CommandInterval == 0; }},
      {"[WAVE]\nDecode=2", [](auto& s) { return s.McAccessSelected(); }},
      {"[WAVE]\nDecode=0", [](auto& s) { return !s.McAccessSelected(); }},
      {"[WAVE]\nDecode=yes", [](auto& s) { return s.McAccessSelected(); }},
      {"[DSP]\nOutBPF=no", [](auto& s) { return s.CheckBox4.checked; }},
      {"[DSP]\nDemod=1", [](auto& s) { return s.Demod == Demodulation::kRobust; }},
      {"[DSP]\nDemod=2", [](auto& s) { return s.Demod == Demodulation::kExact; }},  // unknown
      {"[WAVE]\nAudioOut=1", [](auto& s) { return !s.WaveOutput; }},
      {"[WAVE]\nInputL=0", [](auto& s) { return !s.LeftChannel; }},
      {"[Etc]\nTop=1", [](auto& s) { return s.AlwaysOnTop && s.CheckBox1.checked; }},
      {"[Form]\nTop=1", [](auto& s) { return !s.AlwaysOnTop && s.FormTop == 1; }},
      {"[Etc]\nFreq=851.01250", [](auto& s) { return s.ControlFrequencyText == "851.01250"; }},
  };
  for (const Case& c : cases) {
    Put(std::string(c.line) + "\n");
    EXPECT_TRUE(c.holds(Loaded())) << c.line;
  }
  EXPECT_TRUE(notice.errors.empty());
}

TEST_F(SettingsTest, FrequencyThatIsNotANumberIsReportedAndReplaced) {
  Put("[Etc]\nFreq=85O.0\n");
  EXPECT_EQ(Loaded().ControlFrequencyText, "850.00000");
  ASSERT_EQ(notice.errors.size(), 1u);
  EXPECT_NE(notice.errors[0].find(path.string()), std::string::npos);
  EXPECT_NE(notice.errors[0].find("'85O.0'"), std::string::npos);
}

TEST_F(SettingsTest, EverySettingComesBackAfterASave) {
  MainState s;
  s.RadioModel = 6;
  s.Edit5.text = "5C";
  s.ComPortIndex = 2;
  s.InputDevice = 3;
  s.OutputDevice = 4;
  s.TrackBar1.position = -7;
  s.TrackBar4.position = 12000;
  s.TrackBar3.position = 9;
  s.CheckBox4.checked = false;
  s.CheckBox5.checked = true;
  s.ControlFrequencyText = "851.00625";
  s.AlwaysOnTop = true;
  s.CommandInterval = 30;
  s.WaveOutput = false;
  s.TrackBar2.position = 200;
  s.LeftChannel = false;
  s.Decoder = DecoderType::kJsmr;
  s.CheckBox3.checked = true;
  s.CheckBox2.checked = true;
  s.SampleRateIndex = 2;
  s.FormTop = 120;
  s.FormLeft = -5;
  s.RigModel = 3073;
  s.RigPort = "/dev/ttyUSB1";
  s.RigRate = 19200;
  s.Demod = Demodulation::kRobust;
  ASSERT_TRUE(SaveSettings(s, path, notice));
  const MainState r = Loaded();
  EXPECT_EQ(r.RadioModel, 6);
  EXPECT_EQ(r.Edit5.text, "5C");
  EXPECT_EQ(r.ComPortIndex, 2);
  EXPECT_EQ(r.InputDevice, 3);
  EXPECT_EQ(r.OutputDevice, 4);
  EXPECT_EQ(r.TrackBar1.position, -7);
  EXPECT_EQ(r.TrackBar4.position, 12000);
  EXPECT_EQ(r.TrackBar3.position, 9);
  EXPECT_FALSE(r.CheckBox4.checked);
  EXPECT_TRUE(r.CheckBox5.checked);
  EXPECT_EQ(r.ControlFrequencyText, "851.00625");
  EXPECT_TRUE(r.AlwaysOnTop);
  EXPECT_EQ(r.CommandInterval, 30);
  EXPECT_FALSE(r.WaveOutput);
  EXPECT_EQ(r.TrackBar2.position, 200);
  EXPECT_FALSE(r.LeftChannel);
  EXPECT_FALSE(r.McAccessSelected());
  EXPECT_TRUE(r.CheckBox3.checked);
  EXPECT_TRUE(r.CheckBox2.checked);
  EXPECT_EQ(r.SampleRateIndex, 2);
  EXPECT_EQ(r.FormTop, 120);
  EXPECT_EQ(r.FormLeft, -5);
  EXPECT_EQ(r.RigModel, 3073);
  EXPECT_EQ(r.RigPort, "/dev/ttyUSB1");
  EXPECT_EQ(r.RigRate, 19200);
  EXPECT_EQ(r.Demod, Demodulation::kRobust);
}

// A file written before the rig keys existed: every old value reads as it did, the rig keys
// take their defaults, and a save only adds them at the end of [RS232C].
TEST_F(SettingsTest, AFileWithoutTheRigKeysReadsAsBeforeAndGainsThemAtTheEndOfItsSection) {
  const std::string before =
      "[RS232C]\nComp=7\nICOM=E0\nCom=1\n"
      "[WAVE]\nInpDev=2\nOutDev=1\nAudioOut=1\nOutLevel=80\nInputL=0\nDecode=0\nDecInv=1\n"
      "Demp=1\nSampleRate=2\n"
      "[DSP]\nInGain=-3\nSQL=4000\nOutGain=5\nOutBPF=0\nOutBEF=1\n"
      "[Etc]\nFreq=851.01250\nTop=1\nInterval=20\n"
      "[Form]\nTop=40\nLeft=50\n";
  Put(before);
  const MainState s = Loaded();
  EXPECT_EQ(s.RadioModel, 7);
  EXPECT_EQ(s.Edit5.text, "E0");
  EXPECT_EQ(s.ComPortIndex, 1);
  EXPECT_EQ(s.RigModel, 2);
  EXPECT_EQ(s.RigPort, "localhost:4532");
  EXPECT_EQ(s.RigRate, 0);
  ASSERT_TRUE(SaveSettings(s, path, notice));
  std::string after = before;
  after.insert(after.find("[WAVE]"), "Rig=2\nRigPort=localhost:4532\nRigRate=0\n");
  after.insert(after.find("[Etc]"), "Demod=0\n");
  EXPECT_EQ(Contents(), after);
}

TEST_F(SettingsTest, SaveKeepsWhatElseTheFileHolds) {
  Put("; my receiver\n"
      "[Notes]\n"
      "Antenna = discone\n"
      "\n"
      "[Etc]\n"
      "Freq = 851.01250\n"
      "Colour=red\n"
      "\n");
  ASSERT_TRUE(SaveSettings(Loaded(), path, notice));
  const std::string text = Contents();
  EXPECT_EQ(text.rfind("; my receiver\n[Notes]\nAntenna = discone\n\n[Etc]\nFreq=851.01250\n"
                       "Colour=red\nTop=0\nInterval=15\n\n[RS232C]\n",
                       0),
            0u)
      << text;
  EXPECT_EQ(Loaded().ControlFrequencyText, "851.01250");
}

TEST_F(SettingsTest, ByteOrderMarkAndEveryLineEndAreRead) {
  for (const char* newline : {"\n", "\r\n", "\r"}) {
    const std::string nl = newline;
    const std::string text = "\xEF\xBB\xBF[RS232C]" + nl + "Comp=3" + nl + "[Etc]" + nl +
                             "Freq=851.01250" + nl + "Interval=40" + nl;
    Put(text);
    const MainState s = Loaded();
    EXPECT_EQ(s.RadioModel, 3) << text;
    EXPECT_EQ(s.ControlFrequencyText, "851.01250") << text;
    EXPECT_EQ(s.CommandInterval, 40) << text;
    // The save finds the sections it read instead of appending second ones.
    ASSERT_TRUE(SaveSettings(s, path, notice));
    const std::string saved = Contents();
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF[RS232C]" + nl + "Comp=3" + nl + "ICOM=4A" + nl, 0), 0u)
        << saved;
    EXPECT_EQ(saved.find("[RS232C]"), saved.rfind("[RS232C]")) << saved;
    EXPECT_EQ(saved.find("[Etc]"), saved.rfind("[Etc]")) << saved;
  }
}

TEST_F(SettingsTest, ReadOnlyFileIsRefusedAndLeftAsItWas) {
  Put(kFreshFile);
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  MainState s;
  s.RadioModel = 5;
  EXPECT_FALSE(SaveSettings(s, path, notice));
  ASSERT_EQ(notice.errors.size(), 1u);
  EXPECT_NE(notice.errors[0].find(path.string()), std::string::npos);
  EXPECT_EQ(Contents(), kFreshFile);
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
}

TEST_F(SettingsTest, SaveWritesThroughALinkAndKeepsTheMode) {
  const std::filesystem::path real = dir.path() / "real.ini";
  testing::WriteBytes(real, "[Etc]\nFreq=851.01250\n");
  std::filesystem::permissions(
      real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink("real.ini", path);
  ASSERT_TRUE(SaveSettings(Loaded(), path, notice));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(testing::ReadBytes(real).rfind("[Etc]\nFreq=851.01250\nTop=0\nInterval=15\n", 0), 0u);
  EXPECT_EQ(std::filesystem::status(real).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_FALSE(std::filesystem::exists(real.string() + ".tmp"));
}

TEST_F(SettingsTest, RefusedWriteNamesTheFileAndAbandonsTheClose) {
  Put("x");
  const std::filesystem::path blocked = path / "tarvo.ini";  // under a regular file
  EXPECT_FALSE(SaveSettings(MainState{}, blocked, notice));
  ASSERT_EQ(notice.errors.size(), 1u);
  EXPECT_NE(notice.errors[0].find(blocked.string()), std::string::npos);
}

}  // namespace
}  // namespace tarvo
