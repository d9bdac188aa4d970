// The Engine's initialisation for one strength, and the facade's making of Engines.
#include "think/engine_init.h"

#include <cstring>

#include "think/think.h"

namespace halvane {

namespace {

void solver_init(MateSolver& s, int depth) {
  s.ply = 0;
  s.base_depth.store(depth);
  s.depth_limit.store(depth);
  s.mate_found.store(0);
  s.best_mate_len = NO_MATE_LEN;
  s.nodes = 0;
}

}  // namespace

void engine_init(Engine& e, const Strength& strength) {
  e.ply = 0;
  e.max_plies = strength.max_plies;
  e.base_depth = strength.base_depth;
  e.depth_limit = strength.base_depth;
  e.hand_rule_depth = strength.hand_rule ? strength.hand_rule->base_depth : 0;
  if (strength.hand_rule)
    std::memcpy(e.hand_rule_modes, strength.hand_rule->ply_mode_base, sizeof e.hand_rule_modes);
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
  e.stop_cut = 0;
  e.root_has_move.store(0);
  e.node_hook_at = ~0ULL;
  e.node_hook = nullptr;
  e.running_job.store(JOB_NONE);
  seed_noise(e, 1);
  fill_book(e.book);
}

void EngineDeleter::operator()(Engine* e) const { delete e; }

EngineHandle new_engine(const Strength& strength) {
  EngineHandle e(new Engine());
  engine_init(*e, strength);
  return e;
}

void set_strength(Engine& e, const Strength& strength) { engine_init(e, strength); }

}  // namespace halvane
