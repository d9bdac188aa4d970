// The 対局 menu's commands besides a new game: 待った (take back the player's last move and the
// computer's answer) and 投了 (the player resigns), and the stop of the computer's think they start with.
// Window thread, under the turn lock.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// Stops the computer's think and the think ahead and throws their answers away. When it returns no think
// of the game runs and the record is whole: the turn monitor has either recorded the computer's move or
// left the record as before the think, and has not started another.
void stop_computer(GameState& gs, Engine& e);

// 待った: back to the position before the player's last move, the player to move; that move and the
// computer's answer leave the record. After a game's end the game goes on from there.
void take_back(GameState& gs, Engine& e);

// 投了, after the confirmation box: the game ends with the player's resignation on the player's turn.
void resign(GameState& gs, Engine& e);

}  // namespace halvane
