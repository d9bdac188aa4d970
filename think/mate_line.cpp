// The mating line: the solver gives only the first move and the length, so the rest is found by solving
// again after each defence, taking the defence that holds out longest.
#include "think/mate_line.h"

#include "core/sfen.h"
#include "think/legal_moves.h"

namespace halvane {

namespace {

// The longest line a recovery follows: beyond it a line that never ends in mate is given up.
constexpr size_t MAX_LINE = 4 * MATE_SOLVE_DEPTH;

// Extends `line.moves` (ending with the attacker's first move, played in `pos`) defence by defence: the
// defence answered by the longest mate within the remaining length, and that mate's first move.
void recover_line(Engine& e, SfenPosition pos, int remaining, MateLine& line) {
  MoveRecord replies[MAX_LEGAL_MOVES];
  while (line.moves.size() < MAX_LINE) {
    const int count = legal_moves(e, pos, replies);
    if (count == 0) {
      line.mated = true;
      return;
    }
    int best = -1;
    MateSolveResult best_answer;
    // A mate of n plies needs a limit of n + 1; the defence leaves remaining - 1 at most.
    for (const int limit : {remaining, MATE_SOLVE_DEPTH}) {
      for (int i = 0; i < count; ++i) {
        SfenPosition after = pos;
        apply_move(after, replies[i]);
        const MateSolveResult answer = solve_mate(e, after, limit);
        if (answer.stopped) {
          line.cut = true;
          return;
        }
        if (answer.found && answer.length > best_answer.length) {
          best = i;
          best_answer = answer;
        }
      }
      if (best >= 0 || limit >= MATE_SOLVE_DEPTH) break;
    }
    if (best < 0) return;
    line.moves.push_back(replies[best]);
    line.moves.push_back(best_answer.move);
    apply_move(pos, replies[best]);
    apply_move(pos, best_answer.move);
    remaining = best_answer.length;
  }
}

}  // namespace

MateLine solve_mate_line(Engine& e, const SfenPosition& pos, int depth) {
  MateLine line;
  const MateSolveResult answer = solve_mate(e, pos, depth);
  line.stopped = answer.stopped;
  if (!answer.found) return line;
  line.found = true;
  line.length = answer.length;
  line.moves.push_back(answer.move);
  SfenPosition after = pos;
  apply_move(after, answer.move);
  recover_line(e, after, answer.length, line);
  return line;
}

}  // namespace halvane
