// A think's time limit and the stop protocol: the reasons a think is asked to stop, and the clock that
// stops the running think of a time-limited series at its deadline. Private to the think driver.
#pragma once

#include <atomic>
#include <cstdint>

#include "search/engine.h"
#include "think/deadline.h"

namespace halvane {

constexpr uint8_t STOP_OUTSIDE = 1;   // stop_think
constexpr uint8_t STOP_LIMIT = 2;     // the think's own time limit

// Asks the running job to stop for `why`: its nodes, a running reply check and the mate solver all see it.
void request_stop(Engine& e, uint8_t why);

// The time limit of a think: its deadline stops the running think. The first think is stopped too, so
// that no clock is lost on a position where even it takes long, once its root has a searched move to play
// (or a little later at the latest: then it may have none).
struct LimitClock {
  Deadline deadline;
  std::atomic<int> running{0};   // index of the think running
};

// Starts the clock of a think with a time limit of `limit_ms`, which an unfinished series may pass by
// `extend_ms` to complete the think under way.
void start_limit_clock(LimitClock& clock, Engine& e, int limit_ms, int extend_ms);
// True when think `index` may start: the first always, a later one only before the deadline and stop.
// `clock` is null for a think without a limit.
bool may_run(LimitClock* clock, const Engine& e, int index);

}  // namespace halvane
