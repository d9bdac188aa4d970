// The best line read back for front ends: rotated into the request's coordinates, checked move by move
// against the rules on the request's position, and cut before the first move they refuse. The search
// leaves out what it never checked itself (a move into check, a pass); the rules' check catches what it
// cannot see, such as a pawn drop that mates deep in the line.
#include "think/best_line.h"

#include "core/legality.h"
#include "core/sfen.h"

namespace halvane {

namespace {

// The request's position as the rules read it: its board, hands and side to move, untouched.
SfenPosition position_of(const ThinkRequest& r) {
  SfenPosition pos{};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) pos.board[row * 9 + col] = r.board[cell_of(col, row)];
  for (int kind = 0; kind < 8; ++kind) {
    pos.hand[BLACK][kind] = r.hand[SENTE][kind];
    pos.hand[WHITE][kind] = r.hand[GOTE][kind];
  }
  pos.side_to_move = r.side == SENTE ? BLACK : WHITE;
  pos.move_number = 1;
  return pos;
}

}  // namespace

BestLine request_line(const ThinkRequest& request, bool rotated, const BestLine& line, const MoveRecord& move) {
  BestLine out;
  if (move.to_col == -1) return out;
  out.moves[0] = move;
  out.length = 1;
  if (line.length < 1 || (rotated ? rotate_move(line.moves[0]) : line.moves[0]) != move) return out;
  SfenPosition pos = position_of(request);
  if (judge_move(pos, move) != MOVE_OK) return out;
  apply_move(pos, move);
  for (int i = 1; i < line.length; ++i) {
    const MoveRecord m = rotated ? rotate_move(line.moves[i]) : line.moves[i];
    if (judge_move(pos, m) != MOVE_OK) break;
    apply_move(pos, m);
    out.moves[out.length++] = m;
  }
  return out;
}

}  // namespace halvane
