// An evaluation a player reads: centipawns from sente's side (a pawn about 100), or a mate, which every
// layer that shows, stores or sorts evaluations means the same way. A mate in N moves is told as
// ±(MATE_EVALUATION - N): positive when sente mates, so that a nearer mate is the larger.
#pragma once

namespace halvane {

constexpr int MATE_EVALUATION = 1000000;
constexpr int NO_EVALUATION = -2147483647 - 1;   // nothing known of the position
constexpr int MATE_BOUND = MATE_EVALUATION - 10000;   // beyond this a value is a mate

inline bool is_mate_evaluation(int value) {
  return value != NO_EVALUATION && (value >= MATE_BOUND || value <= -MATE_BOUND);
}
// Moves to the mate (> 0), for a mate evaluation.
inline int mate_moves(int value) { return MATE_EVALUATION - (value < 0 ? -value : value); }
// A mate in `moves` for sente (sente_mates) or for gote.
inline int mate_evaluation(int moves, bool sente_mates) {
  return sente_mates ? MATE_EVALUATION - moves : -(MATE_EVALUATION - moves);
}

}  // namespace halvane
