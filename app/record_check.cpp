// The record's validity check: real piece codes, intact walls, hands never below zero and every kind's
// pieces adding up to a full set (a piece can neither vanish nor appear out of nothing).
#include "app/record_check.h"

namespace halvane {

namespace {

// Pieces of each kind in a full set: pawn, lance, knight, silver, gold, bishop, rook, king.
constexpr int FULL_SET[8] = {18, 4, 4, 4, 4, 2, 2, 2};

}  // namespace

bool valid_piece_code(int code) {
  if (code < 0 || code >= 32) return false;
  const int kind = code & 15;
  return kind != 12 && kind != 15;
}

bool slot_valid(const GameState& gs, int slot, std::string& problem) {
  const std::string where = "slot " + std::to_string(slot) + ": ";
  const int* board = gs.record.record_boards[slot];
  int count[8] = {};
  for (int i = 0; i < GS_CELLS; ++i) {
    const int col = i % 20 - 5, row = i / 20 - 5;
    const bool inside = col >= 0 && col < 9 && row >= 0 && row < 9;
    if (!inside) {
      if (board[i] != SQ_WALL) {
        problem = where + "wall cell " + std::to_string(i) + " holds " + std::to_string(board[i]);
        return false;
      }
      continue;
    }
    if (board[i] == SQ_EMPTY) continue;
    if (!valid_piece_code(board[i])) {
      problem = where + "square (" + std::to_string(col) + "," + std::to_string(row) + ") holds " +
                std::to_string(board[i]);
      return false;
    }
    count[board[i] & 7] += 1;
  }
  for (int side = 0; side < 2; ++side)
    for (int kind = 0; kind < 8; ++kind) {
      const int n = gs.record.record_hands[side][slot][kind];
      if (n < 0) {
        problem = where + "hand " + std::to_string(side) + " holds " + std::to_string(n) + " of kind " +
                  std::to_string(kind);
        return false;
      }
      count[kind] += n;
    }
  for (int kind = 0; kind < 8; ++kind)
    if (count[kind] != FULL_SET[kind]) {
      problem = where + std::to_string(count[kind]) + " pieces of kind " + std::to_string(kind) + ", not " +
                std::to_string(FULL_SET[kind]);
      return false;
    }
  return true;
}

bool record_valid(const GameState& gs, std::string& problem) {
  if (gs.record.length < -1 || gs.record.length >= RECORD_SLOTS) {
    problem = "length " + std::to_string(gs.record.length);
    return false;
  }
  for (int slot = 0; slot <= gs.record.length || slot == 0; ++slot)
    if (!slot_valid(gs, slot, problem)) return false;
  return true;
}

}  // namespace halvane
