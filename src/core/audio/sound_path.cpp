#include "core/audio/sound_path.h"

#include <utility>

namespace tarvo {

SoundPath::SoundPath(MainState& state, const FilterDesigns& designs, Services services,
                     CaptureDevice& capture, SoundOutputDevice& output, CaptureBlockHandler process)
    : monitor_(state, designs, services, output),
      capture_(state, services, capture),
      devices_(state, capture_, monitor_),
      process_(std::move(process)),
      sequencer_([this] { capture_.TakeBlock(process_); }) {}

}  // namespace tarvo
