// The rules the player's move is held to beyond a piece's reach: the engine's own legal-move list decides,
// so that the window and the computer agree, and a refused move is told why. Also the foul the computer
// claims when an illegal move was played anyway (反則手も指せる).
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

enum MoveFault {
  MOVE_LEGAL,
  MOVE_LEAVES_KING,      // the player's own king is left attacked
  MOVE_PAWN_DROP_MATE,   // a pawn drop that mates
  MOVE_OTHER_FAULT,      // any other foul (the clicks already refuse the rest)
};

// Texts of the refusals, by fault (none for MOVE_LEGAL).
const char16_t* fault_text(MoveFault fault);

// The verdict on the player's move `move` (screen coordinates, as parse_usi_move would fill it) on the
// position on screen. `scratch` is an Engine no think is using.
MoveFault player_move_fault(Engine& scratch, const GameState& gs, const MoveRecord& move);

// True when the position on screen, the computer to move, has no legal move for it and the record's last
// move was the player's pawn drop: a pawn-drop mate the player was let play.
bool pawn_drop_mate_played(Engine& scratch, const GameState& gs);

}  // namespace halvane
