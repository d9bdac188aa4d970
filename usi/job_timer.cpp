// The job timer: one thread per "go", waiting on the session's condition variable.
#include "usi/job_timer.h"

namespace halvane {

void set_job_deadline(UsiSession& s, UsiClock::time_point deadline) {
  std::lock_guard<std::mutex> lock(s.job_mutex);
  s.has_deadline = true;
  s.deadline = deadline;
  s.job_changed.notify_all();
}

JobTimer start_job_timer(UsiSession& s, std::function<void()> on_expiry) {
  JobTimer timer;
  timer.thread = std::thread([&s, on_expiry = std::move(on_expiry)] {
    std::unique_lock<std::mutex> lock(s.job_mutex);
    while (!s.job_done) {
      if (!s.has_deadline) {
        s.job_changed.wait(lock);
        continue;
      }
      if (UsiClock::now() >= s.deadline) {
        s.timed_out = true;
        on_expiry();
        return;
      }
      s.job_changed.wait_until(lock, s.deadline);
    }
  });
  return timer;
}

void finish_job_timer(UsiSession& s, JobTimer& timer) {
  {
    std::lock_guard<std::mutex> lock(s.job_mutex);
    s.job_done = true;
    s.job_changed.notify_all();
  }
  if (timer.thread.joinable()) timer.thread.join();
}

void wait_for_release(UsiSession& s, bool ponderhit_releases) {
  std::unique_lock<std::mutex> lock(s.job_mutex);
  s.job_changed.wait(lock, [&] { return s.stop_seen || (ponderhit_releases && s.ponderhit_seen); });
}

}  // namespace halvane
