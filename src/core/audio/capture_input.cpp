#include "core/audio/capture_input.h"

#include "core/base/notice.h"

namespace tarvo {

void CaptureInput::OpenCaptureInput(int captureRate, int captureFrames) {
  if (open_) CloseCaptureInput();
  ++generation_;
  frames_ = captureFrames;
  ring_.Reset(kCaptureSlots, 2 * captureFrames);
  open_ = device_.Open(state_.InputDevice, captureRate, captureFrames, ring_);
  if (open_ || services_.notice == nullptr) return;
  services_.notice->Beep();
  services_.notice->ShowError(
      "録音デバイスをオープンできないためプログラムの実行ができません\n"
      "デバイスが使用中か録音フォーマットに対応していない可能性があります");
}

void CaptureInput::CloseCaptureInput() {
  if (!open_) return;
  device_.Close();
  open_ = false;
  ++generation_;
  ring_.Reset(kCaptureSlots, 2 * frames_);
}

bool CaptureInput::TakeBlock(const CaptureBlockHandler& process) {
  if (!open_) return false;
  const std::int16_t* block = ring_.Front();
  if (block == nullptr) return false;
  const int generation = generation_;
  process(block, frames_);
  if (generation == generation_) ring_.Pop();
  return true;
}

}  // namespace tarvo
