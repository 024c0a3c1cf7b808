// The first word drawn waits for the font configuration (every configuration
// file parsed, every font cache mapped), a few milliseconds. It needs nothing
// of the toolkit, so start-up reads it on a worker thread while the toolkit
// connects to the display.
#pragma once

#include <thread>

namespace corvanta::platform {

// Reads the font configuration on a new thread; the toolkit later finds it
// loaded. Safe to race with the toolkit's own first use.
std::jthread preloadFontConfiguration();

}  // namespace corvanta::platform
