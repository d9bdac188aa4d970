// Loading, king location and the 180-degree rotation of an engine position.
#include "core/position.h"

#include "core/rotation.h"

#include <cstring>
#include <utility>

namespace halvane {

void clear_board(uint8_t board[BOARD_CELLS]) {
  std::memset(board, SQ_WALL, BOARD_CELLS);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) board[cell_of(col, row)] = SQ_EMPTY;
}

void load_position(EnginePosition& pos, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                   const uint8_t gote_hand[8]) {
  bool found[2] = {false, false};
  for (int cell = 0; cell < BOARD_CELLS; ++cell) {
    uint8_t code = board[cell];
    pos.board[cell] = code;
    const int side = code == SENTE_KING ? SENTE : code == GOTE_KING ? GOTE : -1;
    if (side < 0) continue;
    pos.king_sq[side][0] = pos.king_sq[side][1] = cell;
    found[side] = true;
  }
  for (int side = 0; side < 2; ++side)
    if (!found[side])
      for (int ply = 0; ply < MAX_PLY; ++ply) pos.king_sq[side][ply] = NO_KING;
  std::memcpy(pos.hand[SENTE], sente_hand, 8);
  std::memcpy(pos.hand[GOTE], gote_hand, 8);
}

int locate_piece(const uint8_t board[BOARD_CELLS], int code) {
  for (int cell = 0; cell < BOARD_CELLS; ++cell)
    if (board[cell] == code) return cell;
  return -1;
}

void fill_king_stacks(EnginePosition& pos) {
  const int kings[2] = {locate_piece(pos.board, SENTE_KING), locate_piece(pos.board, GOTE_KING)};
  for (int side = 0; side < 2; ++side)
    for (int ply = 0; ply < MAX_PLY; ++ply) pos.king_sq[side][ply] = kings[side] < 0 ? NO_KING : kings[side];
}

void rotate_position(EnginePosition& pos, uint8_t saved[BOARD_CELLS]) {
  std::memcpy(saved, pos.board, BOARD_CELLS);
  pos.king_sq[SENTE][0] = pos.king_sq[GOTE][0] = NO_KING;
  for (int row = 0; row < 9; ++row) {
    for (int col = 0; col < 9; ++col) {
      const int cell = cell_of(col, row);
      const int code = rotated_code(saved[rotated_cell(cell)]);
      pos.board[cell] = static_cast<uint8_t>(code);
      if (code == SENTE_KING) pos.king_sq[SENTE][0] = cell;
      if (code == GOTE_KING) pos.king_sq[GOTE][0] = cell;
    }
  }
  for (int side = 0; side < 2; ++side)
    for (int ply = 1; ply < MAX_PLY; ++ply) pos.king_sq[side][ply] = pos.king_sq[side][0];
  std::swap(pos.hand[SENTE], pos.hand[GOTE]);
}

}  // namespace halvane
