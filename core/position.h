// The engine's position: 256 one-byte cells, both hands as byte counts and the king's cell per ply.
// The main search and both mate solvers each own one; loading and the 180-degree rotation are defined here.
#pragma once

#include <cstdint>

#include "core/types.h"

namespace halvane {

struct EnginePosition {
  uint8_t board[BOARD_CELLS];
  uint8_t hand[2][8];          // [side][kind]; entry 7 (king) stays 0
  int king_sq[2][MAX_PLY];     // [side][ply]: the king's cell at each search ply
};

// A board of walls with the 81 squares empty.
void clear_board(uint8_t board[BOARD_CELLS]);

// Copies a 256-cell board and both hands in; the kings' cells become king_sq of plies 0 and 1.
// A side without a king keeps the king_sq entries it had.
void load_position(EnginePosition& pos, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                   const uint8_t gote_hand[8]);

// Finds the cell of a piece code by scanning all 256 cells; -1 when it is not there.
int locate_piece(const uint8_t board[BOARD_CELLS], int code);

// Fills all 64 entries of each king stack with the kings' cells (a side without a king keeps its stack).
void fill_king_stacks(EnginePosition& pos);

// Turns the position 180 degrees with the owners exchanged, so that the human's side can be searched
// with the code written for the computer's. `saved` receives the board as it was before the turn.
// The king stacks are refilled from the rotated kings and the two hands are exchanged. Twice is identity.
void rotate_position(EnginePosition& pos, uint8_t saved[BOARD_CELLS]);

}  // namespace halvane
