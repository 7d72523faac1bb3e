#include "core/audio/capture_input.h"

#include <string>

#include "core/base/notice.h"
#include "core/base/tracking_events.h"

namespace tarvo {

void CaptureInput::OpenCaptureInput(int captureRate, int captureFrames) {
  if (open_) CloseCaptureInput();
  wanted_ = true;
  rate_ = captureRate;
  frames_ = captureFrames;
  if (OpenDevice()) return;
  Report("failed");
  if (services_.notice == nullptr) return;
  services_.notice->Beep();
  services_.notice->ShowError(
      "録音デバイスをオープンできないためプログラムの実行ができません\n"
      "デバイスが使用中か録音フォーマットに対応していない可能性があります");
}

void CaptureInput::CloseCaptureInput() {
  wanted_ = false;
  if (!open_) return;
  device_.Close();
  open_ = false;
  ++generation_;
  ring_.Reset(kCaptureSlots, 2 * frames_);
}

bool CaptureInput::OpenDevice() {
  ++generation_;
  ring_.Reset(kCaptureSlots, 2 * frames_);
  blocksSinceWatch_ = 0;
  quietWatches_ = 0;
  open_ = device_.Open(state_.InputDevice, rate_, frames_, ring_);
  return open_;
}

bool CaptureInput::TakeBlock(const CaptureBlockHandler& process) {
  if (!open_) return false;
  const std::int16_t* block = ring_.Front();
  if (block == nullptr) return false;
  ++blocksSinceWatch_;
  const int generation = generation_;
  process(block, frames_);
  if (generation == generation_) ring_.Pop();
  return true;
}

bool CaptureInput::Supervise() {
  if (!wanted_) return false;
  if (!open_) {
    if (!OpenDevice()) return false;
    Report("back");
    return true;
  }
  quietWatches_ = blocksSinceWatch_ == 0 ? quietWatches_ + 1 : 0;
  blocksSinceWatch_ = 0;
  // One quiet period may be a window thread that was held up; two are a recording that stalled.
  if (!device_.Failed() && quietWatches_ < 2) return false;
  device_.Close();
  open_ = false;
  ++generation_;
  ring_.Reset(kCaptureSlots, 2 * frames_);
  Report("lost");
  return true;
}

void CaptureInput::Report(const char* what) {
  if (services_.events == nullptr) return;
  TrackingEvent event;
  event.event = "sound";
  event.state = what;
  event.device =
      state_.InputDevice == 0 ? "default" : "input " + std::to_string(state_.InputDevice);
  services_.events->Emit(std::move(event), state_.Decoder);
}

}  // namespace tarvo
