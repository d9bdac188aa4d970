// Record slots to SFEN positions and SFEN positions into the record (the player sente).
#include "app/record_sfen.h"

namespace halvane {

SfenPosition slot_position(const GameState& gs, int k) {
  SfenPosition pos{};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) pos.board[row * 9 + col] = static_cast<uint8_t>(gs.record.record_boards[k][gs_index(col, row)]);
  for (int side = 0; side < 2; ++side)
    for (int kind = 0; kind < 8; ++kind) pos.hand[side][kind] = static_cast<uint8_t>(gs.record.record_hands[side][k][kind]);
  pos.side_to_move = k % 2 == 0 ? BLACK : WHITE;
  pos.move_number = k + 1;
  return pos;
}

SfenPosition screen_position_player_to_move(const GameState& gs) {
  SfenPosition pos{};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) pos.board[row * 9 + col] = static_cast<uint8_t>(gs.record.board[gs_index(col, row)]);
  for (int side = 0; side < 2; ++side)
    for (int kind = 0; kind < 8; ++kind) pos.hand[side][kind] = static_cast<uint8_t>(gs.record.hands[side][kind]);
  pos.side_to_move = BLACK;
  pos.move_number = gs.record.current + 1;
  return pos;
}

bool record_sfen_position(GameState& gs, const SfenPosition& pos) {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.record.board[gs_index(col, row)] = pos.board[row * 9 + col];
  for (int side = 0; side < 2; ++side)
    for (int kind = 0; kind < 8; ++kind) gs.record.hands[side][kind] = pos.hand[side][kind];
  return record_current(gs);
}

}  // namespace halvane
