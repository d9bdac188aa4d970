// The mate solver run alone on a position, behind the facade's stop protocol.
#include "think/mate_solve.h"

#include "mate/mate_search.h"
#include "search/engine.h"

namespace halvane {

static_assert(MATE_SOLVE_DEPTH == MATE_DEPTH);

MateSolveResult solve_mate(Engine& e, const SfenPosition& pos, int depth) {
  MateSolver& m = e.mate_thread_solver;
  const EngineView view = engine_view(pos);
  MateSolveResult result;
  if (locate_piece(view.board, SENTE_KING) < 0) return result;   // no king to mate
  // A side without a king (mate problems) gets NO_KING, never the king cell of an earlier position.
  load_position(m.pos, view.board, view.hand[SENTE], view.hand[GOTE]);

  // Armed before the stop is looked at: a stop_think from now on either is seen here or reaches the
  // solver's depth words (it reads running_job after writing stop_requested).
  e.running_job.store(JOB_MATE);
  arm_mate_solver(m, depth);
  if (e.stop_requested.load() == 0) run_mate_search(m);
  const bool found = m.mate_found.load(std::memory_order_acquire) == 1;
  m.mate_found.store(0, std::memory_order_relaxed);
  e.running_job.store(JOB_NONE);
  // The solver rests at the mate thread's depth until the next think sets it again.
  m.base_depth.store(MATE_DEPTH, std::memory_order_relaxed);
  m.depth_limit.store(MATE_DEPTH, std::memory_order_relaxed);

  // A run cut short by a stop has had nodes return at once, which the solver may take for defences that
  // ran out: whatever it reports then is not a proof.
  if (e.stop_requested.load() != 0) {
    result.stopped = true;
    return result;
  }
  if (found) {
    result.found = true;
    result.move = move_from_engine_view(view, m.mate_move);
    result.length = m.mate_len[0];
  }
  return result;
}

}  // namespace halvane
