// One step of talking to a receiver: a byte frame, a text, a line-rate switch or a pause.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct SerialCommand {
  enum class Kind { kBytes, kText, kLineRate, kPause };

  Kind kind = Kind::kText;
  std::string data;       // the bytes of a frame or the characters of a text
  int value = 0;          // baud rate of kLineRate, milliseconds of kPause
  int keyIntervalMs = 0;  // sleep before each character of a text (keyed receivers)

  static SerialCommand Bytes(std::string bytes) { return {Kind::kBytes, std::move(bytes), 0, 0}; }
  static SerialCommand Text(std::string text, int keyIntervalMs = 0) {
    return {Kind::kText, std::move(text), 0, keyIntervalMs};
  }
  static SerialCommand LineRate(int baud) { return {Kind::kLineRate, {}, baud, 0}; }
  static SerialCommand Pause(int ms) { return {Kind::kPause, {}, ms, 0}; }

  bool operator==(const SerialCommand&) const = default;
};

using CommandList = std::vector<SerialCommand>;

// "FE FE 4A": upper-case hexadecimal bytes separated by single spaces.
std::string HexBytes(std::string_view bytes);

}  // namespace tarvo
