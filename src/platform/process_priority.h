// Asks the system to schedule this process ahead of ordinary ones, so capture keeps up.
#pragma once

namespace tarvo {

// Best effort: without the right to raise it the priority stays as it was.
void RaiseProcessPriority();

}  // namespace tarvo
