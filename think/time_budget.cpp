// The time a think may take: a share of the main time left plus what the 秒読み and the increment surely
// give, never more than all of it less the answer's margin (at most a third of what there is).
#include "think/time_budget.h"

#include <algorithm>

namespace halvane {

long long think_budget_ms(const ClockForThink& c) {
  long long total, share;
  if (c.movetime_ms >= 0) {
    total = share = c.movetime_ms;
  } else {
    const bool clocked = c.main_left_ms >= 0 || c.byoyomi_ms > 0 || c.increment_ms > 0;
    if (!clocked) return -1;
    const long long main_left = std::max(c.main_left_ms, 0LL);
    total = main_left + c.byoyomi_ms + (c.increment_after ? 0 : c.increment_ms);
    share = main_left / SHARE_OF_MAIN_TIME + c.byoyomi_ms + c.increment_ms;
  }
  const long long margin = std::min(ANSWER_MARGIN_MS, total / 3);
  return std::max(0LL, std::min(share, total - margin));
}

long long think_extension_ms(const ClockForThink& c) {
  if (c.movetime_ms >= 0 || c.main_left_ms <= 0) return 0;
  const long long total = c.main_left_ms + c.byoyomi_ms + (c.increment_after ? 0 : c.increment_ms);
  const long long margin = std::min(ANSWER_MARGIN_MS, total / 3);
  const long long room = total - margin - std::max(0LL, think_budget_ms(c));
  return std::max(0LL, std::min(c.main_left_ms / SHARE_OF_MAIN_TIME, room));
}

long long extension_within(long long budget_ms, long long extension_ms) {
  if (extension_ms <= 0) return 0;
  return think_limit_within(budget_ms + extension_ms) - std::max(1LL, think_limit_within(budget_ms));
}

long long think_limit_within(long long budget_ms) {
  if (budget_ms <= 0) return budget_ms;
  return std::max(1LL, budget_ms * FIRST_THINK_GRACE_DIVISOR / (FIRST_THINK_GRACE_DIVISOR + 1));
}

}  // namespace halvane
