// GameRecord: one game as a record file holds it — the moves from the initial position and how the game
// ended. The KIF reader fills it from a file's bytes and the writer turns it back into bytes; the game
// model turns its record slots into one and back.
#pragma once

#include "core/types.h"

namespace halvane {

constexpr int RECORD_MOVE_CAPACITY = 499;   // a record of 500 positions holds at most 499 moves

// How a game ended. NONE while it goes on (or stopped without an end, as at the record's limit); a
// king's capture and a resignation are both written as a resignation, since the side that would lose its
// king gives up in a record. FOUL is the loss of the side to move by an illegal move (反則負け): the
// illegal move itself is not in the record.
enum GameEnd : int { GAME_END_NONE, GAME_END_RESIGNED, GAME_END_KING_CAPTURED, GAME_END_MATED, GAME_END_FOUL };

// Moves in the orientation of SfenPosition: sente (the first mover) at the bottom with plain codes,
// gote's pieces with GOTE_BIT, square index row * 9 + col with col 0 file 9. Replayed with apply_move from
// startpos(), move k leads to the position after k + 1 moves.
struct GameRecord {
  int move_count = 0;
  MoveRecord moves[RECORD_MOVE_CAPACITY];
  GameEnd end = GAME_END_NONE;
};

}  // namespace halvane
