// "go perft N": the legal moves of the position, each with the number of leaf positions N - 1 plies below
// it, then the total, in the form open engines print it. The counting is the search's own perft.
#include <string>

#include "think/legal_moves.h"
#include "usi/usi_session.h"

namespace halvane {

namespace {

void report_move(void* context, const MoveRecord& move, uint64_t count) {
  usi_write(*static_cast<UsiSession*>(context), move_to_usi(move) + ": " + std::to_string(count));
}

}  // namespace

void run_perft(UsiSession& s, const GamePosition& game, int depth) {
  const uint64_t total = perft_divide(*s.engine, game.pos, depth, report_move, &s);
  usi_write(s, "Nodes searched: " + std::to_string(total));
}

}  // namespace halvane
