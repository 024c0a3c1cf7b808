// The text of a system error number, safe to ask for on any thread.
#pragma once

#include <string>

namespace corvanta::platform {

// "No such file or directory" for ENOENT, in the C locale's words. Unlike
// std::strerror, never shares a buffer with a call on another thread.
std::string systemErrorText(int code);

}  // namespace corvanta::platform
