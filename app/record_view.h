// What the window says about the record: the move list's lines ("1 ▲７六歩", "4 △同　銀"), the text of
// the position shown while stepping ("14手目 △３四歩まで") and the status line of the turn. All derived
// from the record's state, so whatever changes the record, the list and the status follow it.
#pragma once

#include "app/game_state.h"

namespace halvane {

constexpr int MOVE_NAME_UNITS = 16;

// A move's name the KIF way, in the orientation of the file (sente at the bottom): "７六歩", "同　銀" (a
// recapture on the square of `previous`, which may be null), "２二角成", "２二角不成" (a move that could have
// promoted), "４五角打". `sente_moves` tells whose move it is (for its promotion zone).
void move_name(const MoveRecord& move, const MoveRecord* previous, bool sente_moves, char16_t out[MOVE_NAME_UNITS]);

// The record's moves as the list shows them: "開始局面", then "N ▲name" / "N △name" for each move, and
// once the game has ended the closing remark "まで54手で後手の勝ち". The highlighted line is the position
// on the board.
void move_list_lines(const GameState& gs, MoveList& list);

// Whether the record has ended (a resignation, a mate, ...) and its last position is on screen: a
// finished game, in which the turn passes to no one.
bool finished_here(const GameState& gs);

// The status line of the turn: before the start, at a finished record's end, while stepping through
// the record (paused: the move shown), the paused computer's turn, and the player's turn (with the last
// think's evaluation only when there is one for this position).
void write_turn_status(GameState& gs);

}  // namespace halvane
