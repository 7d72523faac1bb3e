#include "core/radio/serial_link.h"

#include "core/base/clock.h"
#include "core/base/event_pump.h"
#include "core/base/notice.h"

namespace tarvo {

std::string SerialOpenFailureText(SerialOpenStep step) {
  switch (step) {
    case SerialOpenStep::kOpen:
      return " 通信ポート接続失敗";
    case SerialOpenStep::kReadSettings:
      return "通信パラメータ取得失敗";
    case SerialOpenStep::kWriteSettings:
      return "通信ポート設定セット失敗";
    case SerialOpenStep::kLineControl:
      return "RTS、DTR信号設定失敗";
    case SerialOpenStep::kReadTimeouts:
      return "タイムアウト値取得失敗";
    case SerialOpenStep::kWriteTimeouts:
      return "タイムアウト値セット失敗";
    case SerialOpenStep::kDone:
    case SerialOpenStep::kBadProfile:
      return {};
  }
  return {};
}

SerialLink::SerialLink(SerialDevice& device, MainState& state, Services services,
                       int byteWriteTimeoutMs)
    : device_(device),
      state_(state),
      services_(services),
      byteWriteTimeoutMs_(byteWriteTimeoutMs) {}

void SerialLink::ListSerialPorts() {
  ports_ = device_.ListPorts();
  state_.ComboBox2Items.clear();
  for (const SerialPort& port : ports_) state_.ComboBox2Items.push_back(port.name);
}

bool SerialLink::OpenSerialPort(int profile) {
  portLost_ = false;  // a fresh open gets a fresh chance
  const int index = state_.ComPortIndex;
  const bool listed = index >= 0 && index < static_cast<int>(ports_.size());
  const std::string path = listed ? ports_[index].path : std::string();
  const SerialOpenStep failed = device_.Open(path, profile);
  openedPath_ = failed == SerialOpenStep::kDone ? path : std::string();
  if (failed == SerialOpenStep::kDone) return true;
  const std::string text = SerialOpenFailureText(failed);
  if (!text.empty()) {
    services_.notice->Beep();
    services_.notice->ShowError(text);
  }
  return false;
}

bool SerialLink::CheckPortLost() {
  if (!portLost_ && !openedPath_.empty() && device_.LineLost()) portLost_ = true;
  return portLost_;
}

bool SerialLink::ReopenSerialPort(const std::string& path, int profile) {
  if (device_.Open(path, profile) != SerialOpenStep::kDone) {
    device_.Close();
    return false;
  }
  portLost_ = false;
  openedPath_ = path;
  return true;
}

void SerialLink::SetLineRate(int baud) {
  device_.SetLineRate(baud);
  if (trace_ != nullptr) trace_->LineRateSet(baud);
}

void SerialLink::WriteSerialBytes(std::string_view bytes) {
  Write(bytes, 0);
}

void SerialLink::WriteSerialText(std::string_view text, int keyIntervalMs) {
  Write(text.substr(0, kTextLimit), keyIntervalMs);
}

void SerialLink::CloseSerialPort() {
  device_.Close();
}

void SerialLink::Write(std::string_view command, int keyIntervalMs) {
  std::size_t written = 0;
  for (const char c : command) {
    if (portLost_) break;
    if (keyIntervalMs > 0) services_.clock->SleepMs(keyIntervalMs);
    // A byte that cannot go out (port gone, queue stuck past the time-out) ends the command and
    // marks the port lost: a stopped line must not hold every following command for a bound.
    if (!WritePacedByte(static_cast<std::uint8_t>(c))) {
      portLost_ = true;
      break;
    }
    ++written;
  }
  if (trace_ != nullptr) trace_->CommandWritten(command, written);
}

bool SerialLink::WritePacedByte(std::uint8_t byte) {
  const std::int64_t start = services_.clock->NowMs();
  for (bool first = true;; first = false) {
    // A short rest between polls keeps a stalled port from spinning a core.
    if (!first) services_.clock->SleepMs(1);
    const int waiting = device_.OutputQueueCount();
    services_.pump->ProcessPendingEvents();
    if (waiting < 0) return false;
    if (waiting < kOutputQueueRoom - 1) {
      const SerialWrite result = device_.WriteByte(byte);
      if (result == SerialWrite::kWritten) return true;
      if (result == SerialWrite::kFailed) return false;
    }
    if (services_.clock->NowMs() - start >= byteWriteTimeoutMs_) return false;
  }
}

}  // namespace tarvo
