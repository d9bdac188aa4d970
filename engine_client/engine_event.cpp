// The client's events: error names, exit descriptions and the owner's queue.
#include "engine_client/engine_event.h"

#include <string.h>
#include <sys/wait.h>

namespace halvane {

const char* engine_error_name(EngineError error) {
  switch (error) {
    case ENGINE_OK: return "no error";
    case ENGINE_START_FAILED: return "could not start";
    case ENGINE_NO_USIOK: return "no usiok";
    case ENGINE_NO_READYOK: return "no readyok";
    case ENGINE_ILLEGAL_MOVE: return "illegal move";
    case ENGINE_TIME_OUT: return "time-out";
    case ENGINE_CRASHED: return "crashed or exited";
    case ENGINE_NOT_READING: return "not reading its input";
  }
  return "unknown error";
}

std::string describe_wait_status(int wait_status) {
  if (wait_status == -1) return "exit status unknown";
  if (WIFEXITED(wait_status)) return "exit status " + std::to_string(WEXITSTATUS(wait_status));
  if (WIFSIGNALED(wait_status)) {
    const int signal = WTERMSIG(wait_status);
    const char* name = sigabbrev_np(signal);
    return "killed by signal " + std::to_string(signal) + (name ? std::string(" (SIG") + name + ")" : "");
  }
  return "wait status " + std::to_string(wait_status);
}

void push_event(EngineEventQueue& queue, EngineEvent event) {
  {
    std::lock_guard lock(queue.mutex);
    queue.events.push_back(std::move(event));
  }
  queue.arrived.notify_all();
}

bool wait_event(EngineEventQueue& queue, EngineEvent& out, std::chrono::milliseconds limit) {
  std::unique_lock lock(queue.mutex);
  if (!queue.arrived.wait_for(lock, limit, [&] { return !queue.events.empty(); })) return false;
  out = std::move(queue.events.front());
  queue.events.pop_front();
  return true;
}

}  // namespace halvane
