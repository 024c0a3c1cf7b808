// The case list of a catalog enumeration, in declaration order:
// `allCases<SoftwareGroup>()` and so on.
#pragma once

namespace corvanta {

template <class Enum>
constexpr auto allCases();

}  // namespace corvanta
