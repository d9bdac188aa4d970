// The stop protocol and the time limit's clock.
#include "think/limit_clock.h"

#include <chrono>

#include "think/think.h"
#include "think/time_budget.h"

namespace halvane {

namespace {

constexpr auto FIRST_THINK_POLL = std::chrono::milliseconds(5);

}  // namespace

void request_stop(Engine& e, uint8_t why) {
  e.stop_requested.fetch_or(why);
  // A running reply check ends at its next node; the next one reloads its depth.
  if (e.running_job.load() == JOB_THINK) e.reply_solver.depth_limit.store(0, std::memory_order_relaxed);
  if (e.running_job.load() == JOB_MATE) {
    e.mate_thread_solver.base_depth.store(0, std::memory_order_relaxed);
    e.mate_thread_solver.depth_limit.store(0, std::memory_order_relaxed);
  }
}

void start_limit_clock(LimitClock& clock, Engine& e, int limit_ms, int extend_ms) {
  const auto start = DeadlineClock::now();
  const auto at = start + std::chrono::milliseconds(limit_ms);
  set_deadline(clock.deadline, at);
  start_deadline(clock.deadline, [&clock, &e, start, at, extend_ms] {
    // The first think's root waits for its first complete move (its reply checks can be long), but
    // no longer than a quarter of the limit more.
    const auto last_chance = at + (at - start) / FIRST_THINK_GRACE_DIVISOR;
    while (clock.running.load() == 0 && e.root_has_move.load(std::memory_order_relaxed) == 0 &&
           DeadlineClock::now() < last_chance)
      if (deadline_wait_done(clock.deadline, FIRST_THINK_POLL)) return;
    // A larger think under way has the extension to complete (the series ends when it does).
    if (extend_ms > 0 && clock.running.load() > 0 &&
        deadline_wait_done(clock.deadline, std::chrono::milliseconds(extend_ms)))
      return;
    request_stop(e, STOP_LIMIT);
  });
}

bool may_run(LimitClock* clock, const Engine& e, int index) {
  if (index > 0 && ((clock && deadline_passed(clock->deadline)) || e.stop_requested.load() != 0)) return false;
  if (clock) clock->running.store(index);
  return true;
}

void stop_think(Engine& e) {
  // A think's nodes read stop_requested. A mate solve reads only the solver's depth words; its own run
  // re-reads stop_requested after arming, so a stop that lands in between is not lost.
  request_stop(e, STOP_OUTSIDE);
}

void clear_stop(Engine& e) { e.stop_requested.store(0); }

}  // namespace halvane
