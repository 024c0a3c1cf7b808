// The expanded panel's vertical composition, in points: the plate's inset and
// corners, and the fixed heights of the blocks stacked inside it.
#pragma once

namespace corvanta::panel {

constexpr int kInset = 1;
constexpr double kCornerRadius = 15;
constexpr int kHeaderHeight = 62;
// 10 + search field 36 + 9 + filter group (25 + 2 + 2) + 10.
constexpr int kToolbarHeight = 94;
constexpr int kTabsHeight = 42;
constexpr int kResultBarHeight = 36;
constexpr int kFooterHeight = 35;

}  // namespace corvanta::panel
