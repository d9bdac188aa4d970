// The think's best line as front ends receive it: the search's table read back into the request's
// coordinates, led by the chosen move and ended before the first move the rules would refuse.
#pragma once

#include "think/think.h"

namespace halvane {

// The search's `line` (in the engine's view: rotated when the request was) as the think answers it for
// `request` (its own coordinates, before any rotation) and its chosen `move`. A line that does not start
// with the move (a mate from the mate thread, a think stopped early) is the move alone; no move, no line.
BestLine request_line(const ThinkRequest& request, bool rotated, const BestLine& line, const MoveRecord& move);

}  // namespace halvane
