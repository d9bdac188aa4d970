// "go perft N": the legal moves of the position, each with the number of leaf positions N - 1 plies below
// it, then the total, in the form open engines print it. The counting is the search's own perft.
#include <string>

#include "search/perft.h"
#include "usi/usi_session.h"

namespace halvane {

namespace {

void report_move(void* context, const MoveRecord& move, uint64_t count) {
  usi_write(*static_cast<UsiSession*>(context), move_to_usi(move) + ": " + std::to_string(count));
}

}  // namespace

void run_perft(UsiSession& s, const GamePosition& game, int depth) {
  Engine& e = *s.engine;
  for (int side = 0; side < 2; ++side)
    for (int ply = 0; ply < MAX_PLY; ++ply) e.pos.king_sq[side][ply] = 0;   // no stale king for a side without one
  const uint64_t total = perft_position(e, game.pos, depth, report_move, &s);
  usi_write(s, "Nodes searched: " + std::to_string(total));
}

}  // namespace halvane
