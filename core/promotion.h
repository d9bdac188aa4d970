// Where pieces promote and where they may stand, for both sides: the promotion zone is the three rows
// farthest from a side, and a pawn, lance or knight never stands where it could not move again (such a
// move must promote, such a drop is refused). Read by every generator, the USI move reader and the clicks.
#pragma once

#include "core/types.h"

namespace halvane {

constexpr int ZONE_ROWS = 3;

// Rows in front of a piece of `side` on `row`: 0 on the side's last row (row 0 for SENTE, row 8 for GOTE).
constexpr int rows_ahead(int side, int row) { return side == GOTE ? 8 - row : row; }

constexpr bool in_zone_row(int side, int row) { return rows_ahead(side, row) < ZONE_ROWS; }

// The zone by cell, counted in whole lines of 16 cells so that the wall cells beyond the zone's rows
// belong to it too: GOTE's from cell 0x90 on, SENTE's below cell 0x60.
constexpr int GOTE_ZONE_FIRST_CELL = cell_of(0, 9 - ZONE_ROWS) & ~15;
constexpr int SENTE_ZONE_END_CELL = cell_of(0, ZONE_ROWS) & ~15;
constexpr bool in_promotion_zone(int side, int cell) {
  return side == GOTE ? cell >= GOTE_ZONE_FIRST_CELL : cell < SENTE_ZONE_END_CELL;
}
static_assert(GOTE_ZONE_FIRST_CELL == 0x90 && SENTE_ZONE_END_CELL == 0x60);

// A move may promote when it starts or ends in the mover's zone (whether the piece can is can_promote).
constexpr bool promotion_allowed(int side, int from_row, int to_row) {
  return in_zone_row(side, from_row) || in_zone_row(side, to_row);
}

// The rows a kind needs in front of it to have any move: a pawn or lance one, a knight two.
constexpr int rows_needed(int kind) { return kind == KNIGHT ? 2 : kind == PAWN || kind == LANCE ? 1 : 0; }

// A piece of `kind` landing on `to_row` must promote: unpromoted it could never move again.
constexpr bool must_promote(int side, int kind, int to_row) { return rows_ahead(side, to_row) < rows_needed(kind); }

// A piece of `kind` may be dropped on `row` only where it can still move.
constexpr bool drop_allowed(int side, int kind, int row) { return rows_ahead(side, row) >= rows_needed(kind); }

}  // namespace halvane
