// What the McAccess decoder does every block besides decoding, whichever demodulator runs: the
// reception lamp's countdown and, from the block's tone level, the tone bar, call detection,
// the signal-loss watchdog, the monitor routing and the occupied lamp.
#pragma once

#include "core/audio/block_decoder.h"
#include "core/base/main_state.h"
#include "core/base/services.h"

namespace tarvo {

// Darkens "受信" on the fifth block after the last accepted frame.
void CountMcAccessReceptionLamp(MainState& state);

// monitorBlock is the block's input as received; silent monitor writes clear it.
void SuperviseMcAccessCall(MainState& state, const Services& services, InputBlock& monitorBlock,
                           double toneLevel);

}  // namespace tarvo
