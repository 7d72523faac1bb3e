// tarvo-sensitivity: how many frames each decoder still gets from a weak signal, with the exact
// and the robust demodulator, for audio noise (Eb/N0) and a simulated FM receiver (C/N), and
// how many false frames an hour of noise alone gives. Prints the table and the 50 % and 90 %
// points, and writes every point as CSV.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "channel_models.h"
#include "core/audio/capture_front_end.h"
#include "core/base/main_state.h"
#include "core/base/services.h"
#include "core/decode/jsmr_demodulator.h"
#include "core/decode/jsmr_robust_demodulator.h"
#include "core/decode/mcaccess_demodulator.h"
#include "core/decode/mcaccess_robust_demodulator.h"
#include "core/dsp/filter_designs.h"
#include "support/jsmr_modulator.h"
#include "support/mcaccess_modulator.h"

namespace tarvo::sensitivity {
namespace {

constexpr int kFramesPerPoint = 300;
constexpr int kSegments = 6;  // each with its own random amplitude
constexpr double kMinAmplitude = 1500.0;
constexpr double kMaxAmplitude = 12000.0;
constexpr int kMaxGapBits = 150;
constexpr int kLowestDb = -4;
constexpr int kHighestDb = 24;
constexpr int kAudioRate = 11025;  // audio-noise model: the decoder rate, nothing filtered
constexpr int kFmRate = 44100;     // FM model: the receiver's audio at the highest capture rate
constexpr double kFmLevel = 8000.0;
constexpr int kNoiseSeconds = 3600;
constexpr double kNoiseSigma = 3000.0;

enum class Decoder { kMcAccess, kJsmr };
enum class Model { kAudio, kFm };

struct DecoderProfile {
  Decoder decoder;
  const char* name;
  double bitRate;
  // Mean power of the modulated signal for a peak amplitude A, as a share of A squared:
  // a sine wave for McAccess, raised-cosine (roll-off 0.5) random data for JSMR.
  double powerShare;
  double deviationHz;  // FM model
  double bandwidthHz;  // FM model
};

const DecoderProfile kProfiles[] = {
    {Decoder::kMcAccess, "McAccess", 1200.0, 0.5, 2500.0, 12500.0},
    {Decoder::kJsmr, "JSMR", 3600.0, 0.875, 4000.0, 25000.0},
};

using WordKey = std::uint64_t;

template <class Word>
WordKey KeyOf(const Word& word) {
  WordKey key = 0;
  for (const auto bit : word) key = (key << 1) | bit;
  return key;
}

// A clean recording: mono samples at the given rate, the words sent and, per segment, its
// sample range and amplitude.
struct Segment {
  std::size_t first = 0;
  std::size_t last = 0;
  double amplitude = 0.0;
};
struct Recording {
  int rate = 0;
  std::vector<double> samples;
  std::vector<WordKey> sent;
  std::vector<Segment> segments;
};

void AppendLeft(const std::vector<std::int16_t>& stereo, std::vector<double>& out) {
  for (std::size_t n = 0; n < stereo.size(); n += 2) out.push_back(stereo[n]);
}

Recording MakeRecording(Decoder decoder, int rate, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> amplitude(kMinAmplitude, kMaxAmplitude);
  std::uniform_int_distribution<int> gap(0, kMaxGapBits);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> channel(0, 1023);
  Recording r;
  r.rate = rate;
  for (int s = 0; s < kSegments; ++s) {
    Segment segment;
    segment.first = r.samples.size();
    segment.amplitude = amplitude(random);
    const int frames = kFramesPerPoint / kSegments;
    std::vector<std::int16_t> stereo;
    if (decoder == Decoder::kMcAccess) {
      testing::ModulatorOptions options;
      options.sampleRate = rate;
      options.amplitude = segment.amplitude;
      testing::McAccessModulator modulator(options);
      modulator.QueueIdle(200);
      for (int f = 0; f < frames; ++f) {
        modulator.QueueIdle(gap(random));
        const McAccessWord word = testing::RandomMcAccessWord(random);
        modulator.QueueFrame(word);
        r.sent.push_back(KeyOf(word));
      }
      modulator.QueueIdle(200);
      modulator.Emit(modulator.FramesUntilQueueSent(), stereo);
    } else {
      testing::JsmrSignalOptions options;
      options.sampleRate = rate;
      options.amplitude = segment.amplitude;
      testing::JsmrModulator modulator(options);
      modulator.QueueIdle(200);
      for (int f = 0; f < frames; ++f) {
        modulator.QueueIdle(gap(random));
        testing::JsmrFields fields;
        fields.id = byte(random);
        fields.station = byte(random);
        fields.callKind = byte(random) & 1;
        fields.channel = channel(random);
        modulator.QueueFrame(fields);
        r.sent.push_back(KeyOf(testing::JsmrWordFor(fields)));
      }
      modulator.QueueIdle(200);
      stereo = modulator.Render(static_cast<int>(modulator.QueuedBits() / 3600.0 * rate) + 1);
    }
    AppendLeft(stereo, r.samples);
    segment.last = r.samples.size();
    r.segments.push_back(segment);
  }
  // Whole capture buffers.
  const std::size_t buffer = static_cast<std::size_t>(rate) * kBlockSamples / 11025;
  r.samples.resize((r.samples.size() + buffer - 1) / buffer * buffer, 0.0);
  return r;
}

// Frame sinks that keep the words.
class McAccessWords : public McAccessFrameSink {
 public:
  void InterpretMcAccessFrame(const McAccessWord& word) override { words.push_back(KeyOf(word)); }
  std::vector<WordKey> words;
};
class JsmrWords : public JsmrWordSink {
 public:
  void InterpretJsmrWord(const JsmrWord& word) override { words.push_back(KeyOf(word)); }
  void SuperviseJsmrLine(InputBlock&) override {}
  std::vector<WordKey> words;
};
class IdleDecoder : public BlockDecoder {
 public:
  void DecodeBlock(InputBlock&) override {}
};

// One demodulator behind its own front-end, fed capture buffers.
class Receiver {
 public:
  Receiver(Decoder decoder, bool robust, const FilterDesigns& designs) {
    state_.Decoder = decoder == Decoder::kMcAccess ? DecoderType::kMcAccess : DecoderType::kJsmr;
    if (decoder == Decoder::kMcAccess && robust) {
      demodulator_ =
          std::make_unique<McAccessRobustDemodulator>(state_, designs, Services{}, mcaccess_);
    } else if (decoder == Decoder::kMcAccess) {
      demodulator_ = std::make_unique<McAccessDemodulator>(state_, designs, Services{}, mcaccess_);
    } else if (robust) {
      demodulator_ = std::make_unique<JsmrRobustDemodulator>(state_, Services{}, jsmr_);
    } else {
      demodulator_ = std::make_unique<JsmrDemodulator>(state_, designs, Services{}, jsmr_);
    }
    frontEnd_ = std::make_unique<CaptureFrontEnd>(
        state_, designs, decoder == Decoder::kMcAccess ? *demodulator_ : idle_,
        decoder == Decoder::kJsmr ? *demodulator_ : idle_);
  }

