#include "platform/process_priority.h"

#include <sys/resource.h>

namespace tarvo {

void RaiseProcessPriority() {
  setpriority(PRIO_PROCESS, 0, -10);
}

}  // namespace tarvo
