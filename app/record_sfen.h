// The record's slots and the screen as SFEN positions and back, with the player as sente so that the SFEN
// board is the record's board: used by halvane-kif, by the turn flow to look for mate, and by the tests.
#pragma once

#include "app/game_state.h"
#include "core/sfen.h"

namespace halvane {

// Record slot k as an SFEN position; sente is to move when k is even, and the move number is k + 1.
SfenPosition slot_position(const GameState& gs, int k);

// The position on screen (board and hands) with the player to move. The player's pieces are always the
// sente pieces of the game's board, whichever side the player plays, so the player is BLACK here.
SfenPosition screen_position_player_to_move(const GameState& gs);

// Puts the position's board and hands on the game's board and records them as the next slot; false when
// the record is full.
bool record_sfen_position(GameState& gs, const SfenPosition& pos);

}  // namespace halvane
