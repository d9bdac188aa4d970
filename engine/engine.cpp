// The Engine's constant tables and its initialisation for one strength.
#include "engine/engine.h"

#include <cstring>

#include "mate/book.h"

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

static void solver_init(MateSolver& s, int depth) {
  s.ply = 0;
  s.base_depth.store(depth);
  s.depth_limit.store(depth);
  s.mate_found.store(0);
  s.best_mate_len = NO_MATE_LEN;
  s.nodes = 0;
}

void engine_init(Engine& e, const Strength& strength) {
  e.ply = 0;
  e.max_plies = strength.max_plies;
  e.base_depth = strength.base_depth;
  e.depth_limit = strength.base_depth;
  e.hand_rule = strength.hand_rule;
  for (int p = 0; p < MAX_PLY; ++p) e.ply_best[p] = 0;
  std::memcpy(e.killer_width, KILLER_WIDTH, sizeof e.killer_width);
  std::memcpy(e.ply_mode_base, strength.ply_mode_base, sizeof e.ply_mode_base);
  std::memcpy(e.ply_mode, strength.ply_mode_base, sizeof e.ply_mode);
  std::memcpy(e.capture_value, CAPTURE_VALUE, sizeof e.capture_value);
  // The mate thread's depths are set by every think; 16 is only the resting value.
  solver_init(e.mate_thread_solver, 16);
  solver_init(e.reply_solver, MATE_DEPTH);
  e.resign_flag = 0;
  std::memset(e.last_to_sq_store, 0, sizeof e.last_to_sq_store);
  e.result_move = MoveRecord{};
  e.result_move.to_col = e.result_move.to_row = -1;
  clear_killers(e, MAX_PLY);
  e.book_hint.move = MoveRecord{};
  e.book_hint.move.from_col = 999;
  e.book_hint.hint_score = 0;
  e.game_ply = 0;
  e.root_progress.store(0);
  e.nodes = 0;
  e.mate_running.store(0);
  e.stop_requested.store(0);
  fill_book(e);
}

void clear_killers(Engine& e, int plies) {
  for (int f = 0; f < KILLER_FIELDS; ++f)
    for (int p = 0; p < plies && p < MAX_PLY; ++p)
      for (int s = 0; s < KILLER_SLOTS; ++s) e.killers[f][p][s] = 0;
  for (int p = 0; p < plies && p < MAX_PLY; ++p)
    for (int s = 0; s < KILLER_SLOTS; ++s) e.killer_keys[p][s] = killer_key_of_slot(e, p, s);
}

}  // namespace halvane
