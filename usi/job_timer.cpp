// The job clock: a Deadline registered with the session, so that ponderhit can start it.
#include "usi/job_timer.h"

namespace halvane {

void start_job_clock(UsiSession& s, Deadline& clock, long long ms, bool ponder) {
  Engine* e = s.engine.get();
  start_deadline(clock, [e] { stop_think(*e); });
  std::lock_guard<std::mutex> lock(s.job_mutex);
  if (ms >= 0) set_deadline(clock, UsiClock::now() + std::chrono::milliseconds(ms));
  if (ponder && s.ponderhit_seen && s.ponder_budget_ms >= 0)
    set_deadline(clock, s.ponderhit_at + std::chrono::milliseconds(s.ponder_budget_ms));
  s.job_clock = &clock;
}

bool finish_job_clock(UsiSession& s, Deadline& clock) {
  {
    std::lock_guard<std::mutex> lock(s.job_mutex);
    s.job_clock = nullptr;
  }
  finish_deadline(clock);
  return clock.passed;
}

void wait_for_release(UsiSession& s, bool ponderhit_releases) {
  std::unique_lock<std::mutex> lock(s.job_mutex);
  s.job_changed.wait(lock, [&] { return s.stop_seen || (ponderhit_releases && s.ponderhit_seen); });
}

}  // namespace halvane
