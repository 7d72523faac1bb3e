// A private X server (Xvfb) for running the installed window program, and closing its windows
// the way a window manager's close button does.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo::testing {

class XDisplay {
 public:
  XDisplay();  // starts Xvfb on a free display number
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  bool Started() const { return display_ != nullptr; }

  // Starts `program` on this display with `environment` (plus PATH and DISPLAY), asks each of its
  // windows to close (message boxes first, then the main window) until it exits, and returns its
  // exit status; -1 when it crashed or did not exit within a minute (it is killed then).
  int RunUntilClosed(const std::filesystem::path& program, std::vector<std::string> environment);

 private:
  pid_t server_ = -1;
  std::string name_;         // ":N"
  void* display_ = nullptr;  // Xlib's Display, kept out of this header
};

}  // namespace tarvo::testing
