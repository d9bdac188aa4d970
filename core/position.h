// The engine's position: 256 one-byte cells, both hands as byte counts and the king's cell per ply.
// The main search and both mate solvers each own one; loading and the 180-degree rotation are defined here.
#pragma once

#include <cstdint>

#include "core/types.h"

namespace halvane {

struct EnginePosition {
  uint8_t board[BOARD_CELLS];
  uint8_t hand[2][8];          // [side][kind]; entry 7 (king) stays 0
  int king_sq[2][MAX_PLY];     // [side][ply]: the king's cell at each search ply, NO_KING for none
};

// The king cell of a side without a king (a mate problem's attacker, a position set up by hand): the
// wall cell in the board array's corner, which no piece's effect reaches, so such a king is never in
// check. Reading a count or ray there is safe; stepping from it is not, so code that looks around a
// king (drops next to it, its lines) asks has_king first.
constexpr int NO_KING = 0;

inline bool has_king(const EnginePosition& pos, int side, int ply) { return pos.king_sq[side][ply] != NO_KING; }

// A board of walls with the 81 squares empty.
void clear_board(uint8_t board[BOARD_CELLS]);

// Copies a 256-cell board and both hands in; the kings' cells become king_sq of plies 0 and 1.
// A side without a king gets NO_KING at every ply, so nothing of an earlier position carries over.
void load_position(EnginePosition& pos, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                   const uint8_t gote_hand[8]);

// Finds the cell of a piece code by scanning all 256 cells; -1 when it is not there.
int locate_piece(const uint8_t board[BOARD_CELLS], int code);

// Fills all 64 entries of each king stack with the kings' cells (NO_KING for a side without one).
void fill_king_stacks(EnginePosition& pos);

// Turns the position 180 degrees with the owners exchanged, so that the human's side can be searched
// with the code written for the computer's. `saved` receives the board as it was before the turn.
// The king stacks are refilled from the rotated kings (NO_KING for a side without one) and the two hands
// are exchanged. Twice is identity.
void rotate_position(EnginePosition& pos, uint8_t saved[BOARD_CELLS]);

}  // namespace halvane
