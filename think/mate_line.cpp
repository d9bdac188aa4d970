// The mating line: the solver gives only the first move and the length, so the rest is found by solving
// again after each defence, taking the defence that holds out longest.
#include "think/mate_line.h"

#include "core/sfen.h"
#include "think/legal_moves.h"

namespace halvane {

namespace {

// The shortest mate the solver's rules allow within `most` plies: the solver run with growing limits, the
// first mate found the shortest (a limit of n + 1 proves a mate of at most n plies, and mates are odd).
// Its length is the limit's, whatever the solver's own count says.
MateSolveResult shortest_mate(Engine& e, const SfenPosition& pos, int most) {
  MateSolveResult answer;
  for (int limit = 2; limit <= most + 1; limit += 2) {
    answer = solve_mate(e, pos, limit);
    if (answer.stopped) return answer;
    if (answer.found) {
      answer.length = limit - 1;
      return answer;
    }
  }
  return answer;
}

// The longest line followed: each step shortens the mate but where only uncounted drops are left, so a
// line this long has gone round without ending.
constexpr size_t MAX_LINE = 4 * MATE_SOLVE_DEPTH;

// Extends `line.moves` (ending with the attacker's first move, a mate in `remaining`, played in `pos`)
// defence by defence: the defence answered by the longest of the shortest mates after each, and that
// mate's first move. After every defence the solver counts a mate follows within remaining - 2; one
// without is a defence the solver does not count (an interposing drop on a square the defender did not
// cover, which only delays the mate), as mate problems do not count such futile interpositions.
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
    // Where the solver counted no defence at all (a mate it saw end here, where only such drops remain),
    // the mate goes on through them: they are solved within the whole limit.
    for (const int most : {remaining - 2, MATE_SOLVE_DEPTH - 1}) {
      for (int i = 0; i < count; ++i) {
        SfenPosition after = pos;
        apply_move(after, replies[i]);
        const MateSolveResult answer = shortest_mate(e, after, most);
        if (answer.stopped) {
          line.cut = true;
          return;
        }
        if (answer.found && answer.length > best_answer.length) {
          best = i;
          best_answer = answer;
        }
      }
      if (best >= 0) break;
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
  // The shortest mate first; should its line not end in mate (a drop the solver does not offer escapes
  // it), the mate the solver finds within the whole limit.
  MateLine line;
  for (const bool shortest : {true, false}) {
    const MateSolveResult answer = shortest ? shortest_mate(e, pos, depth - 1) : solve_mate(e, pos, depth);
    line = MateLine{};
    line.stopped = answer.stopped;
    if (!answer.found) return line;
    line.found = true;
    line.length = answer.length;
    line.moves.push_back(answer.move);
    SfenPosition after = pos;
    apply_move(after, answer.move);
    recover_line(e, after, answer.length, line);
    if (line.mated || line.cut) break;
  }
  return line;
}

}  // namespace halvane
