// "go perft N": the legal moves of the position, each with the number of leaf positions N - 1 plies below
// it, then the total, in the form open engines print it.
#include <string>

#include "usi/legal_moves.h"
#include "usi/usi_session.h"

namespace halvane {

void run_perft(UsiSession& s, const GamePosition& game, int depth) {
  MoveRecord moves[MAX_LEGAL_MOVES];
  const int count = legal_moves(game.pos, moves);
  uint64_t total = 0;
  for (int i = 0; i < count; ++i) {
    SfenPosition after = game.pos;
    apply_move(after, moves[i]);
    const uint64_t below = perft(after, depth - 1);
    total += below;
    usi_write(s, move_to_usi(moves[i]) + ": " + std::to_string(below));
  }
  usi_write(s, "Nodes searched: " + std::to_string(total));
}

}  // namespace halvane
