// A mate problem solved on its own: the mate solver run on a position with the side to move attacking,
// as USI "go mate" asks. stop_think ends a run early; an ended run never reports a mate.
#pragma once

#include "core/sfen.h"
#include "think/think.h"

namespace halvane {

constexpr int MATE_SOLVE_DEPTH = 12;   // the ply limit the mate thread of a think uses

struct MateSolveResult {
  bool stopped = false;   // stop_think came first: nothing was proven either way
  bool found = false;     // a forced mate within the limit
  MoveRecord move;        // its first move, in the position's coordinates
  int length = 0;         // its length in plies
};

// Solves `pos` (the attacker to move) with a ply limit on the Engine's mate-thread solver. The Engine
// must not be thinking.
MateSolveResult solve_mate(Engine& e, const SfenPosition& pos, int depth);

}  // namespace halvane
