#include "core/sim/simulated_air.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/channel_grid.h"
#include "core/base/control_frequency.h"
#include "core/base/megahertz_text.h"
#include "core/decode/bit_fields.h"
#include "core/decode/jsmr_fields.h"
#include "core/sim/mcaccess_words.h"

namespace tarvo::sim {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kControlNoise = 200.0;  // a strong control channel
constexpr double kEmptyNoise = 100.0;    // no carrier: the receiver's squelch leaves a hiss
constexpr double kToneAmplitude = 1000.0;
constexpr double kReleaseToneSeconds = 1.5;
constexpr double kMcAccessToneHz = 168.0;
constexpr double kJsmrReleaseHz = 150.0;
constexpr int kMaxActiveCalls = 3;
constexpr double kMoveEverySeconds = 150.0;
constexpr const char* kOtherControl = "850.50000";  // where a control-channel move goes

}  // namespace

SimulatedAir::SimulatedAir(const AirOptions& options) : options_(options) {
  Restart();
}

void SimulatedAir::Restart() {
  random_.seed(options_.seed);
  gauss_.reset();
  sample_ = 0;
  framesSent_ = 0;
  nextMoveAt_ = kMoveEverySeconds;
  pendingMoveAt_ = -1.0;
  controlText_ = options_.control;
  controlMHz_ = MegahertzValue(controlText_).value_or(850.0);
  const auto exact = ExactNanoMegahertz(controlText_).value_or(850'000'000'000);
  channelStep_ = McAccessChannelStepFor(exact);
  rasterOffset_ = RasterOffsetFor(exact);
  mcaccessWords_.clear();
  jsmrWords_.clear();
  calls_.clear();
  active_.clear();
  ModulatorOptions mcaccess;
  mcaccess.sampleRate = options_.sampleRate;
  mcaccess.amplitude = 8000.0;
  mcaccess.seed = options_.seed;
  mcaccess_ = std::make_unique<McAccessModulator>(mcaccess);
  JsmrSignalOptions jsmr;
  jsmr.sampleRate = options_.sampleRate;
  jsmr.seed = options_.seed;
  jsmr_ = std::make_unique<JsmrModulator>(jsmr);
  if (options_.decoder == DecoderType::kMcAccess) mcaccess_->QueueIdle(120);
  if (options_.decoder == DecoderType::kJsmr) jsmr_->QueueIdle(120);
}

void SimulatedAir::Tune(const std::string& frequencyText) {
  std::lock_guard<std::mutex> lock(mutex_);
  tuned_ = frequencyText;
}

void SimulatedAir::SetDecoder(DecoderType decoder) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (decoder == options_.decoder) return;
  options_.decoder = decoder;
  Restart();
}

void SimulatedAir::SetSampleRate(int rate) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (rate == options_.sampleRate) return;
  options_.sampleRate = rate;
  Restart();
}

void SimulatedAir::SetControl(const std::string& frequencyText) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (frequencyText == options_.control) return;
  options_.control = frequencyText;
  Restart();
}

double SimulatedAir::Seconds() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<double>(sample_) / options_.sampleRate;
}

std::string SimulatedAir::ControlFrequency() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return controlText_;
}

std::vector<McAccessWord> SimulatedAir::SentMcAccessWords() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return mcaccessWords_;
}

std::vector<JsmrWord> SimulatedAir::SentJsmrWords() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return jsmrWords_;
}

std::vector<SimulatedCall> SimulatedAir::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

double SimulatedAir::Noise(double deviation) {
  return deviation * gauss_(random_);
}

void SimulatedAir::AddCall(const std::string& id, const std::string& line, bool data, double at) {
  std::uniform_real_distribution<double> length(3.0, 10.0);
  SimulatedCall call{id, line, data, at, at + length(random_)};
  calls_.push_back(call);
  active_.push_back(call);
}

void SimulatedAir::ScheduleMcAccess() {
  const auto uniform = [this](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
  };
  McAccessWordFields f;
  f.station = 0x2F;
  const double now = static_cast<double>(sample_) / options_.sampleRate;
  const int n = framesSent_++;
  bool callQueued = false;
  if (n % 12 == 0) {
    f.type = 0x00;
    f.callTimeCode = callMinutesCode_;
  } else if (now >= nextMoveAt_ && pendingMoveAt_ < 0.0) {
    // The system moves its control channel: announced on the old one, then it goes there.
    const std::string to = controlText_ == options_.control ? kOtherControl : options_.control;
    const double toMHz = MegahertzValue(to).value_or(controlMHz_);
    f.type = 0x30;
    f.channel = static_cast<int>(std::lround((toMHz - 850.0) / 0.025));
    pendingMove_ = to;
    nextMoveAt_ = now + kMoveEverySeconds;
  } else if (n % 7 == 0) {
    f.type = 0x39;
    f.firstMap = static_cast<std::uint32_t>(random_()) & 0xFFFF;
    f.secondMap = static_cast<std::uint32_t>(random_()) & 0x3FFFFF;
  } else if (uniform(0, 99) < 45 && static_cast<int>(active_.size()) < kMaxActiveCalls) {
    f.type = 0x20;
    const std::string& id = kMcAccessCallers[uniform(0, 4)];
    f.id = std::stoi(id, nullptr, 16);
    const bool data = uniform(0, 99) < 15;
    f.lineTypeCode = data ? 3 : 0;
    f.channel = uniform(20, 400);
    f.offset = uniform(0, 1) == 1;
    callQueued = true;
  } else {
    f.type = 0x08;
    f.control = true;
  }
  mcaccess_->QueueIdle(uniform(20, 60));
  const McAccessWord word = MakeMcAccessWord(f);
  mcaccess_->QueueFrame(word);
  mcaccessWords_.push_back(word);
  const double sentAt =
      static_cast<double>(sample_ + mcaccess_->FramesUntilQueueSent()) / options_.sampleRate;
  if (f.type == 0x30) pendingMoveAt_ = sentAt;
  if (callQueued) {
    const double line = 850.0 + 0.025 * f.channel - (f.offset ? channelStep_ : 0.0);
    const std::string id = HexText(static_cast<std::uint32_t>(f.id), 10);
    AddCall(id, FormatMegahertz(line), f.lineTypeCode == 3, sentAt);
  }
}

