#pragma once

#include <functional>

// SIGTERM and SIGHUP (and the end of the desktop session) are requests to
// close, not crashes: they reach `end` from the event loop, where it can do
// what the close box does. Installed once; later calls only replace `end`.
void installPoliteEnd(std::function<void()> end);
