// The two threads that carry the game forward beside the window: the turn monitor and the repaint
// watcher. Both are detached and run until the process ends; they wait on a wake signal between passes,
// so they react at once to a move or a command and sleep otherwise.
#include "app/turn_flow.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "app/turn_monitor.h"

namespace halvane {

namespace {

// The wake signal: a generation count behind a mutex. It is created once and never destroyed, so the
// threads that still wait on it while the process exits find it intact (no destructor runs under them).
struct WakeSignal {
  std::mutex mutex;
  std::condition_variable changed;
  uint64_t generation = 0;
};

WakeSignal& wake_signal() {
  static WakeSignal* signal = new WakeSignal;
  return *signal;
}

[[noreturn]] void turn_monitor(GameState* gs, Engine* e) {
  for (;;) {
    const int wait_ms = turn_monitor_pass(*gs, *e);
    if (wait_ms > 0) wait_for_wake(wait_ms);
  }
}

[[noreturn]] void repaint_watcher(GameState* gs, Engine* e) {
  for (;;) {
    repaint_watcher_pass(*gs, *e);
    // During a think the progress counter is looked at often; otherwise the watcher waits for one.
    if (gs->flags.thinking)
      std::this_thread::sleep_for(std::chrono::milliseconds(WATCH_STEP_MS));
    else
      wait_for_wake(IDLE_WAIT_MS);
  }
}

}  // namespace

std::recursive_mutex& turn_lock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;   // never destroyed, as the wake signal
  return *lock;
}

void wake_turn_threads() {
  WakeSignal& s = wake_signal();
  {
    std::lock_guard lock(s.mutex);
    s.generation += 1;
  }
  s.changed.notify_all();
}

void wait_for_wake(int ms) {
  WakeSignal& s = wake_signal();
  std::unique_lock lock(s.mutex);
  const uint64_t seen = s.generation;
  s.changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return s.generation != seen; });
}

void start_turn_threads(GameState& gs, Engine& e) {
  wake_signal();   // created before either thread can wait on it
  std::thread(turn_monitor, &gs, &e).detach();
  std::thread(repaint_watcher, &gs, &e).detach();
}

}  // namespace halvane
