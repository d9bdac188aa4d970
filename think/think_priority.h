// The priority a think's thread runs at. Private to the think driver.
#pragma once

namespace halvane {

// A think on the player's time runs at the lowest priority (on this thread only, which its mate thread
// inherits); any other raises the process's as far as it may (raise_priority).
void set_think_priority(bool background);

}  // namespace halvane
