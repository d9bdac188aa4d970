// Remembered moves: per ply, a short most-recent-first list of moves that displaced an earlier best
// move there. The nodes try them before generating; try_move and try_drop skip them afterwards.
#include "search/search.h"

namespace halvane {

void remember_move(Engine& e, int ply, const int fields[KILLER_FIELDS]) {
  const int width = e.killer_width[ply];
  if (width <= 0) return;
  // 1. The move's own slot if it is already listed, else the least recent one, which falls off.
  int k = width - 1;
  for (int i = 0; i < width; ++i) {
    bool same = true;
    for (int f = 0; f < KILLER_FIELDS && same; ++f) same = e.killers[f][ply][i] == fields[f];
    if (same) {
      k = i;
      break;
    }
  }
  // 2. Shift the more recent ones down, 3. the move to the front.
  for (int j = k - 1; j >= 0; --j)
    for (int f = 0; f < KILLER_FIELDS; ++f) e.killers[f][ply][j + 1] = e.killers[f][ply][j];
  for (int f = 0; f < KILLER_FIELDS; ++f) e.killers[f][ply][0] = fields[f];
  for (int j = k; j >= 0; --j) e.killer_keys[ply][j] = killer_key_of_slot(e, ply, j);
}

void remember_board_move(Engine& e, int ply, int from, int piece, int to, int piece_after, int captured,
                         int dest_rays) {
  const int fields[KILLER_FIELDS] = {col_of(from), row_of(from), piece,    col_of(to),
                                     row_of(to),   piece_after,  captured, dest_rays};
  remember_move(e, ply, fields);
}

void remember_drop(Engine& e, int ply, int cell, int code) {
  const int fields[KILLER_FIELDS] = {-1, -1, code, col_of(cell), row_of(cell), code, SQ_EMPTY, 0};
  remember_move(e, ply, fields);
}

}  // namespace halvane
