// The game model's record slots as a SlotMoves and back. The record keeps positions rather than moves,
// so each move is found by comparing consecutive slots; a record that was read is replayed into the slots.
#pragma once

#include "app/game_state.h"
#include "record/game_record.h"

namespace halvane {

// The slots' moves as a flat list from the initial position, with sente at the bottom, and how the game
// ended: what the record files are made from and read into.
struct SlotMoves {
  int move_count = 0;
  MoveRecord moves[RECORD_SLOTS - 1];
  GameEnd end = GAME_END_NONE;
};

// The main line of a record read from a file, as far as the slots hold it (`cut` is set when the
// record has more moves than that), and a record for the file from the slots' moves.
SlotMoves slot_moves_of(const GameRecord& record, bool& cut);
GameRecord record_of(const SlotMoves& moves);

// What comparing slot k with slot k + 1 shows.
enum SlotChange {
  SLOT_UNCHANGED,   // no square differs: the record ends here
  SLOT_MOVE,        // a board move or a drop, described in the MoveRecord
  SLOT_MALFORMED,   // one or two differences that are not a move
  SLOT_TOO_MANY,    // more than two squares differ
};

// The move from slot k to slot k + 1, in the record's own coordinates. `differences` is the number of
// squares that differ.
SlotChange slot_move(const GameState& gs, int k, MoveRecord& move, int& differences);

// The moves of slots 0..length with sente at the bottom (rotated when the player is gote) and the game's
// end; an unchanged slot ends them. True when every step up to there is a move; otherwise `failure` and
// `differences` describe the first step that is none, and `record` holds the moves before it.
bool record_from_slots(const GameState& gs, SlotMoves& record, SlotChange& failure, int& differences);

// Slot 0 becomes the initial position with empty hands and slots 1..move_count the positions after each
// move, with the player as sente; `length` becomes the number of moves. Nothing else of `gs` changes.
void record_to_slots(GameState& gs, const SlotMoves& record);

}  // namespace halvane
