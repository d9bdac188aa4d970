// A deadline with a thread that waits for it: the think's time limit and halvane-usi's clock for a "go"
// are both one. It may be set late or moved from any thread (a ponderhit starts the clock), and when it
// passes before the job is done, the expiry routine runs once on the waiting thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace halvane {

using DeadlineClock = std::chrono::steady_clock;

struct Deadline {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;     // the job has ended; the waiting thread leaves
  bool armed = false;    // `at` is set
  bool passed = false;   // the deadline passed while the job ran: the expiry routine was called
  DeadlineClock::time_point at{};
  std::thread thread;
};

// Starts the waiting thread. `on_expiry` runs on it without the deadline's lock held; it may wait for the
// job with deadline_wait_done.
void start_deadline(Deadline& d, std::function<void()> on_expiry);
// Sets or moves the deadline.
void set_deadline(Deadline& d, DeadlineClock::time_point at);
bool deadline_passed(Deadline& d);
// From the expiry routine: waits up to `span` for the job to end; true when it has.
bool deadline_wait_done(Deadline& d, DeadlineClock::duration span);
// Marks the job done and joins the waiting thread (an expiry routine under way finishes first).
void finish_deadline(Deadline& d);

}  // namespace halvane
