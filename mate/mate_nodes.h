// The mate solver's inside: the two node kinds, the try operations that make one candidate, search
// below it and take it back, and the two generators that hand every candidate to a try at once.
#pragma once

#include <algorithm>
#include <atomic>

#include "engine/engine.h"

namespace halvane {

// The ply limit in force. The stop signal sets both depth words to 0; taking the smaller one keeps a
// stop that lands while a pass is starting (between reading base_depth and writing depth_limit).
inline int mate_depth_now(const MateSolver& s) {
  return std::min(s.depth_limit.load(std::memory_order_relaxed), s.base_depth.load(std::memory_order_relaxed));
}

// Nodes report through proven[ply].
void attacker_node(MateSolver& s, int pass);
void defender_node(MateSolver& s, int pass);

// Each returns true when the candidate decided the node: for the attacker, proven[ply] is 1; for the
// defender, the answer escaped (proven[ply] is 0).
bool try_attacker_move(MateSolver& s, int from, int mover, int to, int placed, int taken);
// The dropped code is already on `cell` and out of the GOTE hand; the caller undoes both.
bool try_attacker_drop(MateSolver& s, int cell);
bool try_defender_move(MateSolver& s, int from, int mover, int to, int placed, int taken);
// Takes one piece of `kind` out of the SENTE hand onto the empty `cell`, searches it, puts it back.
bool try_defender_drop(MateSolver& s, int cell, int kind);
// A generated attacker move onto the SENTE king: recorded as the mate at once, never made.
bool capture_king(MateSolver& s, int from, int mover, int to, int placed);

// Every attacker candidate in order (board moves of every GOTE piece, then drops around the SENTE king);
// stops at the first try that proves the node.
void generate_checks(MateSolver& s);
// Every defender candidate in one scan (interposing drops, captures, king steps, interpositions);
// stops at the first answer that escapes.
void generate_evasions(MateSolver& s);

}  // namespace halvane