void SimulatedAir::ScheduleJsmr() {
  const auto uniform = [this](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
  };
  JsmrFields f;
  f.station = 0x2A;
  ++framesSent_;
  bool callQueued = false;
  if (uniform(0, 99) < 25 && static_cast<int>(active_.size()) < kMaxActiveCalls) {
    f.id = std::stoi(kJsmrCallers[uniform(0, 4)], nullptr, 16);
    f.callKind = uniform(0, 1);
    f.channel = uniform(1, 700);
    callQueued = true;
  } else {
    f.id = 0x1F;
    f.channel = uniform(1, 700);
  }
  jsmr_->QueueIdle(uniform(10, 40));
  const double sentAt = jsmr_->QueueFrame(f);
  jsmrWords_.push_back(JsmrWordFor(f));
  if (callQueued) {
    const std::string line = FormatMegahertz(JsmrLineFrequency(f.channel, rasterOffset_));
    if (line != controlText_)
      AddCall(HexText(static_cast<std::uint32_t>(f.id), 8), line, false, sentAt);
  }
}

double SimulatedAir::CallSample(const SimulatedCall& call, double t) {
  const double u = t - call.start;
  if (t < call.end) {
    // A voice: a few formants under a syllable envelope, and a little breath.
    const double envelope = 0.55 + 0.45 * std::sin(kTwoPi * 3.1 * u);
    double voice = 1800.0 * std::sin(kTwoPi * 310.0 * u) + 900.0 * std::sin(kTwoPi * 720.0 * u) +
                   500.0 * std::sin(kTwoPi * 1150.0 * u);
    voice = voice * envelope + Noise(150.0);
    if (call.dataLine) voice = 4000.0 * std::sin(kTwoPi * 1800.0 * u) + Noise(300.0);
    if (options_.decoder == DecoderType::kMcAccess) {
      voice += kToneAmplitude * std::sin(kTwoPi * kMcAccessToneHz * u);
    }
    return voice;
  }
  if (options_.decoder == DecoderType::kJsmr && t < call.end + kReleaseToneSeconds) {
    return kToneAmplitude * std::sin(kTwoPi * kJsmrReleaseHz * u) + Noise(100.0);
  }
  return Noise(kEmptyNoise);
}

void SimulatedAir::Render(int frames, std::int16_t* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  const bool mcaccess = options_.decoder == DecoderType::kMcAccess;
  // Keep the control channel's queue ahead of what is rendered.
  if (mcaccess) {
    while (mcaccess_->FramesUntilQueueSent() < 2 * frames) ScheduleMcAccess();
  } else {
    while (jsmr_->QueuedBits() * options_.sampleRate / 3600 < sample_ + 2 * frames) {
      ScheduleJsmr();
    }
  }
  scratch_.assign(2 * static_cast<std::size_t>(frames), 0);
  if (mcaccess) {
    mcaccess_->Emit(frames, scratch_.data());
  } else {
    const std::vector<std::int16_t> control = jsmr_->Render(frames);
    std::copy(control.begin(), control.end(), scratch_.begin());
  }
  for (int n = 0; n < frames; ++n) {
    const double t = static_cast<double>(sample_ + n) / options_.sampleRate;
    if (pendingMoveAt_ >= 0.0 && t >= pendingMoveAt_) {
      controlText_ = pendingMove_;
      pendingMoveAt_ = -1.0;
    }
    double value = 0.0;
    if (tuned_ == controlText_) {
      value = scratch_[2 * n] + Noise(kControlNoise);
    } else {
      const auto call = std::find_if(active_.begin(), active_.end(), [&](const SimulatedCall& c) {
        return c.line == tuned_ && t >= c.start;
      });
      value = call != active_.end() ? CallSample(*call, t) : Noise(kEmptyNoise);
    }
    const auto sample = static_cast<std::int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
    out[2 * n] = sample;
    out[2 * n + 1] = sample;
  }
  sample_ += frames;
  const double now = static_cast<double>(sample_) / options_.sampleRate;
  std::erase_if(active_,
                [now](const SimulatedCall& c) { return c.end + kReleaseToneSeconds < now; });
}

}  // namespace tarvo::sim
