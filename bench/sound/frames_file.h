// The signal both live benches play: random McAccess frames back to back, modulated at the
// capture rate into a raw file for the private sound server.
#pragma once

#include <filesystem>
#include <random>
#include <vector>

#include "core/sim/mcaccess_words.h"
#include "support/mcaccess_modulator.h"
#include "support/sound_server.h"

namespace tarvo::bench {

// Writes frames for about seconds of air time (the channel carries 1200 bit/s, 160 bits a
// frame) and returns how many. None is a broadcast command (type 28), which takes even a tracker
// with tracking off away from the control channel for the rest of the run.
inline int WriteMcAccessFrames(const std::filesystem::path& raw, int seconds, int rate,
                               unsigned seed) {
  std::mt19937 random(seed);
  std::vector<McAccessWord> words;
  const int count = seconds * 1200 / 160;
  for (int i = 0; i < count; ++i) {
    McAccessWord word = sim::RandomMcAccessWord(random);
    int type = 0;
    for (int bit = 12; bit < 18; ++bit) type = type * 2 + word[bit];
    if (type == 0x28) sim::PutField(word, 12, 6, 0x39);
    words.push_back(word);
  }
  sim::ModulatorOptions options;
  options.sampleRate = rate;
  testing::WriteRaw(raw, sim::ModulateFrames(words, options));
  return count;
}

}  // namespace tarvo::bench
