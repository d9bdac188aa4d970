// The think driver: the engine's single entry point. It chooses the computer's (GOTE's) move for a
// position, running the main search on the calling thread and the mate solver on a thread of its own.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace halvane {

// Results: resign_flag, result_move, and ply_best[0] (the score from SENTE's point of view). The caller
// sets game_ply (and ply_best[0] = 0) before the call; the think adds 1 to game_ply. Never called twice
// at once on one Engine.
void think(Engine& e, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8], const uint8_t gote_hand[8]);

}  // namespace halvane
