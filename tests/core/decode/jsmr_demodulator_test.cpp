#include "core/decode/jsmr_demodulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "support/jsmr_modulator.h"
#include "support/recorders.h"

namespace tarvo {
namespace {

using testing::JsmrFields;
using testing::JsmrModulator;
using testing::JsmrSignalOptions;
using testing::JsmrWordFor;

const FilterDesigns& Designs() {
  static const FilterDesigns designs = ComputeFilterDesigns();
  return designs;
}

class RecordingWordSink : public JsmrWordSink {
 public:
  void InterpretJsmrWord(const JsmrWord& word) override {
    words.push_back(word);
    if (onWord) onWord();
  }
  void SuperviseJsmrLine(InputBlock& monitorCopy) override { supervised.push_back(monitorCopy); }

  std::vector<JsmrWord> words;
  std::vector<InputBlock> supervised;
  std::function<void()> onWord;
};

struct Rig {
  MainState state;
  testing::RecordingWorld world;
  RecordingWordSink sink;
  JsmrDemodulator demodulator{state, Designs(), world.services(), sink};

  // Decodes the blocks; returns for each word the index of the block that completed it.
  std::vector<int> Run(const std::vector<InputBlock>& blocks) {
    std::vector<int> blockOfWord;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      InputBlock block = blocks[b];
      demodulator.DecodeBlock(block);
      blockOfWord.resize(sink.words.size(), static_cast<int>(b));
    }
    return blockOfWord;
  }
};

std::vector<InputBlock> Blocks(JsmrModulator& modulator, int count) {
  std::vector<InputBlock> blocks;
  for (int b = 0; b < count; ++b) blocks.push_back(modulator.NextBlock());
  return blocks;
}

// A run of words with varied fields, sent back to back after a short clock run-in.
std::vector<JsmrWord> QueueWords(JsmrModulator& modulator, int count, int runInBits = 24) {
  modulator.QueueIdle(runInBits);
  std::vector<JsmrWord> sent;
  for (int i = 0; i < count; ++i) {
    const JsmrFields fields{(i * 0x35 + 0x1F) & 0xFF, (i * 0x5B) & 0xFF, i & 1, (i * 97) % 1024};
    modulator.QueueFrame(fields);
    sent.push_back(JsmrWordFor(fields));
  }
  return sent;
}

bool IsInOrderSubsetOf(const std::vector<JsmrWord>& got, const std::vector<JsmrWord>& sent) {
  auto it = sent.begin();
  for (const JsmrWord& word : got) {
    it = std::find(it, sent.end(), word);
    if (it == sent.end()) return false;
    ++it;
  }
  return true;
}

TEST(JsmrDemodulator, DecodesWordsOnlyWithTheMatchingPolarity) {
  struct Case {
    const char* name;
    bool signalInverted;
    bool invertTicked;
    double noise;
    int minimumWords;  // of 40; never a word that was not sent
    int maximumWords;
  };
  const Case cases[] = {
      {"clean", false, false, 0.0, 40, 40},
      {"clean, inverted with 反転", true, true, 0.0, 40, 40},
      {"inverted without 反転", true, false, 0.0, 0, 0},
      {"upright with 反転", false, true, 0.0, 0, 0},
      {"noise at 0.3 of the level", false, false, 2000.0, 40, 40},
      {"noise at 0.6 of the level", true, true, 4000.0, 34, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JsmrSignalOptions options;
    options.inverted = c.signalInverted;
    options.noise = c.noise;
    options.seed = 7;
    JsmrModulator modulator(options);
    const std::vector<JsmrWord> sent = QueueWords(modulator, 40);
    Rig rig;
    rig.state.DecoderPolarity = c.invertTicked ? -1.0 : 1.0;
    rig.Run(Blocks(modulator, 24));
    EXPECT_GE(static_cast<int>(rig.sink.words.size()), c.minimumWords);
    EXPECT_LE(static_cast<int>(rig.sink.words.size()), c.maximumWords);
    EXPECT_TRUE(IsInOrderSubsetOf(rig.sink.words, sent));
  }
}

TEST(JsmrDemodulator, FindsSyncWordsAndFramesAcrossBlockBoundaries) {
  // Moving the frames bit by bit over a whole block puts the sync word and the body across
  // the boundary at every possible split.
  for (int runIn = 16; runIn < 16 + 170; ++runIn) {
    SCOPED_TRACE(runIn);
    JsmrModulator modulator;
    const std::vector<JsmrWord> sent = QueueWords(modulator, 3, runIn);
    Rig rig;
    rig.Run(Blocks(modulator, 3));
    EXPECT_EQ(rig.sink.words, sent);
  }
}

TEST(JsmrDemodulator, SyncPatternInsideABodyDoesNotRestartTheFrame) {
  const std::vector<std::uint8_t> sync = {1, 0, 1, 0, 1, 1, 0, 0};
  std::optional<JsmrFields> found;
  for (int channel = 0; channel < 720 && !found; ++channel) {
    const JsmrFields fields{0x42, 0x17, 1, channel};
    const std::vector<std::uint8_t> frame = testing::JsmrFrameOnAir(fields);
    if (std::search(frame.begin() + 8, frame.end(), sync.begin(), sync.end()) != frame.end()) {
      found = fields;
    }
  }
  ASSERT_TRUE(found.has_value());

  JsmrModulator modulator;
  modulator.QueueIdle(24);
  const JsmrFields next{0x1F, 0x2A, 0, 17};
  modulator.QueueFrame(*found);
  modulator.QueueFrame(next);
  Rig rig;
  rig.Run(Blocks(modulator, 2));
  EXPECT_EQ(rig.sink.words, (std::vector<JsmrWord>{JsmrWordFor(*found), JsmrWordFor(next)}));
}

TEST(JsmrDemodulator, SilenceFromStartUpTakesOnlyTheVeryFirstSample) {
  Rig rig;
  rig.Run({InputBlock{}});
  EXPECT_EQ(rig.state.EyeStrobes[0], 1);
  EXPECT_EQ(std::count(rig.state.EyeStrobes.begin(), rig.state.EyeStrobes.end(), 1), 1);
  rig.Run({InputBlock{}});
  EXPECT_EQ(std::count(rig.state.EyeStrobes.begin(), rig.state.EyeStrobes.end(), 1), 0);
}

TEST(JsmrDemodulator, RejectedFramesDarkenTheReceiveLampAndNoiseLeavesIt) {
  const JsmrFields fields{0x20, 0x01, 0, 5};
  JsmrFrameBits twoErrors = testing::JsmrBodyFor(testing::JsmrInformationFor(fields));
  twoErrors[0] ^= 1;   // u[0]
  twoErrors[38] ^= 1;  // u[1]: code bit 2 is row 2 of column 0
  struct Case {
    const char* name;
    bool sendBadFrame;
    Colour lamp;
  };
  for (const Case c :
       {Case{"failed check", true, Colour::kBlack}, Case{"no sync word", false, Colour::kAqua}}) {
    SCOPED_TRACE(c.name);
    JsmrSignalOptions options;
    options.noise = 1000.0;
    JsmrModulator modulator(options);
    modulator.QueueIdle(24);
    if (c.sendBadFrame) {
      modulator.QueueBits({1, 0, 1, 0, 1, 1, 0, 0});
      modulator.QueueBody(twoErrors);
    }
    Rig rig;
    rig.state.Panel1 = Colour::kAqua;
    rig.Run(Blocks(modulator, 3));
    EXPECT_TRUE(rig.sink.words.empty());
    EXPECT_EQ(rig.state.Panel1, c.lamp);
  }
}

TEST(JsmrDemodulator, WordsAfterATuneInTheSameBlockAreNotInterpreted) {
  JsmrModulator modulator;
  const std::vector<JsmrWord> sent = QueueWords(modulator, 6);
  const std::vector<InputBlock> blocks = Blocks(modulator, 5);
  const std::vector<int> blockOfWord = Rig().Run(blocks);
  ASSERT_EQ(blockOfWord.size(), sent.size());
  const auto pair = std::adjacent_find(blockOfWord.begin(), blockOfWord.end());
  ASSERT_NE(pair, blockOfWord.end()) << "no block completes two frames";
  const std::size_t tuningWord = pair - blockOfWord.begin();

  Rig rig;
  rig.sink.onWord = [&] {
    if (rig.sink.words.size() == tuningWord + 1) rig.state.JsmrOnLine = true;
  };
  rig.Run(std::vector<InputBlock>(blocks.begin(), blocks.begin() + *pair + 1));
  EXPECT_EQ(rig.sink.words, std::vector<JsmrWord>(sent.begin(), sent.begin() + tuningWord + 1));
  EXPECT_EQ(rig.state.Panel1, Colour::kBlack);
}

TEST(JsmrDemodulator, FollowingACallFreezesDemodulationUntilTheReturn) {
  JsmrModulator modulator;
  const std::vector<JsmrWord> sent = QueueWords(modulator, 8);
  const std::vector<InputBlock> blocks = Blocks(modulator, 5);
  InputBlock lineAudio{};
  for (int i = 0; i < kBlockSamples; ++i) lineAudio[i] = (i % 40 < 20) ? 9000.0 : -9000.0;

  Rig straight;
  Rig interrupted;
  straight.Run({blocks[0], blocks[1]});
  interrupted.Run({blocks[0], blocks[1]});
  const auto eyeSamples = interrupted.state.EyeSamples;
  const auto eyeStrobes = interrupted.state.EyeStrobes;
  const std::size_t wordsBefore = interrupted.sink.words.size();

  interrupted.state.JsmrOnLine = true;
  interrupted.state.Panel1 = Colour::kAqua;
  interrupted.Run({lineAudio, lineAudio});
  EXPECT_EQ(interrupted.state.Panel1, Colour::kBlack);
  EXPECT_EQ(interrupted.state.EyeSamples, eyeSamples);
  EXPECT_EQ(interrupted.state.EyeStrobes, eyeStrobes);
  EXPECT_EQ(interrupted.sink.words.size(), wordsBefore);
  ASSERT_EQ(interrupted.sink.supervised.size(), 4u);
  EXPECT_EQ(interrupted.sink.supervised[2], lineAudio);  // supervised while on the line

  // Back on the control channel, it carries on exactly where it stopped.
  interrupted.state.JsmrOnLine = false;
  for (int b = 2; b < 5; ++b) {
    straight.Run({blocks[b]});
    interrupted.Run({blocks[b]});
    EXPECT_EQ(interrupted.state.EyeSamples, straight.state.EyeSamples);
    EXPECT_EQ(interrupted.state.EyeStrobes, straight.state.EyeStrobes);
    EXPECT_EQ(interrupted.sink.supervised.back(), blocks[b]);
  }
  EXPECT_EQ(interrupted.sink.words, sent);
}

TEST(JsmrDemodulator, EyeWindowIsRefreshedOnlyWhileAlwaysOnTopIsTickedAndItShows) {
  struct Case {
    bool alwaysOnTop;
    bool showing;
    bool onLine;
    std::vector<int> updates;
  };
  const Case cases[] = {
      {true, true, false, {30, 30}},
      {true, true, true, {30, 30}},
      {false, true, false, {}},
      {true, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.alwaysOnTop << c.showing << c.onLine);
    JsmrModulator modulator;
    const std::vector<JsmrWord> sent = QueueWords(modulator, 3);
    Rig rig;
    rig.state.CheckBox1.checked = c.alwaysOnTop;
    rig.state.JsmrOnLine = c.onLine;
    rig.world.eye.showing = c.showing;
    rig.Run(Blocks(modulator, 2));
    EXPECT_EQ(rig.world.eye.updates, c.updates);
    // Decoding goes on whatever the eye window does.
    EXPECT_EQ(rig.sink.words.size(), c.onLine ? 0u : sent.size());
    EXPECT_EQ(rig.sink.supervised.size(), 2u);
  }
}

}  // namespace
}  // namespace tarvo
