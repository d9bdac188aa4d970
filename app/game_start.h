// A game begun here: from the even start (開始, 新規対局), from a handicap start, or from a pasted position.
// The player plays one side, the computer the other, whichever moves first.
#pragma once

#include "app/game_state.h"
#include "record/game_record.h"
#include "think/think.h"

namespace halvane {

// The game starts on `record` (its start position, and any moves it holds) with the player on
// `player_side`: the game's own header (when and where it began, and its time control), the board and both
// clocks at the start, the turn's status. The computer's think, if the computer is to move, starts with the next advance_game.
void begin_game(GameState& gs, Engine& e, GameRecord record, int player_side);

}  // namespace halvane
