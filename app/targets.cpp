// Where a selected board piece can go: single steps and rays by kind, marked in reach_map; target_map
// keeps the marks on empty squares and on the other side's pieces, and, where the rules are kept, only
// the squares of the piece's legal moves.
#include "app/targets.h"

#include "core/legality.h"
#include "core/piece_moves.h"

namespace halvane {

namespace {

// A cell of the 20 x 20 board; squares off the 9 x 9 area fall on the wall frame (five cells wide, so
// a knight's jump or a ray's first step beyond the edge still lands inside the array).
int cell(int col, int row) { return gs_index(col, row); }

// A top piece moves as a bottom one turned round.
Step facing(Step s, bool top) { return top ? Step{-s.dc, -s.dr} : s; }

void mark(GameState& gs, int col, int row, Step s) { gs.input.reach_map[cell(col + s.dc, row + s.dr)] = 1; }

// Marks the next square, then the one after, and stops after the first one that is not empty.
void mark_ray(GameState& gs, int col, int row, Step s) {
  for (int c = col + s.dc, r = row + s.dr;; c += s.dc, r += s.dr) {
    const int i = cell(c, r);
    gs.input.reach_map[i] = 1;
    if (gs.screen.board[i] != SQ_EMPTY) return;   // a piece of either side, or the wall
  }
}

}  // namespace

void compute_targets(GameState& gs) {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.input.reach_map[cell(col, row)] = gs.input.target_map[cell(col, row)] = 0;

  const int c = gs.input.sel_col, r = gs.input.sel_row, code = gs.input.sel_piece;
  if (!is_piece(code)) return;
  const bool top = is_gote_piece(code);
  const PieceMoves& moves = PIECE_MOVES[kind_of(code)];
  for (int i = 0; i < moves.n_steps; ++i) mark(gs, c, r, facing(moves.steps[i], top));
  for (int j = 0; j < moves.n_lines; ++j) mark_ray(gs, c, r, facing(DIR_STEPS[moves.lines[j]], top));

  // Marks on walls and on the mover's own pieces fall away.
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int i = cell(col, row), there = gs.screen.board[i];
      if (gs.input.reach_map[i] && (there == SQ_EMPTY || (is_piece(there) && is_gote_piece(there) != top)))
        gs.input.target_map[i] = 1;
    }
}

void keep_legal_targets(GameState& gs) {
  int legal[GS_CELLS] = {};
  const int from_col = screen_line(gs, gs.input.sel_col), from_row = screen_line(gs, gs.input.sel_row);
  for (const MoveRecord& m : legal_moves(gs.game.position))
    if (!m.is_drop() && m.from_col == from_col && m.from_row == from_row)
      legal[cell(screen_line(gs, m.to_col), screen_line(gs, m.to_row))] = 1;
  for (int i = 0; i < GS_CELLS; ++i) gs.input.target_map[i] &= legal[i];
}

}  // namespace halvane
