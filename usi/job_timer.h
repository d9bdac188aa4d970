// The clock of a running "go": a small thread that waits for the session's deadline and then calls the
// job's stop routine, unless the job has finished first. Ponderhit can set the deadline while it waits.
#pragma once

#include <functional>
#include <thread>

#include "usi/usi_session.h"

namespace halvane {

struct JobTimer {
  std::thread thread;
};

void set_job_deadline(UsiSession& s, UsiClock::time_point deadline);
// Starts waiting; `on_expiry` runs (under the session's job lock) when the deadline passes first.
JobTimer start_job_timer(UsiSession& s, std::function<void()> on_expiry);
// Marks the job done and waits for the timer thread to end.
void finish_job_timer(UsiSession& s, JobTimer& timer);
// Blocks until "stop" arrives, or also "ponderhit" when `ponderhit_releases`.
void wait_for_release(UsiSession& s, bool ponderhit_releases);

}  // namespace halvane
