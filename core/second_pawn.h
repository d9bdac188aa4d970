// The second-pawn rule: a side may never have two unpromoted pawns in one column, so a pawn may not be
// dropped into a column that holds one. Written once for any board through a code-at-square reader.
#pragma once

#include <cstdint>

#include "core/types.h"

namespace halvane {

// Whether column `col` holds `side`'s unpromoted pawn; code_at(col, row) reads the board.
template <class CodeAt>
constexpr bool pawn_in_column(int side, int col, CodeAt code_at) {
  const int pawn = side == GOTE ? PAWN + GOTE_BIT : PAWN;
  for (int row = 0; row < 9; ++row)
    if (code_at(col, row) == pawn) return true;
  return false;
}

// The same on a 256-cell engine board.
inline bool pawn_in_column(const uint8_t board[BOARD_CELLS], int side, int col) {
  return pawn_in_column(side, col, [board](int c, int r) { return static_cast<int>(board[cell_of(c, r)]); });
}

}  // namespace halvane
