// Moves into the game's record and out of it: a move played at the cursor (the old continuation kept as
// a variation, or dropped when variations are not kept), the moves a take back withdraws, and the line
// the move list shows. Window thread only.
#pragma once

#include "app/game_state.h"

namespace halvane {

// Plays `move` (in record squares, for the side to move) at the cursor and shows the position after it.
// A move the record already holds there is followed, its continuation kept; any other is added: with
// keep_variations it becomes the main line and the old continuation its first variation, otherwise the
// old continuation is dropped first. The game's end, if it had one there, is gone. In a started game the
// move's time comes from the game's clock (app/play_clock.h).
void play_move(GameState& gs, const MoveRecord& move);

// Withdraws the move of `node` and every move after it, and shows the position before it. With
// keep_variations only that line leaves the record (the other lines from there stay); otherwise
// everything after the position does.
void withdraw_move(GameState& gs, int node);

// Adds `moves` after `node` as a line of its own, whatever 変化を残す says: followed where the record
// already has them, a new variation from where it differs. The cursor stays; returns the node of the
// line's first move.
int add_line_after(GameState& gs, int node, const std::vector<MoveRecord>& moves);

// Drops every move after the cursor: the line ends on the board.
void end_line_here(GameState& gs);

// The moves of the line shown, from the start: node indices, the start first.
std::vector<int> shown_line(const GameState& gs);

}  // namespace halvane
