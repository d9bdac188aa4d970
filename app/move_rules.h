// The rules the player's move is held to beyond a piece's reach — the record's own rules of a legal move,
// so that the window, the computer and the files agree — with the reason a move is refused; and the foul
// the computer claims when an illegal move was played anyway (反則手も指せる).
#pragma once

#include "app/game_state.h"
#include "core/legality.h"

namespace halvane {

// The refusal of a move the rules forbid, by verdict ("二歩は指せません。"); none for MOVE_OK.
const char16_t* refusal_text(MoveVerdict verdict);

// When the move into the position on the board was the player's and broke the rules, the computer
// claims it: the record ends there with 反則勝ち for the computer, the foul move kept, and the status
// names the foul. Returns whether it did.
bool claim_player_foul(GameState& gs);

}  // namespace halvane
