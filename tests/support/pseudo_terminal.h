// A pseudo-terminal pair standing in for a serial cable: the program opens the subordinate side
// by its path, the test reads what arrives on the master side and the line settings it got.
#pragma once

#include <termios.h>

#include <cstddef>
#include <string>

namespace tarvo::testing {

class PseudoTerminal {
 public:
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& SubordinatePath() const { return path_; }

  // The subordinate side's line settings as the driver holds them.
  termios Settings() const;
  void SetSettings(const termios& settings);

  // What the subordinate side wrote: up to limit bytes, less when every opener of the
  // subordinate side has closed it and nothing more is pending, or after a generous deadline.
  std::string Read(std::size_t limit = std::string::npos);

  // Closes the master side: the subordinate side hangs up, as an unplugged adapter does.
  void Hangup();

 private:
  int master_ = -1;
  std::string path_;
};

}  // namespace tarvo::testing
