// The simulated system's jsmr_modulator, under the names the tests use.
#pragma once

#include "core/sim/jsmr_modulator.h"

namespace tarvo::testing {
using namespace tarvo::sim;
}  // namespace tarvo::testing
