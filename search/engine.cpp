// The Engine's constant tables and the clearing of its remembered moves.
#include "search/engine.h"

#include <cstdlib>
#include <cstring>


namespace halvane {

// Every human piece except the king is worth 10 more than the computer's piece of the same kind, so the
// engine is slightly keener to keep its own material than to win the human's.
const int CAPTURE_VALUE[32] = {
    -110, -410, -610, -810, -1010, -1410, -1610, -300000,  // SENTE pawn .. king
    -411, -511, -611, -811, 0, -1711, -1911, -300000,      // SENTE promoted pieces
    100, 400, 600, 800, 1000, 1400, 1600, 300000,          // GOTE pawn .. king
    401, 501, 601, 801, 0, 1701, 1901, 300000,             // GOTE promoted pieces
};

const int KILLER_WIDTH[SCHEDULE_LEN] = {0, 20, 20, 20, 10, 10, 10, 10, 10, 10, 1, 1,
                                        1, 1,  1,  1,  1,  1,  1,  1,  1,  1,  1, 1};

void clear_killers(Engine& e, int plies) {
  for (int f = 0; f < KILLER_FIELDS; ++f)
    for (int p = 0; p < plies && p < MAX_PLY; ++p)
      for (int s = 0; s < KILLER_SLOTS; ++s) e.killers[f][p][s] = 0;
  for (int p = 0; p < plies && p < MAX_PLY; ++p)
    for (int s = 0; s < KILLER_SLOTS; ++s) e.killer_keys[p][s] = killer_key_of_slot(e, p, s);
}

void seed_noise(Engine& e, unsigned seed) {
  // glibc wants the state descriptor zeroed before its first initialisation. A 128-byte state is the one
  // srand and rand use, so the draws equal theirs for the same seed.
  std::memset(&e.noise, 0, sizeof e.noise);
  initstate_r(seed, e.noise_state, sizeof e.noise_state, &e.noise);
}

int draw_noise(Engine& e) {
  int32_t value = 0;
  random_r(&e.noise, &value);
  return value;
}

}  // namespace halvane