  void Feed(const std::int16_t* stereo, int frames) {
    frontEnd_->ProcessInputBlock(stereo, frames);
  }
  const std::vector<WordKey>& Words() const {
    return state_.McAccessSelected() ? mcaccess_.words : jsmr_.words;
  }

 private:
  MainState state_;
  McAccessWords mcaccess_;
  JsmrWords jsmr_;
  IdleDecoder idle_;
  std::unique_ptr<BlockDecoder> demodulator_;
  std::unique_ptr<CaptureFrontEnd> frontEnd_;
};

struct Count {
  int sent = 0;
  int decoded = 0;  // words that match a sent word
  int wrong = 0;    // words that match none
};

Count Score(const std::vector<WordKey>& sent, const std::vector<WordKey>& got) {
  std::map<WordKey, int> left;
  for (const WordKey w : sent) ++left[w];
  Count c;
  c.sent = static_cast<int>(sent.size());
  for (const WordKey w : got) {
    auto it = left.find(w);
    if (it != left.end() && it->second > 0) {
      --it->second;
      ++c.decoded;
    } else {
      ++c.wrong;
    }
  }
  return c;
}

struct Point {
  const DecoderProfile* profile;
  Model model;
  int db;
  Count exact;
  Count robust;
};

// Both demodulators on the same noisy recording.
Point RunPoint(const DecoderProfile& profile, Model model, const Recording& clean, int db,
               const FilterDesigns& designs) {
  std::mt19937 random(1000u + static_cast<std::uint32_t>(db) * 7u +
                      (model == Model::kFm ? 500u : 0u));
  std::vector<std::int16_t> stereo;
  if (model == Model::kAudio) {
    stereo.assign(2 * clean.samples.size(), 0);
    for (std::size_t n = 0; n < clean.samples.size(); ++n) {
      stereo[2 * n] = static_cast<std::int16_t>(clean.samples[n]);
    }
    // Eb/N0 = P fs / (R 2 sigma^2), counted at the data rate.
    const double ebN0 = std::pow(10.0, db / 10.0);
    for (const Segment& s : clean.segments) {
      const double power = profile.powerShare * s.amplitude * s.amplitude;
      const double sigma = std::sqrt(power * clean.rate / (profile.bitRate * 2.0 * ebN0));
      AddAudioNoise(stereo, 0, s.first, s.last, sigma, random);
    }
  } else {
    std::vector<double> audio(clean.samples.size(), 0.0);
    for (const Segment& s : clean.segments) {
      for (std::size_t n = s.first; n < s.last; ++n) audio[n] = clean.samples[n] / s.amplitude;
    }
    FmChannel fm;
    fm.sampleRate = clean.rate;
    fm.deviationHz = profile.deviationHz;
    fm.bandwidthHz = profile.bandwidthHz;
    fm.level = kFmLevel;
    fm.carrierToNoiseDb = db;
    PassFmChannel(audio, fm, random, stereo, 0);
  }
  Receiver exact(profile.decoder, false, designs);
  Receiver robust(profile.decoder, true, designs);
  const int buffer = clean.rate * kBlockSamples / 11025;
  for (std::size_t n = 0; n + buffer <= clean.samples.size(); n += buffer) {
    exact.Feed(stereo.data() + 2 * n, buffer);
    robust.Feed(stereo.data() + 2 * n, buffer);
  }
  return {&profile, model, db, Score(clean.sent, exact.Words()), Score(clean.sent, robust.Words())};
}

double Share(const Count& c) {
  return c.sent == 0 ? 0.0 : static_cast<double>(c.decoded) / c.sent;
}

// The level from which on the share stays at or above target, interpolated between steps.
std::string LevelFor(const std::vector<Point>& points, bool robust, double target) {
  int from = -1;
  for (int i = static_cast<int>(points.size()) - 1; i >= 0; --i) {
    if (Share(robust ? points[i].robust : points[i].exact) < target) break;
    from = i;
  }
  if (from < 0) return "—";
  char text[16];
  if (from == 0) {
    std::snprintf(text, sizeof text, "<%d", points[0].db);
    return text;
  }
  const double below = Share(robust ? points[from - 1].robust : points[from - 1].exact);
  const double above = Share(robust ? points[from].robust : points[from].exact);
  const double db = points[from - 1].db + (target - below) / (above - below);
  std::snprintf(text, sizeof text, "%.1f", db);
  return text;
}

const char* ModelName(Model model) {
  return model == Model::kAudio ? "audio" : "fm";
}

// Noise alone for an hour at one capture rate through all four demodulators.
std::array<int, 4> FalseFramesInNoise(int rate, const FilterDesigns& designs) {
  std::vector<std::unique_ptr<Receiver>> receivers;
  for (const Decoder d : {Decoder::kMcAccess, Decoder::kJsmr}) {
    for (const bool robust : {false, true}) {
      receivers.push_back(std::make_unique<Receiver>(d, robust, designs));
    }
  }
  std::mt19937 random(77u + static_cast<std::uint32_t>(rate));
  std::normal_distribution<double> gauss(0.0, kNoiseSigma);
  const int buffer = rate * kBlockSamples / 11025;
  std::vector<std::int16_t> stereo(2 * buffer, 0);
  const long buffers = static_cast<long>(kNoiseSeconds) * 11025 / kBlockSamples;
  for (long b = 0; b < buffers; ++b) {
    for (int n = 0; n < buffer; ++n) {
      stereo[2 * n] =
          static_cast<std::int16_t>(std::clamp(std::round(gauss(random)), -32768.0, 32767.0));
    }
    for (auto& r : receivers) r->Feed(stereo.data(), buffer);
  }
  std::array<int, 4> frames{};
  for (int i = 0; i < 4; ++i) frames[i] = static_cast<int>(receivers[i]->Words().size());
  return frames;
}

int Main(int argc, char** argv) {
  std::string csvPath = "sensitivity.csv";
  bool noiseHour = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--csv" && i + 1 < argc) {
      csvPath = argv[++i];
    } else if (arg == "--no-noise-hour") {
      noiseHour = false;
    } else {
      std::cerr << "usage: tarvo-sensitivity [--csv FILE] [--no-noise-hour]\n";
      return 2;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  const FilterDesigns designs = ComputeFilterDesigns();

  // One sweep per decoder and model; two at a time on two cores.
  struct Sweep {
    const DecoderProfile* profile;
    Model model;
    std::vector<Point> points;
  };
  std::vector<Sweep> sweeps;
  for (const auto& profile : kProfiles) {
    for (const Model model : {Model::kAudio, Model::kFm}) sweeps.push_back({&profile, model, {}});
  }
  std::array<std::array<int, 4>, 3> noise{};
  const int noiseRates[3] = {11025, 22050, 44100};
  std::vector<std::function<void()>> jobs;
  for (auto& sweep : sweeps) {
    jobs.push_back([&sweep, &designs] {
      const int rate = sweep.model == Model::kAudio ? kAudioRate : kFmRate;
      const Recording clean = MakeRecording(sweep.profile->decoder, rate,
                                            sweep.profile->decoder == Decoder::kMcAccess ? 11 : 12);
      for (int db = kLowestDb; db <= kHighestDb; ++db) {
        sweep.points.push_back(RunPoint(*sweep.profile, sweep.model, clean, db, designs));
      }
    });
  }
  if (noiseHour) {
    for (int r = 0; r < 3; ++r) {
      jobs.push_back([&noise, r, &noiseRates, &designs] {
        noise[r] = FalseFramesInNoise(noiseRates[r], designs);
      });
    }
  }
  std::mutex next;
  std::size_t taken = 0;
  auto worker = [&] {
    for (;;) {
      std::size_t job;
      {
        std::lock_guard lock(next);
        if (taken == jobs.size()) return;
        job = taken++;
      }
      jobs[job]();
    }
  };
  std::thread helper(worker);
  worker();
  helper.join();

  std::ofstream csv(csvPath);
  csv << "decoder,model,level_db,demodulator,sent,decoded,wrong,share\n";
  for (const auto& sweep : sweeps) {
    std::printf("\n%s, %s (%s in dB): share of frames decoded exactly\n", sweep.profile->name,
                sweep.model == Model::kAudio ? "audio noise" : "FM receiver",
                sweep.model == Model::kAudio ? "Eb/N0" : "C/N");
    std::printf("   dB   exact  robust   wrong(e/r)\n");
    for (const Point& p : sweep.points) {
      std::printf("  %3d   %5.3f   %5.3f   %d/%d\n", p.db, Share(p.exact), Share(p.robust),
                  p.exact.wrong, p.robust.wrong);
      for (const bool robust : {false, true}) {
        const Count& c = robust ? p.robust : p.exact;
        csv << sweep.profile->name << ',' << ModelName(sweep.model) << ',' << p.db << ','
            << (robust ? "robust" : "exact") << ',' << c.sent << ',' << c.decoded << ',' << c.wrong
            << ',' << Share(c) << '\n';
      }
    }
  }

  std::printf("\nLevel in dB at which 50 %% and 90 %% of frames decode\n");
  std::printf("%-9s %-22s %-7s %6s %6s\n", "decoder", "model", "demod", "50 %", "90 %");
  for (const auto& sweep : sweeps) {
    for (const bool robust : {false, true}) {
      std::printf("%-9s %-22s %-7s %6s %6s\n", sweep.profile->name,
                  sweep.model == Model::kAudio ? "audio noise, Eb/N0" : "FM receiver, C/N",
                  robust ? "robust" : "exact", LevelFor(sweep.points, robust, 0.5).c_str(),
                  LevelFor(sweep.points, robust, 0.9).c_str());
    }
  }
  if (noiseHour) {
    std::printf("\nFrames from %d s of noise alone (exact/robust)\n", kNoiseSeconds);
    for (int r = 0; r < 3; ++r) {
      std::printf("  %5d Hz: McAccess %d/%d, JSMR %d/%d\n", noiseRates[r], noise[r][0], noise[r][1],
                  noise[r][2], noise[r][3]);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("\nCSV: %s (%.0f s)\n", csvPath.c_str(), seconds);
  return 0;
}

}  // namespace
}  // namespace tarvo::sensitivity

int main(int argc, char** argv) {
  return tarvo::sensitivity::Main(argc, argv);
}
