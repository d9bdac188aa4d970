// king_safety: the one positional term over the whole board, used at ply 3. Every square counts the
// human's effects positively and the computer's negatively, more strongly near either king; a side
// without a king (a mate problem's attacker) has no surroundings to weigh.
#include <cmath>
#include <cstdlib>

#include "search/search.h"

namespace halvane {

constexpr int KING_SAFETY_FROM_PLY = 23;   // the term is off in the opening
constexpr float KING_SAFETY_WEIGHT = 10.0f;

namespace {

// Square roots of effect counts, taken once in single precision: the same values std::sqrt gives.
struct RootTable {
  float value[64];
  RootTable() {
    for (int n = 0; n < 64; ++n) value[n] = std::sqrt(static_cast<float>(n));
  }
};
const RootTable ROOTS;

float root_of_count(int count) {
  const int n = std::abs(count);
  return n < 64 ? ROOTS.value[n] : std::sqrt(static_cast<float>(n));
}

// The weights 10 / divisor by Manhattan distance to a king, divided once in single precision: the same
// quotients a division in the loop gives. On a king's own square the effects of its own side weigh 10/3
// and the other side's 10; next to it both weigh 10/2; further away 10 over the distance.
constexpr int WEIGHT_DISTANCES = 17;   // 0..16: every pair of board squares
float own_divisor(int d) { return d == 0 ? 3.0f : d == 1 ? 2.0f : static_cast<float>(d); }
float enemy_divisor(int d) { return d == 0 ? 1.0f : d == 1 ? 2.0f : static_cast<float>(d); }

struct WeightTable {
  float own[WEIGHT_DISTANCES];
  float enemy[WEIGHT_DISTANCES];
  WeightTable() {
    for (int d = 0; d < WEIGHT_DISTANCES; ++d) {
      own[d] = 10.0f / own_divisor(d);
      enemy[d] = 10.0f / enemy_divisor(d);
    }
  }
};
const WeightTable WEIGHTS;

float own_weight(int d) { return WEIGHTS.own[d]; }
float enemy_weight(int d) { return WEIGHTS.enemy[d]; }

}  // namespace

int king_safety(const Engine& e) {
  // Early in the game the weight is zero and the finite sum does not matter.
  if (e.game_ply < KING_SAFETY_FROM_PLY) return 0;
  const int p = e.ply;
  const int sk = e.pos.king_sq[SENTE][p], gk = e.pos.king_sq[GOTE][p];
  const bool sente_king = sk != NO_KING, gote_king = gk != NO_KING;
  const int sc = col_of(sk), sr = row_of(sk), gc = col_of(gk), gr = row_of(gk);
  // Summed in single precision in a fixed order, so that the result is the same on every machine.
  float sum = 0.0f;
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      const int cell = cell_of(c, r);
      const float es = root_of_count(e.effects.count[SENTE][cell]);
      const float eg = root_of_count(e.effects.count[GOTE][cell]);
      if (sente_king) {
        const int ds = std::abs(c - sc) + std::abs(r - sr);
        sum = sum + own_weight(ds) * es;
        sum = sum - enemy_weight(ds) * eg;
      }
      if (gote_king) {
        const int dg = std::abs(c - gc) + std::abs(r - gr);
        sum = sum + enemy_weight(dg) * es;
        sum = sum - own_weight(dg) * eg;
      }
    }
  }
  return static_cast<int>(KING_SAFETY_WEIGHT * sum);
}

}  // namespace halvane
