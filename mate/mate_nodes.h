// The mate solver's inside: the two node kinds, the try operations that make one candidate, search
// below it and take it back, and the two generators that hand every candidate to a try at once.
#pragma once

#include <algorithm>
#include <atomic>

#include "core/promotion.h"
#include "mate/mate_solver.h"

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

// How a generated move's promotion is offered: not at all, promoted then unpromoted, or promoted only.
enum Promo { NEVER, BOTH, ONLY };

// A piece of `kind` landing on `to_row`: promoted only where it could never move again unpromoted, both
// ways elsewhere in the zone, plain outside it.
inline Promo landing_promo(int side, int kind, int to_row) {
  return must_promote(side, kind, to_row) ? ONLY : in_zone_row(side, to_row) ? BOTH : NEVER;
}

// A bishop or rook may promote when it starts or ends in the zone; a horse or dragon is promoted already.
inline Promo slider_promo(int side, bool promotes, int from, int to) {
  return promotes && (in_promotion_zone(side, from) || in_promotion_zone(side, to)) ? BOTH : NEVER;
}

// Every attacker candidate in order (board moves of every GOTE piece, then drops around the SENTE king);
// stops at the first try that proves the node.
void generate_checks(MateSolver& s);
// Every defender candidate in one scan (interposing drops, captures, king steps, interpositions);
// stops at the first answer that escapes.
void generate_evasions(MateSolver& s);

}  // namespace halvane
