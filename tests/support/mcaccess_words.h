// The simulated system's mcaccess_words, under the names the tests use.
#pragma once

#include "core/sim/mcaccess_words.h"

namespace tarvo::testing {
using namespace tarvo::sim;
}  // namespace tarvo::testing
