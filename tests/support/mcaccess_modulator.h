// The simulated system's mcaccess_modulator, under the names the tests use.
#pragma once

#include "core/sim/mcaccess_modulator.h"

namespace tarvo::testing {
using namespace tarvo::sim;
}  // namespace tarvo::testing
