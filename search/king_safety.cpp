// king_safety: the one positional term over the whole board, used at ply 3. Every square counts the
// human's effects positively and the computer's negatively, more strongly near either king.
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

}  // namespace

int king_safety(const Engine& e) {
  const int p = e.ply;
  const int sk = e.pos.king_sq[SENTE][p], gk = e.pos.king_sq[GOTE][p];
  const int sc = col_of(sk), sr = row_of(sk), gc = col_of(gk), gr = row_of(gk);
  // Summed in single precision in a fixed order, so that the result is the same on every machine.
  float sum = 0.0f;
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      const int ds = std::abs(c - sc) + std::abs(r - sr);
      const int dg = std::abs(c - gc) + std::abs(r - gr);
      // On a king's own square the attacker's effects weigh 10 and the defender's 10/3.
      const float a = ds == 0 ? 3.0f : ds == 1 ? 2.0f : static_cast<float>(ds);
      const float b = ds == 0 ? 1.0f : ds == 1 ? 2.0f : static_cast<float>(ds);
      const float a2 = dg == 0 ? 1.0f : dg == 1 ? 2.0f : static_cast<float>(dg);
      const float b2 = dg == 0 ? 3.0f : dg == 1 ? 2.0f : static_cast<float>(dg);
      const int cell = cell_of(c, r);
      const float es = root_of_count(e.effects.count[SENTE][cell]);
      const float eg = root_of_count(e.effects.count[GOTE][cell]);
      sum = sum + 10.0f / a * es;
      sum = sum - 10.0f / b * eg;
      sum = sum + 10.0f / a2 * es;
      sum = sum - 10.0f / b2 * eg;
    }
  }
  const float weight = e.game_ply >= KING_SAFETY_FROM_PLY ? KING_SAFETY_WEIGHT : 0.0f;
  return static_cast<int>(weight * sum);
}

}  // namespace halvane
