// The search's side of the drop loop: one drop of a kind from the hand onto an empty cell, with its
// delta (a third of the piece's value), the hand and board changes around try_drop and the cutoff test.
#include "search/search.h"

namespace halvane {

bool search_drop(Engine& e, int side, int cell, int kind) {
  const int p = e.ply;
  // 3. Giving up a piece from the hand costs the dropper a third of its value.
  const int third = e.capture_value[kind] / 3;
  e.ply_eval[p] = side == GOTE ? -third : third;
  // 4. Put the piece down, 5. search it, 6. take it back.
  last_to_sq(e, p) = cell;
  --e.pos.hand[side][kind];
  e.pos.board[cell] = static_cast<uint8_t>(side == GOTE ? kind + GOTE_BIT : kind);
  try_drop(e, cell);
  e.pos.board[cell] = SQ_EMPTY;
  ++e.pos.hand[side][kind];
  // 7. The cutoff test: GOTE from ply 2, SENTE always.
  return side_cutoff(e, side, p);
}

void try_drop(Engine& e, int cell) {
  const int p = e.ply;
  const int code = e.pos.board[cell];
  // Only remember_drop writes a slot with from_col -1, always with from_row -1 and piece equal to
  // piece_after, so a matching slot has this key.
  if (!key_in_slots(e.killer_keys[p], e.killer_width[p], killer_key(cell_of(-1, -1), cell, code, code))) {
    drop_search(e, cell);
    return;
  }
  for (int i = 0; i < e.killer_width[p]; ++i) {
    const auto& k = e.killers;
    if (k[K_FROM_COL][p][i] == -1 && cell_of(k[K_TO_COL][p][i], k[K_TO_ROW][p][i]) == cell &&
        k[K_PIECE_AFTER][p][i] == code)
      return;   // already tried from the remembered list
  }
  drop_search(e, cell);
}

}  // namespace halvane
