// The 対局 menu's commands besides a new game: 待った (take back the player's last move and the
// computer's answer) and 投了 (the player resigns). Window thread.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// 待った: back to the position before the player's last move, the player to move; that move and the
// computer's answer leave the record (the record's other lines from there stay). After a game's end the
// game goes on from there.
void take_back(GameState& gs, Engine& e);

// 投了, after the confirmation box: the game ends with the player's resignation on the player's turn.
void resign(GameState& gs, Engine& e);

}  // namespace halvane
