// The declaration's conditions, counted on the board and in the hand of the side to move.
#include "core/declaration.h"

#include "core/legality.h"

namespace halvane {

namespace {

int points(int kind) { return kind == BISHOP || kind == ROOK ? 5 : 1; }

}  // namespace

bool may_declare_win(const SfenPosition& pos) {
  const int side = pos.side_to_move;
  // The enemy camp: the three ranks nearest the other side (ranks a–c for sente, g–i for gote).
  const int first_row = side == BLACK ? 0 : 6;
  bool king_inside = false;
  int pieces = 0, total = 0;
  for (int row = first_row; row < first_row + 3; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[row * 9 + col];
      if (!is_piece(code) || (side_of(code) == SENTE) != (side == BLACK)) continue;
      if (kind_of(code) == KING) {
        king_inside = true;
        continue;
      }
      pieces += 1;
      total += points(hand_kind(code));
    }
  for (int kind = PAWN; kind < KING; ++kind) total += points(kind) * pos.hand[side][kind];
  return king_inside && pieces >= 10 && total >= (side == BLACK ? 28 : 27) && !king_in_check(pos, side);
}

}  // namespace halvane
