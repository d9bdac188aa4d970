// The record's slots as SFEN positions and back, with the player as sente so that the SFEN board is the
// record's board: used by halvane-kif to print and to build records, and by the KIF tests.
#pragma once

#include "app/game_state.h"
#include "engine/sfen.h"

namespace halvane {

// Record slot k as an SFEN position; sente is to move when k is even, and the move number is k + 1.
SfenPosition slot_position(const GameState& gs, int k);

// Puts the position's board and hands on the game's board and records them as the next slot; false when
// the record is full.
bool record_sfen_position(GameState& gs, const SfenPosition& pos);

}  // namespace halvane
