// "bench": every bench position thought at the current strength with a fixed random seed, with the time,
// nodes and move of each and the totals. With the seed fixed, the node counts repeat from run to run
// wherever the mate thread finds nothing (its own count depends on when the search stops it).
#include "usi/bench.h"

#include <string>

#include "think/strength.h"
#include "usi/think_answer.h"
#include "usi/usi_session.h"

namespace halvane {

const char* const BENCH_POSITION_TEXT[BENCH_POSITIONS] = {
    "startpos",
    "startpos moves 7g7f 3c3d 2g2f 4c4d 2f2e 2b3c 3i4h 3a3b 5i6h 8b4b 6h7h 5a6b 4i5h",
    "startpos moves 7g7f 3c3d 8h2b+ 3a2b 2g2f 8c8d 3i3h 8d8e 2f2e 4a3b 7i7h 7a6b",
    "sfen ln1g3nl/1r1s1kg2/p1ppppsp1/1p4p1p/7P1/2P3P2/PPSPPP2P/2G1K2R1/LN3GSNL b Bb 1",
    "sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1",
};

void run_bench(UsiSession& s) {
  Engine& e = *s.engine;
  const Strength& level = *STRENGTHS[s.strength];
  usi_write(s, std::string("bench: Halvane ") + level.word_utf8 + " (" + level.name + "), " +
                   std::to_string(BENCH_POSITIONS) + " positions");
  long long total_ms = 0;
  uint64_t total_nodes = 0;
  // The signature: the search's nodes wherever they repeat (the mate thread found nothing, so it never
  // ended the search at a moment of its own) and every move. Any change to the search's behaviour shows.
  uint64_t signature_nodes = 0;
  std::string signature_moves;
  for (int i = 0; i < BENCH_POSITIONS; ++i) {
    GamePosition game;
    std::string error;
    if (!parse_position_command(e, BENCH_POSITION_TEXT[i], game, error)) {
      usi_write(s, "info string bench position " + std::to_string(i + 1) + " refused: " + error);
      continue;
    }
    clear_stop(e);
    ThinkRequest options;
    options.fixed_seed = true;
    options.seed = BENCH_SEED;
    const ThinkAnswer a = answer_think(e, game, options);
    total_ms += a.ms;
    total_nodes += a.nodes;
    if (!a.mate_used) signature_nodes += a.nodes - a.mate_nodes;
    signature_moves += (i == 0 ? "" : ",") + (a.resign ? std::string("resign") : move_to_usi(a.move));
    usi_write(s, "bench " + std::to_string(i + 1) + ": time " + std::to_string(a.ms) + " ms, nodes " +
                     std::to_string(a.nodes) + " (search " + std::to_string(a.nodes - a.mate_nodes) +
                     ", mate thread " + std::to_string(a.mate_nodes) + "), move " +
                     (a.resign ? std::string("resign") : move_to_usi(a.move)) + ", " + score_words(a.score));
  }
  const long long nps = total_ms > 0 ? static_cast<long long>(total_nodes * 1000 / total_ms) : 0;
  usi_write(s, "bench signature: " + std::string(level.name) + " nodes " + std::to_string(signature_nodes) +
                   " moves " + signature_moves);
  usi_write(s, "bench total: time " + std::to_string(total_ms) + " ms, nodes " + std::to_string(total_nodes) +
                   ", nps " + std::to_string(nps));
}

}  // namespace halvane
