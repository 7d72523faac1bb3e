#include "fake_serial_device.h"

namespace tarvo::testing {

SerialOpenStep FakeSerialDevice::Open(const std::string& path, int profile) {
  Event("<open " + path + " " + std::to_string(profile) + ">");
  const SerialOpenStep result = path.empty() ? SerialOpenStep::kOpen : failAt;
  open = result != SerialOpenStep::kOpen;
  return result;
}

bool FakeSerialDevice::SetLineRate(int baud) {
  Event("<rate " + std::to_string(baud) + ">");
  return open;
}

int FakeSerialDevice::OutputQueueCount() {
  ++polls;
  if (!open || bytesWritten == unplugAfterBytes) return -1;
  if (queueScript.empty()) return queueCount;
  const int count = queueScript.front();
  queueScript.pop_front();
  return count;
}

SerialWrite FakeSerialDevice::WriteByte(std::uint8_t byte) {
  if (!open || bytesWritten == unplugAfterBytes) return SerialWrite::kFailed;
  if (!lastWasWrite_ || log.empty()) log.emplace_back();
  log.back() += static_cast<char>(byte);
  written_ += static_cast<char>(byte);
  lastWasWrite_ = true;
  ++bytesWritten;
  if (onWrite) onWrite(byte);
  return SerialWrite::kWritten;
}

void FakeSerialDevice::Close() {
  Event("<close>");
  open = false;
}

void FakeSerialDevice::Event(std::string text) {
  log.push_back(std::move(text));
  lastWasWrite_ = false;
}

}  // namespace tarvo::testing
