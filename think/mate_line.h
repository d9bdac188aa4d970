// A mate problem solved with its whole line: the shortest mate the solver proves, and after each of the
// attacker's moves the defence that holds out longest answered by the shortest mate after it. USI "go mate" and the window's
// 詰み探索 both ask for it; stop_think (or a deadline that calls it) ends it early.
#pragma once

#include <vector>

#include "think/mate_solve.h"

namespace halvane {

struct MateLine {
  bool stopped = false;   // stop_think came before the solver proved anything either way
  bool found = false;     // a forced mate within the ply limit
  int length = 0;         // its length in plies: the shortest the solver proves
  // The line from the position, the attacker's first move first, in the position's coordinates.
  std::vector<MoveRecord> moves;
  bool mated = false;     // the line ends with the defender left without a move
  bool cut = false;       // a stop came while the line was being recovered: it ends earlier
};

// Solves `pos` (the attacker to move) within `depth` plies and recovers the line. Lengths come from
// solving with growing limits, never from the solver's own count (below the root it keeps the first mate
// it proves). A defence the solver sees no mate after within the remaining length is one it does not
// count (an interposing drop on a square the defender did not cover, which only delays the mate), as
// mate problems do not count such futile interpositions. Found or not, the answer is the solver's at
// `depth`. The Engine must not be thinking.
MateLine solve_mate_line(Engine& e, const SfenPosition& pos, int depth = MATE_SOLVE_DEPTH);

}  // namespace halvane
