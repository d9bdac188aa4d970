// The mate solver: a depth-first AND/OR search for a forced mate by the GOTE side against the SENTE king,
// with two passes per node and a fixed ply limit. Used on the mate thread during a think and, on the
// rotated position, to ask after each root move whether the human could force mate.
#pragma once

#include <cstdint>

#include "mate/mate_solver.h"

namespace halvane {

// Readies a solver whose position is copied in for a run: no answer kept, `depth` plies allowed.
void arm_mate_solver(MateSolver& s, int depth);

// The mate thread's body. Precondition: the position is copied in and the solver armed (arm_mate_solver;
// the mate thread's depth is 12). On return mate_found is 1 when mate_move is a usable mate; a position
// without a SENTE king has none, and the run returns at once.
void run_mate_search(MateSolver& s);

// Loads the given position rotated 180 degrees with the sides exchanged and runs run_reply_check on it:
// returns 1 when the human could force mate.
int reply_probe(MateSolver& s, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                const uint8_t gote_hand[8]);

// On a loaded, rotated position: 1 when the attacker can force mate within the ply limit; 0 at once when
// the defender has no king.
int run_reply_check(MateSolver& s);

}  // namespace halvane
