// The deadline's waiting thread.
#include "think/deadline.h"

namespace halvane {

void start_deadline(Deadline& d, std::function<void()> on_expiry) {
  d.thread = std::thread([&d, on_expiry = std::move(on_expiry)] {
    std::unique_lock<std::mutex> lock(d.mutex);
    while (!d.done) {
      if (!d.armed) {
        d.changed.wait(lock);
        continue;
      }
      if (DeadlineClock::now() >= d.at) {
        d.passed = true;
        lock.unlock();
        on_expiry();
        return;
      }
      d.changed.wait_until(lock, d.at);
    }
  });
}

void set_deadline(Deadline& d, DeadlineClock::time_point at) {
  std::lock_guard<std::mutex> lock(d.mutex);
  d.armed = true;
  d.at = at;
  d.changed.notify_all();
}

bool deadline_passed(Deadline& d) {
  std::lock_guard<std::mutex> lock(d.mutex);
  return d.passed;
}

bool deadline_wait_done(Deadline& d, DeadlineClock::duration span) {
  std::unique_lock<std::mutex> lock(d.mutex);
  return d.changed.wait_for(lock, span, [&] { return d.done; });
}

void finish_deadline(Deadline& d) {
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    d.done = true;
    d.changed.notify_all();
  }
  if (d.thread.joinable()) d.thread.join();
}

}  // namespace halvane
