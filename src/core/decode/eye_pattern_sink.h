// The eye-pattern window as the decoders see it.
#pragma once

namespace tarvo {

class EyePatternSink {
 public:
  virtual ~EyePatternSink() = default;
  virtual bool IsShowing() const = 0;
  // Pushes the main window's EyeSamples/EyeStrobes into the history and redraws.
  virtual void UpdateEyePattern(int pixelsPerSample) = 0;
};

}  // namespace tarvo
