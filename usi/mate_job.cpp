// "go mate": the mate solver on the worker thread, with the side to move as the attacker. Answers
// "checkmate <line>", "checkmate nomate", or "checkmate timeout" when the time ran out or stop came first.
// The solver gives only the first move and the length; the rest of the line is found by solving again
// after each defence, taking the defence that holds out longest.
#include <string>

#include "think/legal_moves.h"
#include "think/mate_solve.h"
#include "usi/job_timer.h"
#include "usi/usi_session.h"

namespace halvane {

namespace {

// Solves the position (attacker to move) with a ply limit; false when stop or the deadline came first.
bool solve(UsiSession& s, const SfenPosition& pos, int depth, MateSolveResult& answer) {
  answer = solve_mate(*s.engine, pos, depth);
  return !answer.stopped;
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
    MateSolveResult best_answer;
    for (int i = 0; i < count; ++i) {
      SfenPosition after = pos;
      apply_move(after, replies[i]);
      MateSolveResult answer;
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
  Deadline clock;
  start_job_clock(s, clock, go.mate_ms, false);

  MateSolveResult answer;
  const bool finished = solve(s, game.pos, MATE_SOLVE_DEPTH, answer);
  std::string reply;
  if (answer.found) {
    reply = "checkmate " + move_to_usi(answer.move);
    SfenPosition after = game.pos;
    apply_move(after, answer.move);
    recover_line(s, after, answer.length, reply);
  } else {
    reply = finished ? "checkmate nomate" : "checkmate timeout";
  }
  finish_job_clock(s, clock);
  usi_answer(s, reply);
}

}  // namespace halvane
