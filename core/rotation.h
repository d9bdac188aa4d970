// The 180-degree rotation with the owners exchanged: the one way every part of the program sees a position
// from the other side. Square (col, row) goes to (8 - col, 8 - row), every piece changes owner and the
// hands change places; twice is the identity. These are its primitives, one per board form.
#pragma once

#include "core/types.h"

namespace halvane {

// A column or row after the turn.
constexpr int rotated_line(int col_or_row) { return 8 - col_or_row; }

// A cell of the 16 x 16 board after the turn: the board's corners add up to the same sum.
constexpr int ROTATION_SUM = FIRST_CELL + LAST_CELL;
constexpr int rotated_cell(int cell) { return ROTATION_SUM - cell; }
static_assert(rotated_cell(cell_of(2, 7)) == cell_of(rotated_line(2), rotated_line(7)));

// A code with its owner exchanged: the side's piece becomes the other side's; empty and wall stay.
constexpr int rotated_code(int code) { return is_piece(code) ? (code ^ GOTE_BIT) : code; }

}  // namespace halvane
