// How long a think may take under a game clock: one rule for halvane-usi's "go" and the window's clock, so
// that the computer spends its time alike wherever it plays. A think may use a share of its main time left
// plus the 秒読み and the increment it is sure to have, and always keeps back a margin for its answer to
// reach the other side, so that it never loses on time where the clock leaves it any time at all.
#pragma once

namespace halvane {

// The clock of the side to think, in milliseconds: main_left_ms -1 when no main time is given; movetime_ms
// >= 0 for a fixed time per move, which then decides alone.
struct ClockForThink {
  long long main_left_ms = -1;
  long long byoyomi_ms = 0;
  long long increment_ms = 0;
  long long movetime_ms = -1;
  // The increment comes only after the move is made (the window's clock adds it so): it is spent on the
  // next move, never on this one. USI's "binc" is counted on the move it is given for.
  bool increment_after = false;
};

// Time kept back for the answer to reach the other side through pipes and a busy scheduler (a stopped
// think itself ends within milliseconds).
constexpr long long ANSWER_MARGIN_MS = 250;
constexpr int SHARE_OF_MAIN_TIME = 15;   // a think may use 1/15 of the main time left

// Milliseconds the think may run before it is stopped; -1 when nothing limits it (no clock at all).
long long think_budget_ms(const ClockForThink& clock);

// The time a think still unfinished when its budget is spent may take on top of it: another share of the
// main time left, never past what keeps the margin. Nothing without main time (秒読み alone, a fixed time
// per move): there the budget is all the time there is.
long long think_extension_ms(const ClockForThink& clock);

// A think's time limit that keeps it within `budget_ms`: a limited think may let its first, smallest
// search run on for a quarter of its limit more, until its root has a move to play (think/limit_clock.h).
constexpr int FIRST_THINK_GRACE_DIVISOR = 4;
long long think_limit_within(long long budget_ms);
// How much longer than that limit an unfinished think may run to spend `extension_ms` more, by the same
// rule; 0 without an extension.
long long extension_within(long long budget_ms, long long extension_ms);

}  // namespace halvane
