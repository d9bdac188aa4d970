// The squares the player's selected board piece reaches (reach_map) and may move to (target_map).
#pragma once

#include "app/game_state.h"

namespace halvane {

// Fills reach_map and target_map for the piece sel_piece on (sel_col, sel_row); the player's pieces
// always move toward row 0.
void compute_targets(GameState& gs);

}  // namespace halvane
