#include "install/x_display.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tarvo::testing {
namespace {

Display* AsDisplay(void* display) {
  return static_cast<Display*>(display);
}

// WM_DELETE_WINDOW to every window shown on the screen, as a window manager sends it.
void AskWindowsToClose(Display* display) {
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Window root = DefaultRootWindow(display);
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) return;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) == 0) continue;
    if (attributes.map_state != IsViewable || attributes.override_redirect) continue;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = children[i];
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, children[i], False, NoEventMask, &event);
  }
  if (children != nullptr) XFree(children);
  XFlush(display);
}

}  // namespace

XDisplay::XDisplay() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  const std::string fd = std::to_string(pipeEnds[1]);
  server_ = fork();
  if (server_ == 0) {
    close(pipeEnds[0]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
           "1024x768x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  // Xvfb writes its display number when it is ready.
  std::string number;
  pollfd ready{pipeEnds[0], POLLIN, 0};
  char c = 0;
  while (server_ > 0 && poll(&ready, 1, 20000) > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
    number += c;
  }
  close(pipeEnds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

XDisplay::~XDisplay() {
  if (display_ != nullptr) XCloseDisplay(AsDisplay(display_));
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

int XDisplay::RunUntilClosed(const std::filesystem::path& program,
                             std::vector<std::string> environment) {
  const char* path = std::getenv("PATH");
  environment.push_back(std::string("PATH=") + (path != nullptr ? path : "/usr/bin:/bin"));
  environment.push_back("DISPLAY=" + name_);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const std::string file = program.string();
  const pid_t child = fork();
  if (child == 0) {
    char* argv[] = {const_cast<char*>(file.c_str()), nullptr};
    execve(file.c_str(), argv, envp.data());
    _exit(127);
  }
  if (child < 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  // Give the window a moment to come up before each round of close requests.
  while (std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    AskWindowsToClose(AsDisplay(display_));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return -1;
}

}  // namespace tarvo::testing
