// Where the player's selected board piece can go: single steps and rays by kind, marked in reach_map;
// target_map keeps the marks on empty squares and on the computer's pieces.
#include "app/targets.h"

#include <cstring>

namespace halvane {

namespace {

// Directions as (column step, row step); the player moves toward row 0, so "forward" is row - 1.
struct Step {
  int dc, dr;
};

constexpr Step FORWARD = {0, -1}, BACK = {0, 1}, LEFT = {-1, 0}, RIGHT = {1, 0};
constexpr Step FORWARD_LEFT = {-1, -1}, FORWARD_RIGHT = {1, -1}, BACK_LEFT = {-1, 1}, BACK_RIGHT = {1, 1};
constexpr Step DIAGONALS[4] = {FORWARD_LEFT, FORWARD_RIGHT, BACK_LEFT, BACK_RIGHT};
constexpr Step ORTHOGONALS[4] = {FORWARD, BACK, LEFT, RIGHT};

// A cell of the 20 x 20 board; squares off the 9 x 9 area fall on the wall frame (five cells wide, so
// a knight's jump or a ray's first step beyond the edge still lands inside the array).
int cell(int col, int row) { return gs_index(col, row); }

void mark(GameState& gs, int col, int row, Step s) { gs.reach_map[cell(col + s.dc, row + s.dr)] = 1; }

// Marks the next square, then the one after, and stops after the first one that is not empty.
void mark_ray(GameState& gs, int col, int row, Step s) {
  for (int c = col + s.dc, r = row + s.dr;; c += s.dc, r += s.dr) {
    const int i = cell(c, r);
    gs.reach_map[i] = 1;
    if (gs.board[i] != SQ_EMPTY) return;   // a piece of either side, or the wall
  }
}

void mark_gold_steps(GameState& gs, int c, int r) {
  for (Step s : {FORWARD_LEFT, FORWARD, FORWARD_RIGHT, LEFT, RIGHT, BACK}) mark(gs, c, r, s);
}

}  // namespace

void compute_targets(GameState& gs) {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.reach_map[cell(col, row)] = gs.target_map[cell(col, row)] = 0;

  const int c = gs.sel_col, r = gs.sel_row;
  switch (gs.sel_piece) {
    case PAWN:
      mark(gs, c, r, FORWARD);
      break;
    case LANCE:
      mark_ray(gs, c, r, FORWARD);
      break;
    case KNIGHT:
      mark(gs, c, r, {-1, -2});
      mark(gs, c, r, {1, -2});
      break;
    case SILVER:
      for (Step s : {FORWARD_LEFT, FORWARD, FORWARD_RIGHT, BACK_LEFT, BACK_RIGHT}) mark(gs, c, r, s);
      break;
    case GOLD:
    case PRO_PAWN:
    case PRO_LANCE:
    case PRO_KNIGHT:
    case PRO_SILVER:
      mark_gold_steps(gs, c, r);
      break;
    case BISHOP:
      for (Step s : DIAGONALS) mark_ray(gs, c, r, s);
      break;
    case ROOK:
      for (Step s : ORTHOGONALS) mark_ray(gs, c, r, s);
      break;
    case KING:
      for (Step s : DIAGONALS) mark(gs, c, r, s);
      for (Step s : ORTHOGONALS) mark(gs, c, r, s);
      break;
    case HORSE:
      for (Step s : ORTHOGONALS) mark(gs, c, r, s);
      for (Step s : DIAGONALS) mark_ray(gs, c, r, s);
      break;
    case DRAGON:
      for (Step s : DIAGONALS) mark(gs, c, r, s);
      for (Step s : ORTHOGONALS) mark_ray(gs, c, r, s);
      break;
    default:
      break;
  }

  // Marks on walls and on the player's own pieces fall away.
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int i = cell(col, row);
      if (gs.reach_map[i] && (gs.board[i] == SQ_EMPTY || is_gote_piece(gs.board[i]))) gs.target_map[i] = 1;
    }
}

}  // namespace halvane
