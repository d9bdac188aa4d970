// Recapture generation: the pieces of one side that could move onto a target cell, visited in a fixed
// order of the cells they stand on (adjacent steppers first in each direction, then the slider down the
// line when the side's ray on the target says one is there), then the knights.
#pragma once

#include <array>

#include "core/piece_moves.h"
#include "search/engine.h"

namespace halvane {

// Visits side `side`'s pieces that can move onto `t`, calling visit(cell, code) for each until it
// returns true. Returns true when the visit stopped the walk.
template <class Visit>
bool for_each_recapturer(const Engine& e, int side, int t, Visit visit);

namespace recapture_detail {

struct Direction {
  int offset;     // the adjacent cell is t + offset; the line goes on outward by the same offset
  int steppers;   // kinds (bits over code AND 15) that can move from the adjacent cell onto t
  int ray;        // the ray bit on t of a slider coming from this side
  int sliders;    // kinds that can slide onto t along this line
};

// The candidates' cells relative to t in the order they are visited: straight ahead of t (seen from the
// mover), diagonally ahead, beside, straight behind, diagonally behind; then the two knight cells.
constexpr int SENTE_OFFSETS[10] = {16, 15, 17, -1, 1, -16, -17, -15, 31, 33};
constexpr int GOTE_OFFSETS[10] = {-16, -17, -15, -1, 1, 16, 15, 17, -33, -31};

// One direction of side `side`, read from the movement table: a piece on t + offset reaches t by the
// step -offset or by its first cell of a line that way; a slider further out by that line.
constexpr Direction direction(int side, int offset) {
  Direction d{offset, 0, 0, 0};
  for (int dir = 0; dir < 8; ++dir)
    if (DIR_STEP[dir] == -offset) d.ray = ray_bit(dir);
  for (int kind = 0; kind < 16; ++kind) {
    if (steps_by(side, kind, -offset) || slides_by(side, kind, -offset)) d.steppers |= 1 << kind;
    if (slides_by(side, kind, -offset)) d.sliders |= 1 << kind;
  }
  return d;
}
constexpr std::array<Direction, 8> order_of(int side, const int (&offsets)[10]) {
  std::array<Direction, 8> out{};
  for (int i = 0; i < 8; ++i) out[i] = direction(side, offsets[i]);
  return out;
}
constexpr auto GOTE_ORDER = order_of(GOTE, GOTE_OFFSETS);
constexpr auto SENTE_ORDER = order_of(SENTE, SENTE_OFFSETS);
constexpr const int* GOTE_KNIGHTS = GOTE_OFFSETS + 8;
constexpr const int* SENTE_KNIGHTS = SENTE_OFFSETS + 8;
static_assert(steps_by(GOTE, KNIGHT, -GOTE_OFFSETS[8]) && steps_by(GOTE, KNIGHT, -GOTE_OFFSETS[9]) &&
              steps_by(SENTE, KNIGHT, -SENTE_OFFSETS[8]) && steps_by(SENTE, KNIGHT, -SENTE_OFFSETS[9]));
// The masks as they stood written out by hand, for the straight-ahead cell of each side.
static_assert(SENTE_ORDER[0].ray == RAY_N && GOTE_ORDER[0].ray == RAY_S &&
              SENTE_ORDER[0].sliders == ((1 << LANCE) | (1 << ROOK) | (1 << DRAGON)));

inline bool owned_kind_in(int code, int side, int mask) {
  if (!is_piece(code) || side_of(code) != side) return false;
  return (mask >> (code & 15)) & 1;
}

}  // namespace recapture_detail

template <class Visit>
bool for_each_recapturer(const Engine& e, int side, int t, Visit visit) {
  using namespace recapture_detail;
  const uint8_t* board = e.pos.board;
  const Direction* order = side == GOTE ? GOTE_ORDER.data() : SENTE_ORDER.data();
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
