// "go mate": the mate solver on the worker thread, with the side to move as the attacker. Answers
// "checkmate <line>", "checkmate nomate", or "checkmate timeout" when the time ran out or stop came first.
#include <string>

#include "think/mate_line.h"
#include "usi/job_timer.h"
#include "usi/usi_session.h"

namespace halvane {

void run_mate_job(UsiSession& s, GoRequest go, GamePosition game) {
  Deadline clock;
  start_job_clock(s, clock, go.mate_ms, false);

  const MateLine answer = solve_mate_line(*s.engine, game.pos);
  std::string reply;
  if (answer.found) {
    reply = "checkmate";
    for (const MoveRecord& move : answer.moves) reply += " " + move_to_usi(move);
  } else {
    reply = answer.stopped ? "checkmate timeout" : "checkmate nomate";
  }
  finish_job_clock(s, clock);
  usi_answer(s, reply);
}

}  // namespace halvane
