// The search normalisation written step by step with ICU regular expressions,
// as the yardstick for the fast version.
#pragma once

#include <string>
#include <string_view>

namespace corvanta::testing {

std::string referenceNormalize(std::string_view text);

}  // namespace corvanta::testing
