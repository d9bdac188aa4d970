// Recapture generation: the pieces of one side that could move onto a target cell, visited in a fixed
// order of the cells they stand on (adjacent steppers first in each direction, then the slider down the
// line when the side's ray on the target says one is there), then the knights.
#pragma once

#include "search/engine.h"

namespace halvane {

// Visits side `side`'s pieces that can move onto `t`, calling visit(cell, code) for each until it
// returns true. Returns true when the visit stopped the walk.
template <class Visit>
bool for_each_recapturer(const Engine& e, int side, int t, Visit visit);

namespace recapture_detail {

// Bit masks over kind (code AND 15).
constexpr int bit(int kind) { return 1 << kind; }
constexpr int PROMOTED_MINORS = bit(PRO_PAWN) | bit(PRO_LANCE) | bit(PRO_KNIGHT) | bit(PRO_SILVER);
// Steps onto the target from the cell straight ahead of it (seen from the mover), diagonally ahead,
// beside, straight behind, diagonally behind.
constexpr int FROM_AHEAD = bit(PAWN) | bit(LANCE) | bit(SILVER) | bit(GOLD) | bit(ROOK) | bit(KING) |
                           PROMOTED_MINORS | bit(HORSE) | bit(DRAGON);
constexpr int FROM_AHEAD_DIAGONAL = bit(SILVER) | bit(GOLD) | bit(BISHOP) | bit(KING) | PROMOTED_MINORS |
                                    bit(HORSE) | bit(DRAGON);
constexpr int FROM_SIDE = bit(GOLD) | bit(ROOK) | bit(KING) | PROMOTED_MINORS | bit(HORSE) | bit(DRAGON);
constexpr int FROM_BEHIND = FROM_SIDE;
constexpr int FROM_BEHIND_DIAGONAL = bit(SILVER) | bit(BISHOP) | bit(KING) | bit(HORSE) | bit(DRAGON);
constexpr int LINE_AHEAD = bit(LANCE) | bit(ROOK) | bit(DRAGON);
constexpr int LINE_DIAGONAL = bit(BISHOP) | bit(HORSE);
constexpr int LINE_ORTHOGONAL = bit(ROOK) | bit(DRAGON);

struct Direction {
  int offset;     // the adjacent cell is t + offset; the line goes on outward by the same offset
  int steppers;   // kinds that can step from the adjacent cell onto t
  int ray;        // the ray bit on t of a slider coming from this side
  int sliders;    // kinds that can slide onto t along this line
};

// GOTE pieces move towards row 8: the cell "ahead" of a GOTE mover is t - 16.
constexpr Direction GOTE_ORDER[8] = {
    {-16, FROM_AHEAD, 4 /*RAY_S*/, LINE_AHEAD},
    {-17, FROM_AHEAD_DIAGONAL, 64 /*RAY_SE*/, LINE_DIAGONAL},
    {-15, FROM_AHEAD_DIAGONAL, 32 /*RAY_SW*/, LINE_DIAGONAL},
    {-1, FROM_SIDE, 8 /*RAY_E*/, LINE_ORTHOGONAL},
    {1, FROM_SIDE, 2 /*RAY_W*/, LINE_ORTHOGONAL},
    {16, FROM_BEHIND, 1 /*RAY_N*/, LINE_ORTHOGONAL},
    {15, FROM_BEHIND_DIAGONAL, 128 /*RAY_NE*/, LINE_DIAGONAL},
    {17, FROM_BEHIND_DIAGONAL, 16 /*RAY_NW*/, LINE_DIAGONAL},
};
constexpr int GOTE_KNIGHTS[2] = {-33, -31};

constexpr Direction SENTE_ORDER[8] = {
    {16, FROM_AHEAD, 1 /*RAY_N*/, LINE_AHEAD},
    {15, FROM_AHEAD_DIAGONAL, 128 /*RAY_NE*/, LINE_DIAGONAL},
    {17, FROM_AHEAD_DIAGONAL, 16 /*RAY_NW*/, LINE_DIAGONAL},
    {-1, FROM_SIDE, 8 /*RAY_E*/, LINE_ORTHOGONAL},
    {1, FROM_SIDE, 2 /*RAY_W*/, LINE_ORTHOGONAL},
    {-16, FROM_BEHIND, 4 /*RAY_S*/, LINE_ORTHOGONAL},
    {-17, FROM_BEHIND_DIAGONAL, 64 /*RAY_SE*/, LINE_DIAGONAL},
    {-15, FROM_BEHIND_DIAGONAL, 32 /*RAY_SW*/, LINE_DIAGONAL},
};
constexpr int SENTE_KNIGHTS[2] = {31, 33};

inline bool owned_kind_in(int code, int side, int mask) {
  if (!is_piece(code) || side_of(code) != side) return false;
  return (mask >> (code & 15)) & 1;
}

}  // namespace recapture_detail

template <class Visit>
bool for_each_recapturer(const Engine& e, int side, int t, Visit visit) {
  using namespace recapture_detail;
  const uint8_t* board = e.pos.board;
  const Direction* order = side == GOTE ? GOTE_ORDER : SENTE_ORDER;
  for (int i = 0; i < 8; ++i) {
    const Direction& d = order[i];
    int cell = t + d.offset;
    if (owned_kind_in(board[cell], side, d.steppers)) {
      if (visit(cell, static_cast<int>(board[cell]))) return true;
      continue;
    }
    if (board[cell] != SQ_EMPTY || (e.effects.rays[side][t] & d.ray) == 0) continue;
    do cell += d.offset; while (board[cell] == SQ_EMPTY);
    if (owned_kind_in(board[cell], side, d.sliders) && visit(cell, static_cast<int>(board[cell]))) return true;
  }
  const int* knights = side == GOTE ? GOTE_KNIGHTS : SENTE_KNIGHTS;
  for (int i = 0; i < 2; ++i) {
    const int cell = t + knights[i];
    if (board[cell] == (side == GOTE ? KNIGHT + GOTE_BIT : KNIGHT) && visit(cell, static_cast<int>(board[cell])))
      return true;
  }
  return false;
}

}  // namespace halvane
