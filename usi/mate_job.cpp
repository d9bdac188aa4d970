// "go mate": the mate solver on the worker thread, with the side to move as the attacker. Answers
// "checkmate <line>", "checkmate nomate", or "checkmate timeout" when the time ran out or stop came first.
// The solver gives only the first move and the length; the rest of the line is found by solving again
// after each defence, taking the defence that holds out longest.
#include <string>

#include "mate/mate_search.h"
#include "usi/job_timer.h"
#include "usi/legal_moves.h"
#include "usi/usi_session.h"

namespace halvane {

namespace {

struct MateAnswer {
  bool found = false;
  MoveRecord move;   // in the position's coordinates
  int length = 0;    // plies
};

// Solves the position (attacker to move) with a ply limit; false when stop or the deadline came first.
bool solve(UsiSession& s, const SfenPosition& pos, int depth, MateAnswer& answer) {
  MateSolver& m = s.engine->mate_thread_solver;
  const EngineView view = engine_view(pos);
  answer = MateAnswer{};
  if (locate_piece(view.board, SENTE_KING) < 0) return true;   // no king to mate
  for (int side = 0; side < 2; ++side)
    for (int ply = 0; ply < MAX_PLY; ++ply) m.pos.king_sq[side][ply] = 0;
  load_position(m.pos, view.board, view.hand[SENTE], view.hand[GOTE]);
  {
    // Armed under the job lock, so a stop that arrives from now on reaches the solver's depth words.
    std::lock_guard<std::mutex> lock(s.job_mutex);
    if (s.stop_seen || s.timed_out) return false;
    arm_mate_solver(m, depth);
  }
  run_mate_search(m);
  const bool found = m.mate_found.load(std::memory_order_acquire) == 1;
  m.mate_found.store(0, std::memory_order_relaxed);
  {
    // A run cut short by stop or the deadline has had nodes return at once, which the solver may take
    // for defences that ran out: whatever it reports then is not a proof.
    std::lock_guard<std::mutex> lock(s.job_mutex);
    if (s.stop_seen || s.timed_out) return false;
  }
  if (found) {
    answer.found = true;
    answer.move = move_from_engine_view(view, m.mate_move);
    answer.length = m.mate_len[0];
  }
  return true;
}

// Extends `line` (ending with the attacker's first move, played in `pos`) defence by defence: the
// defence answered by the longest mate within the remaining length, and that mate's first move. A
// defence the solver sees no mate after within that length is one it does not count (an interposing
// drop on a square the defender did not cover, which only delays the mate), as mate problems do not
// count such futile interpositions. Stops quietly when time runs out: the line then ends earlier.
void recover_line(UsiSession& s, SfenPosition pos, int remaining, std::string& line) {
  MoveRecord replies[MAX_LEGAL_MOVES];
  while (remaining >= 3) {
    const int count = legal_moves(*s.engine, pos, replies);
    if (count == 0) return;
    int best = -1;
    MateAnswer best_answer;
    for (int i = 0; i < count; ++i) {
      SfenPosition after = pos;
      apply_move(after, replies[i]);
      MateAnswer answer;
      // A mate of n plies needs a limit of n + 1; the defence leaves remaining - 1 at most.
      if (!solve(s, after, remaining, answer)) return;
      if (answer.found && answer.length > best_answer.length) {
        best = i;
        best_answer = answer;
      }
    }
    if (best < 0) return;
    line += " " + move_to_usi(replies[best]);
    line += " " + move_to_usi(best_answer.move);
    apply_move(pos, replies[best]);
    apply_move(pos, best_answer.move);
    remaining = best_answer.length;
  }
}

}  // namespace

void run_mate_job(UsiSession& s, GoRequest go, GamePosition game) {
  MateSolver& m = s.engine->mate_thread_solver;
  if (go.mate_ms >= 0) set_job_deadline(s, UsiClock::now() + std::chrono::milliseconds(go.mate_ms));
  JobTimer timer = start_job_timer(s, [&m] {
    m.base_depth.store(0, std::memory_order_relaxed);
    m.depth_limit.store(0, std::memory_order_relaxed);
  });

  MateAnswer answer;
  const bool finished = solve(s, game.pos, MATE_DEPTH, answer);
  std::string reply;
  if (answer.found) {
    reply = "checkmate " + move_to_usi(answer.move);
    SfenPosition after = game.pos;
    apply_move(after, answer.move);
    recover_line(s, after, answer.length, reply);
  } else {
    reply = finished ? "checkmate nomate" : "checkmate timeout";
  }
  finish_job_timer(s, timer);
  s.mate_job.store(false);
  // The solver rests at the mate thread's depth until the next think sets it again.
  m.base_depth.store(MATE_DEPTH, std::memory_order_relaxed);
  m.depth_limit.store(MATE_DEPTH, std::memory_order_relaxed);
  usi_write(s, reply);
}

}  // namespace halvane
