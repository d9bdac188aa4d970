// Where the player's selected board piece can go: single steps and rays by kind, marked in reach_map;
// target_map keeps the marks on empty squares and on the computer's pieces.
#include "app/targets.h"

#include <cstring>

#include "core/piece_moves.h"

namespace halvane {

namespace {

// A cell of the 20 x 20 board; squares off the 9 x 9 area fall on the wall frame (five cells wide, so
// a knight's jump or a ray's first step beyond the edge still lands inside the array).
int cell(int col, int row) { return gs_index(col, row); }

void mark(GameState& gs, int col, int row, Step s) { gs.input.reach_map[cell(col + s.dc, row + s.dr)] = 1; }

// Marks the next square, then the one after, and stops after the first one that is not empty.
void mark_ray(GameState& gs, int col, int row, Step s) {
  for (int c = col + s.dc, r = row + s.dr;; c += s.dc, r += s.dr) {
    const int i = cell(c, r);
    gs.input.reach_map[i] = 1;
    if (gs.record.board[i] != SQ_EMPTY) return;   // a piece of either side, or the wall
  }
}

}  // namespace

void compute_targets(GameState& gs) {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.input.reach_map[cell(col, row)] = gs.input.target_map[cell(col, row)] = 0;

  // The player's pieces move as SENTE's: towards row 0. A computer's code or an empty square reaches nothing.
  const int c = gs.input.sel_col, r = gs.input.sel_row;
  if (gs.input.sel_piece >= 0 && gs.input.sel_piece < 16) {
    const PieceMoves& moves = PIECE_MOVES[gs.input.sel_piece];
    for (int i = 0; i < moves.n_steps; ++i) mark(gs, c, r, moves.steps[i]);
    for (int j = 0; j < moves.n_lines; ++j) mark_ray(gs, c, r, DIR_STEPS[moves.lines[j]]);
  }

  // Marks on walls and on the player's own pieces fall away.
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int i = cell(col, row);
      if (gs.input.reach_map[i] && (gs.record.board[i] == SQ_EMPTY || is_gote_piece(gs.record.board[i]))) gs.input.target_map[i] = 1;
    }
}

}  // namespace halvane
