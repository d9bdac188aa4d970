// "go perft N": the legal moves of the position, each with the number of leaf positions N - 1 plies below
// it, then the total, in the form open engines print it. The counting is the search's own perft, run on
// pieces of the tree small enough that a "stop" between two of them ends the job within milliseconds.
#include <string>

#include "think/legal_moves.h"
#include "usi/usi_session.h"

namespace halvane {

namespace {

// A subtree is counted in one piece when its size, estimated as (legal moves here)^depth, is at most
// this: a few tens of milliseconds of perft on any position.
constexpr double PIECE_LEAVES = 1 << 20;

double estimated_leaves(int moves, int depth) {
  double leaves = 1;
  for (int i = 0; i < depth; ++i) leaves *= moves;
  return leaves;
}

// Adds the leaves `depth` plies below `pos` to `total`, a piece at a time; false when stop came first
// (`total` then holds part of the count).
bool count_in_pieces(UsiSession& s, const SfenPosition& pos, int depth, uint64_t& total) {
  if (usi_stop_seen(s)) return false;
  if (depth == 0) {
    total += 1;
    return true;
  }
  MoveRecord moves[MAX_LEGAL_MOVES];
  const int count = legal_moves(*s.engine, pos, moves);
  if (depth == 1 || estimated_leaves(count, depth) <= PIECE_LEAVES) {
    total += depth == 1 ? static_cast<uint64_t>(count) : count_leaves(*s.engine, pos, depth);
    return true;
  }
  for (int i = 0; i < count; ++i) {
    SfenPosition after = pos;
    apply_move(after, moves[i]);
    if (!count_in_pieces(s, after, depth - 1, total)) return false;
  }
  return true;
}

}  // namespace

void run_perft(UsiSession& s, const GamePosition& game, int depth) {
  // The root moves in the generators' order, as the search's own divide reports them.
  MoveRecord moves[MAX_LEGAL_MOVES];
  const int count = legal_moves(*s.engine, game.pos, moves);
  uint64_t total = 0;
  for (int i = 0; i < count; ++i) {
    SfenPosition after = game.pos;
    apply_move(after, moves[i]);
    uint64_t below = 0;
    if (!count_in_pieces(s, after, depth - 1, below)) {
      usi_write(s, "info string go perft stopped: " + std::to_string(i) + " of " + std::to_string(count) +
                       " moves counted, no total");
      return;
    }
    usi_write(s, move_to_usi(moves[i]) + ": " + std::to_string(below));
    total += below;
  }
  usi_write(s, "Nodes searched: " + std::to_string(total));
}

}  // namespace halvane
