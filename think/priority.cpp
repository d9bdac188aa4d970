// The think's scheduling priority: as high as an ordinary process may ask for the think the player
// waits for, the lowest for a think on the player's time.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "think/think.h"
#include "think/think_priority.h"

namespace halvane {

namespace {

constexpr int BACKGROUND_NICE = 19;

}  // namespace

void raise_priority() {
  // An unprivileged process may lower its nice value down to 20 - RLIMIT_NICE. We ask for exactly that
  // much and no more, even when running with the privilege to go further, so that a think never starves
  // the rest of the desktop.
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return;
  long floor = limit.rlim_cur == RLIM_INFINITY ? -20 : 20 - static_cast<long>(limit.rlim_cur);
  if (floor < -20) floor = -20;
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, 0);
  if (errno != 0 || floor >= current) return;
  setpriority(PRIO_PROCESS, 0, static_cast<int>(floor));  // a refusal leaves the priority as it was
}

void set_think_priority(bool background) {
  if (background)
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), BACKGROUND_NICE);
  else
    raise_priority();
}

}  // namespace halvane
