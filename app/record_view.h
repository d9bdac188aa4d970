// What the window says about the record: the move list's lines ("1 ▲７六歩", "4 △同　銀", "60 ▲７六歩+"
// where the move has alternatives), the alternatives of the move on the board and its comments, the text
// of the position shown while stepping ("14手目 △３四歩まで") and the status line of the turn. All
// derived from the record and the cursor, so whatever changes them, the list and the status follow.
#pragma once

#include <string>
#include <vector>

#include "app/game_state.h"

namespace halvane {

// A move named as the list names it: "▲７六歩", "△同　銀" (the move before it given as `previous`).
std::u16string move_label(const MoveRecord& move, const MoveRecord* previous);

// The line shown as the list shows it: "開始局面", then "N ▲name" for each move (with "+" when the move has
// alternatives), and the closing remark once the line has ended ("まで54手で後手の勝ち"), each with the time
// its move took as a tooltip. The highlighted line is the position on the board.
void move_list_lines(const GameState& gs, MoveList& list);

// The moves that could stand where the move on the board stands (itself among them, first the record's
// main one), as the list offers them to switch to: "60 ▲７六歩", "60 ▲２六歩 (変化)". Empty when the move has
// no alternative.
struct Alternative {
  int node;
  std::u16string text;
};
std::vector<Alternative> alternatives_here(const GameState& gs);

// The comments the record holds for the position on the board, one per line.
std::u16string comments_here(const GameState& gs);

// The status line of the turn: before the start, at a finished record's end, while stepping through
// the record (paused: the move shown), the paused computer's turn, and the player's turn (with the last
// think's evaluation only when there is one for this position).
void write_turn_status(GameState& gs);

}  // namespace halvane
