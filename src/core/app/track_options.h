// The headless tracker's command line: which settings file, what overrides it, the ID filters,
// where the events go, and how long to run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/main_state.h"

namespace tarvo {

struct TrackOptions {
  std::string config;  // another settings file; empty: the program's own
  // Overrides of the settings file, applied after it is read.
  std::optional<DecoderType> decoder;
  std::optional<Demodulation> demod;
  bool invert = false;
  std::optional<bool> leftChannel;
  std::optional<std::string> control;  // five-decimal MHz text
  std::optional<int> model;            // index in kReceiverModels
  std::string port;                    // device path; empty: the settings file's port
  std::optional<std::string> address;  // CI-V address, hex
  std::string device;                  // part of a capture device's name
  std::optional<int> rateIndex;        // 0, 1, 2 for 11025, 22050, 44100
  bool tracking = true;
  std::vector<std::string> only;  // ID-specific reception with these IDs (at most three)
  std::vector<std::string> pass;  // the ID pass list
  std::string log;                // another call log file
  bool noLog = false;
  std::string mqttHost;  // empty: no broker
  int mqttPort = 1883;
  std::string topic;              // empty: "tarvo/" and the host name
  std::optional<double> seconds;  // stop after this long
  bool demo = false;              // the simulated system instead of sound card and receiver
  std::optional<std::uint32_t> seed;
  bool help = false;
  bool version = false;
};

// Empty on success, else the problem in one line.
std::string ParseTrackOptions(const std::vector<std::string>& args, TrackOptions& options);

// Applies the overrides to the state read from the settings file.
void ApplyTrackOptions(const TrackOptions& options, MainState& state);

}  // namespace tarvo
