// The squares a selected board piece reaches (reach_map) and may move to (target_map), in screen squares.
#pragma once

#include "app/game_state.h"

namespace halvane {

// Fills reach_map and target_map for the piece sel_piece on (sel_col, sel_row) of the screen board: a
// bottom piece (plain code) moves toward row 0, a top piece (GOTE_BIT) toward row 8. Targets are the
// reached squares that are empty or hold a piece of the other side.
void compute_targets(GameState& gs);

// Keeps only the targets a legal move of the selected piece reaches in the position on the board.
void keep_legal_targets(GameState& gs);

}  // namespace halvane
