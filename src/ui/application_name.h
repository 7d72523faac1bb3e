// The names the program gives itself in Qt, shared by the program and its window tests.
#pragma once

namespace tarvo {

// Sets the application name. No display name: on X11 Qt appends it to every window's title,
// and each window's title is exactly its own caption.
void NameApplication();

}  // namespace tarvo
