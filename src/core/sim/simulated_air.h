// A simulated MCA system on the air, as a receiver hears it wherever it is tuned: a control
// channel (McAccess or JSMR) announcing calls from a handful of callers, with the call-time limit,
// counters, some data lines and now and then a move of the control channel; each call's line
// carrying voice and its supervision tone for 3 to 10 s; noise everywhere else. What it sends
// depends only on the seed, so a run can be repeated.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "core/base/main_state.h"
#include "core/sim/jsmr_modulator.h"
#include "core/sim/mcaccess_modulator.h"
#include "core/sim/mcaccess_words.h"

namespace tarvo::sim {

// The callers: McAccess IDs are three hex digits, JSMR IDs two.
inline const std::vector<std::string> kMcAccessCallers = {"1A7", "0C4", "2F0", "155", "3E8"};
inline const std::vector<std::string> kJsmrCallers = {"42", "17", "A5", "3C", "6E"};

struct AirOptions {
  DecoderType decoder = DecoderType::kMcAccess;
  int sampleRate = 11025;
  std::uint32_t seed = 1;
  std::string control = "850.00000";  // where the control channel starts
};

// A call on the air, for tests and for the demo's own account of what it sent.
struct SimulatedCall {
  std::string id;
  std::string line;  // five-decimal MHz
  bool dataLine = false;
  double start = 0.0;  // seconds on the air's clock
  double end = 0.0;    // voice ends here (JSMR: then the release tone)
};

class SimulatedAir {
 public:
  explicit SimulatedAir(const AirOptions& options);

  // Where the receiver listens now (any thread).
  void Tune(const std::string& frequencyText);
  // Switches the system to the other decoder's signal, or the rendering to another rate (any
  // thread); the schedule starts anew.
  void SetDecoder(DecoderType decoder);
  void SetSampleRate(int rate);
  // Where the control channel is: the tracker's control frequency at start.
  void SetControl(const std::string& frequencyText);

  // The next frames of interleaved stereo, both channels alike, as the receiver hears them.
  void Render(int frames, std::int16_t* out);

  double Seconds() const;
  std::string ControlFrequency() const;
  // What was sent so far: McAccess words or JSMR words, in order, and the calls.
  std::vector<McAccessWord> SentMcAccessWords() const;
  std::vector<JsmrWord> SentJsmrWords() const;
  std::vector<SimulatedCall> Calls() const;

 private:
  void Restart();
  void ScheduleMcAccess();
  void ScheduleJsmr();
  double NextFrameTime() const;
  void AddCall(const std::string& id, const std::string& line, bool data, double at);
  double CallSample(const SimulatedCall& call, double t);
  double Noise(double deviation);

  mutable std::mutex mutex_;
  AirOptions options_;
  std::string tuned_;
  std::mt19937 random_;
  std::normal_distribution<double> gauss_{0.0, 1.0};
  std::unique_ptr<McAccessModulator> mcaccess_;
  std::unique_ptr<JsmrModulator> jsmr_;
  std::int64_t sample_ = 0;  // frames rendered since the schedule started
  double controlMHz_ = 850.0;
  std::string controlText_;
  double channelStep_ = 0.0125;
  double rasterOffset_ = 0.0;
  int framesSent_ = 0;
  double nextMoveAt_ = 0.0;      // when the control channel moves next
  double pendingMoveAt_ = -1.0;  // when the announced move takes effect; negative: none
  std::string pendingMove_;
  int callMinutesCode_ = 0b101;
  std::vector<McAccessWord> mcaccessWords_;
  std::vector<JsmrWord> jsmrWords_;
  std::vector<SimulatedCall> calls_;
  std::deque<SimulatedCall> active_;  // calls whose line is still on the air
  std::vector<std::int16_t> scratch_;
};

}  // namespace tarvo::sim
