// Legal moves through the search's perft: depth 1 reports every legal root move once.
#include "think/legal_moves.h"

#include "search/engine.h"
#include "search/perft.h"

namespace halvane {

namespace {

struct Collector {
  MoveRecord* out;
  int count;
};

void collect(void* context, const MoveRecord& move, uint64_t) {
  Collector& c = *static_cast<Collector*>(context);
  if (c.count < MAX_LEGAL_MOVES) c.out[c.count++] = move;
}

}  // namespace

int legal_moves(Engine& scratch, const SfenPosition& pos, MoveRecord out[MAX_LEGAL_MOVES]) {
  Collector c{out, 0};
  perft_position(scratch, pos, 1, collect, &c);
  return c.count;
}

bool same_move(const MoveRecord& a, const MoveRecord& b) {
  if (a.from_col != b.from_col || a.to_col != b.to_col || a.to_row != b.to_row) return false;
  if (!a.is_drop() && a.from_row != b.from_row) return false;
  return a.piece == b.piece && a.piece_after == b.piece_after;
}

bool is_legal_move(Engine& scratch, const SfenPosition& pos, const MoveRecord& move) {
  MoveRecord moves[MAX_LEGAL_MOVES];
  const int count = legal_moves(scratch, pos, moves);
  for (int i = 0; i < count; ++i)
    if (same_move(moves[i], move)) return true;
  return false;
}

bool opponent_king_attacked(Engine& scratch, const SfenPosition& pos) {
  // In the engine's view the side to move is GOTE and the other side's king is code 7.
  const EngineView view = engine_view(pos);
  perft_load(scratch, view.board, view.hand[SENTE], view.hand[GOTE]);
  const int king = locate_piece(scratch.pos.board, SENTE_KING);
  return king >= 0 && scratch.effects.count[GOTE][king] > 0;
}

uint64_t count_leaves(Engine& scratch, const SfenPosition& pos, int depth) {
  return perft_position(scratch, pos, depth);
}

}  // namespace halvane
