#include "core/audio/monitor_routing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/audio/monitor_sink.h"
#include "core/radio/receiver.h"

namespace tarvo {
namespace {

// Receiver and monitor in one log, so the order of volume commands and silent blocks shows.
class SoundLog : public Receiver, public MonitorSink {
 public:
  void TuneReceiver(const std::string&, int) override { log.push_back("tune"); }
  void SetReceiverVolume(int level) override { log.push_back("volume " + std::to_string(level)); }
  void WriteMonitorBlock(double*, bool, bool silence) override {
    log.push_back(silence ? "silence" : "audio");
  }
  std::vector<std::string> log;
};

enum class Active { kNone, kMonitor, kVoice, kJsmrLine };

TEST(MonitorRouting, SwitchingRouteSetsControlsAndOnlyTouchesAudioWhileActive) {
  const std::vector<std::string> toWave = {"volume 0", "silence", "silence", "silence", "silence"};
  const std::vector<std::string> toRadio = {"silence", "silence", "silence", "silence",
                                            "volume 120"};
  struct Case {
    bool wave;
    Active active;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {true, Active::kNone, {}},         {false, Active::kNone, {}},
      {true, Active::kMonitor, toWave},  {false, Active::kMonitor, toRadio},
      {true, Active::kVoice, toWave},    {false, Active::kVoice, toRadio},
      {true, Active::kJsmrLine, toWave}, {false, Active::kJsmrLine, toRadio},
  };
  for (const Case& c : cases) {
    MainState state;
    state.TrackBar2.position = 120;
    state.MonitorOn = c.active == Active::kMonitor;
    state.VoiceDetected = c.active == Active::kVoice;
    state.JsmrOnLine = c.active == Active::kJsmrLine;
    state.WaveOutput = c.wave;
    SoundLog sound;
    Services services;
    services.receiver = &sound;
    services.monitor = &sound;
    MonitorRouting routing(state, services);
    if (c.wave) {
      routing.RadioButton1Click();
    } else {
      routing.RadioButton2Click();
    }
    EXPECT_EQ(sound.log, c.expected) << c.wave << static_cast<int>(c.active);
    EXPECT_EQ(state.TrackBar3.enabled, c.wave);
    EXPECT_EQ(state.CheckBox2.enabled, c.wave);
    EXPECT_EQ(state.CheckBox4.enabled, c.wave);
    EXPECT_EQ(state.CheckBox5.enabled, c.wave);
    EXPECT_EQ(state.TrackBar2.enabled, !c.wave);
  }
}

TEST(MonitorRouting, SlidersSetVolumeGainAndToneThreshold) {
  MainState state;
  state.WaveOutput = true;  // the receiver volume follows its slider whatever the routing
  SoundLog sound;
  Services services;
  services.receiver = &sound;
  services.monitor = &sound;
  MonitorRouting routing(state, services);

  state.TrackBar2.position = 200;
  routing.TrackBar2Change();
  EXPECT_EQ(sound.log, std::vector<std::string>{"volume 200"});

  state.TrackBar3.position = -20;
  routing.TrackBar3Change();
  EXPECT_EQ(state.MonitorGain, 0.1);

  state.TrackBar4.position = 12345;
  routing.TrackBar4Change();
  EXPECT_EQ(state.ToneThreshold, 12345.0);
}

}  // namespace
}  // namespace tarvo
